#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The copies that sync tools leave beside a file of DATA/ when two computers
// changed it before they heard of each other: each tool names its copy after
// the file, in a way of its own. Only copies of Kladdo's own files count;
// anything else in the folder belongs to someone else.
namespace ConflictCopies {

// One of the files of DATA/ that a copy can belong to.
struct DataFile
{
    enum class Kind { Settings, Note, Password, Vault };
    QString name; // note3.rtf, pass3.dat, note.ini, passwords.kdbx
    Kind kind = Kind::Settings;
    int page = -1; // 0-9; -1 for note.ini
};

// note0-9.rtf, pass0-9.dat and note.ini; nothing for any other name.
std::optional<DataFile> dataFile(const QString &fileName);

enum class Tool { Syncthing, Nextcloud, Dropbox, OneDrive, Kladdo };

QString toolName(Tool tool);

struct Copy
{
    QString fileName; // the copy's name in DATA/
    DataFile of;
    Tool tool = Tool::Kladdo;
};

// What fileName, a name in DATA/, is a conflict copy of; nothing when it is
// none, such as a sync tool's temporary file or another program's file.
std::optional<Copy> recognise(const QString &fileName);

// The conflict copies in dataDir itself, in the order of the files they
// belong to (note.ini, the notes, the passwords), then by name.
QList<Copy> list(const QString &dataDir);

// The name Kladdo gives its own copy of fileName when it finds the file
// changed by another computer: "note3 (conflict 2026-12-09 15-48 laptop).rtf".
// host keeps only characters every file system takes.
QString ownConflictName(const QString &fileName, const QDateTime &when, const QString &host);

} // namespace ConflictCopies
