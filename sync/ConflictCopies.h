#pragma once

#include <QDateTime>
#include <QString>

namespace ConflictCopies {

// The name of the copy in which a save keeps another version of the file
// fileName, found there at when on this computer, host:
// "note3 (conflict 2026-12-09 15-48 laptop).rtf".
QString ownConflictName(const QString &fileName, const QDateTime &when, const QString &host);

} // namespace ConflictCopies
