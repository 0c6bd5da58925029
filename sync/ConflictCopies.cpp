#include "sync/ConflictCopies.h"

namespace ConflictCopies {

namespace {

// What is left of a host name in a file name that every system takes.
QString safeHost(const QString &host)
{
    QString safe;
    for (const QChar c : host) {
        if (c.isLetterOrNumber() || c == u'-' || c == u'_')
            safe += c;
    }
    return safe.isEmpty() ? QStringLiteral("unknown") : safe.left(40);
}

} // namespace

QString ownConflictName(const QString &fileName, const QDateTime &when, const QString &host)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString stem = dot < 0 ? fileName : fileName.left(dot);
    const QString extension = dot < 0 ? QString() : fileName.mid(dot);
    return QStringLiteral("%1 (conflict %2 %3)%4")
        .arg(stem, when.toString(QStringLiteral("yyyy-MM-dd HH-mm")), safeHost(host), extension);
}

} // namespace ConflictCopies
