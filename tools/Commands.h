#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

// The commands of kladdo-data. Each takes the words after its own name and
// returns the process exit code: 0 done, 1 failed or found damage, 2 wrong call.
struct CommandIo
{
    QTextStream &out;
    QTextStream &err;
};

constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

// Tells how the command is called; the exit code of a wrong call.
inline int usageError(CommandIo io, const char *usage)
{
    io.err << usage;
    return ExitUsage;
}

// Tells what failed; the exit code of a failure.
inline int failure(CommandIo io, const QString &message)
{
    io.err << "kladdo-data: " << message << '\n';
    return ExitFailure;
}

int settingsCommand(const QStringList &args, CommandIo io);
int checkCommand(const QStringList &args, CommandIo io);
int passwordsCommand(const QStringList &args, CommandIo io);
int notesCommand(const QStringList &args, CommandIo io);
int backupsCommand(const QStringList &args, CommandIo io);
int conflictsCommand(const QStringList &args, CommandIo io);
int vaultCommand(const QStringList &args, CommandIo io);

// The exports of a page file at any path: a note page as text, HTML or
// rich text (format "text", "html", "rtf"), a password page as CSV.
int exportNoteFile(const QString &path, const QString &format, CommandIo io);
int exportPasswordFile(const QString &path, CommandIo io);

class PassPageCells;
// A password page's CSV: the header, then text,name,password of each row.
void writePageCsv(const QList<QStringList> &rows, CommandIo io);
// The page a CSV file describes; throws KladdoError for one that is not a
// page's or has a cell a page file cannot store.
PassPageCells cellsFromCsv(const QString &csvPath);

// One line of `check`: a file of DATA/ and what was found.
struct CheckLine
{
    enum class Status { Ok, Missing, Damaged, Notice };
    QString file;   // name inside DATA/
    Status status = Status::Ok;
    QString detail; // what is damaged, or the notice
};

// Each part of the data contributes its files to `check`.
QList<CheckLine> checkSettingsFile(const QString &dataDir);
// Every pass<N>.dat present; pages without a file are empty, not missing.
QList<CheckLine> checkPasswordPages(const QString &dataDir);
// Every note<N>.rtf present, read as the program would.
QList<CheckLine> checkNotePages(const QString &dataDir);
// The conflict copies sync tools left: notices, not damage, since Kladdo's
// own files are whole and a sync folder may keep a copy for months; it is
// the user's to merge.
QList<CheckLine> checkConflictCopies(const QString &dataDir);
// The vault, as far as its header tells without the password.
QList<CheckLine> checkVault(const QString &dataDir);

// Recovery files of the pages in backup/ and in each computer's folder in
// it: the one Kladdo loads at the next start, and those it kept aside as not
// to be loaded.
struct RecoveryEntry
{
    QString computer; // whose folder holds it; empty for backup/ itself
    QString fileName; // inside that folder
    QString pageFile; // the page file's name
    bool keptAside = false;

    QString path() const; // inside DATA/
    bool isThisComputers() const; // or the older layout's, which this computer takes up
};
QList<RecoveryEntry> recoveryFiles(const QString &dataDir);
// What Kladdo will do with each of them; damage is damage.
QList<CheckLine> checkRecoveryFiles(const QString &dataDir);
// Writes the page bytes a recovery file holds to outPath.
int extractRecovery(const QString &recoveryPath, const QString &outPath, CommandIo io);
