#include "platform/DataFolder.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString DataFolder::choose(const Facts &facts)
{
    if (facts.given)
        return QDir::cleanPath(*facts.given);
    if (facts.besideHoldsData || facts.programFolderWritable)
        return QDir(facts.programFolder).filePath(QStringLiteral("DATA"));
    // A relative $XDG_DATA_HOME counts as unset; Qt would take it as it is.
    const QString userData = QDir::isAbsolutePath(facts.userDataHome)
                                 ? facts.userDataHome
                                 : QDir(facts.home).filePath(QStringLiteral(".local/share"));
    return QDir(userData).filePath(QStringLiteral("kladdo/DATA"));
}

namespace {

QString userDataHome()
{
#ifdef Q_OS_WIN
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#else
    return qEnvironmentVariable("XDG_DATA_HOME");
#endif
}

} // namespace

// A program under /usr is an installed one even for root, who may write there.
DataFolder::Facts DataFolder::factsFor(const QString &programFolder, const std::optional<QString> &given)
{
    const QFileInfo folder(programFolder);
    const bool installed = QDir::cleanPath(folder.absoluteFilePath()).startsWith(QStringLiteral("/usr/"));
    return {programFolder, QFileInfo(QDir(programFolder).filePath(QStringLiteral("DATA"))).isDir(),
            folder.isWritable() && !installed,
            userDataHome(), QDir::homePath(),
            given ? std::optional(QDir::current().absoluteFilePath(*given)) : std::nullopt};
}

std::optional<QString> DataFolder::prepare(const QString &folder, const QString &sound)
{
    if (QFileInfo(folder).isDir())
        return std::nullopt;
    if (const AtomicFile::Result made = AtomicFile::makeFolder(folder); !made.ok)
        return made.reason;
    QFile source(sound);
    if (!source.exists())
        return std::nullopt;
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    const AtomicFile::Result copied =
        AtomicFile::write(QDir(folder).filePath(QStringLiteral("note.wav")), source.readAll());
    return copied.ok ? std::nullopt : std::optional(copied.reason);
}
