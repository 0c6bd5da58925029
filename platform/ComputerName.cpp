#include "platform/ComputerName.h"

#include <QCryptographicHash>
#include <QSysInfo>

namespace ComputerName {

namespace {

QString override()
{
    return qEnvironmentVariable("KLADDO_COMPUTER");
}

bool isSafe(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'.' || c == u'_'
           || c == u'-';
}

// No regular expression: the recovery writer's thread asks too, and a
// thread's regular expression state crashes at its end on Windows.
QString safe(const QString &name)
{
    QString kept;
    for (const QChar c : name) {
        if (isSafe(c))
            kept += c;
        else if (!kept.endsWith(u'_'))
            kept += u'_';
    }
    // A leading dot would hide the folder; sync tools skip some such names.
    while (kept.startsWith(u'.'))
        kept.remove(0, 1);
    return kept.isEmpty() ? QStringLiteral("computer") : kept.left(40);
}

} // namespace

QString shown()
{
    const QString given = override();
    return safe(given.isEmpty() ? QSysInfo::machineHostName() : given);
}

QString unique()
{
    if (!override().isEmpty())
        return shown();
    const QByteArray id = QSysInfo::machineUniqueId();
    if (id.isEmpty())
        return shown();
    return shown() + u'-' + QString::fromLatin1(QCryptographicHash::hash(id, QCryptographicHash::Sha1).toHex().left(6));
}

} // namespace ComputerName
