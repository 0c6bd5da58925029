#pragma once

#include <QByteArrayView>
#include <QString>

namespace PlainText {

// Text file bytes as text: UTF-8 (a byte order mark dropped) when they are
// valid UTF-8, Windows-1252 otherwise; line ends of any kind become '\n'
// and control characters other than tab are dropped.
QString decode(QByteArrayView bytes);

} // namespace PlainText
