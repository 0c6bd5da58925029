#include "platform/ComputerName.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSysInfo>

namespace ComputerName {

namespace {

QString override()
{
    return qEnvironmentVariable("KLADDO_COMPUTER");
}

QString safe(QString name)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]+"));
    name.replace(unsafe, QStringLiteral("_"));
    // A leading dot would hide the folder; sync tools skip some such names.
    while (name.startsWith(u'.'))
        name.remove(0, 1);
    return name.isEmpty() ? QStringLiteral("computer") : name.left(40);
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
