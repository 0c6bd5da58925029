#pragma once

#include "passwords/PassPageCells.h"
#include "platform/KladdoError.h"

#include <QString>

// A page file that could not be written. The previous file is unchanged and
// the caller still holds the page.
class PassPageWriteError : public KladdoError
{
public:
    PassPageWriteError(const QString &path, const QString &reason);

    const QString &path() const { return m_path; }
    const QString &reason() const { return m_reason; }

private:
    QString m_path;
    QString m_reason; // the system's words
};

// What loading a page file found.
struct PassPageLoad
{
    enum class FileState {
        Complete,   // exactly one record
        Missing,    // no file: an empty page
        Short,      // cells of the slots it holds, the rest empty
        Long,       // the first record; the rest is ignored
        Unreadable, // exists but cannot be read: an empty page
    };

    PassPageCells cells;
    FileState fileState = FileState::Missing;
    qint64 fileSize = 0;
    QString readError; // the system's words, for Unreadable
    QByteArray stamp;  // of the file as read; empty when there was none

    // A file that is not one whole record, or a cell it could not give.
    bool isDamaged() const;
    // What is damaged, for example "size 4000 bytes, not 10752;
    // password rows 3, 5-14 not in the file", in the language of
    // languageIndex; empty when nothing is.
    QString damageText(int languageIndex) const;
};

// DATA/pass<N>.dat, one password page.
class PassPageFile
{
public:
    explicit PassPageFile(QString path);
    static QString pathFor(const QString &dataDir, int page);

    const QString &path() const { return m_path; }

    // Never throws and never gives another page's cells.
    PassPageLoad load() const;
    // The page that the bytes of a page file hold, as load() reads it.
    static PassPageLoad fromBytes(const QByteArray &bytes);
    // Why bytes kept for a page are not one whole record, in English;
    // empty when they are.
    static QString recordDamage(const QByteArray &bytes);

    // Replaces the file atomically by one record, keeping the version it
    // replaces among the backups; the stamp of the file written. Throws
    // PassCellError for a cell that cannot be stored and PassPageWriteError
    // when the write fails; in both cases the file on disk is untouched.
    QByteArray save(const PassPageCells &cells) const;

private:
    QString m_path;
};
