#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// Comma-separated values as RFC 4180 describes them.
namespace Csv {

// One record ending in CR LF. A field holding a comma, a quote, CR or LF is
// enclosed in quotes, with its quotes doubled.
QString formatRecord(const QStringList &fields);

// The records of a text. Records end in CR LF or LF alone; a line end after
// the last record adds no empty record. Throws KladdoError naming the line
// for a quote inside an unquoted field, text after a closing quote, a CR
// without LF or a quoted field that never ends.
QList<QStringList> parse(QStringView text);

} // namespace Csv
