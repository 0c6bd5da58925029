#pragma once

#include "options/LanguageTables.h"
#include "platform/RecoveryFile.h"
#include "platform/UnsavedChanges.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class Environment;

// What the user is to be told of recovery files, gathered while pages load
// and told once the page is shown; each recovery file is told of once.
class RecoveryNotices
{
public:
    // The notice waiting to be told, which is then forgotten.
    QString take() { return std::exchange(m_notice, QString()); }

private:
    friend class PageSession;
    // Only the first time for path.
    void tell(const QString &path, QString notice);

    QSet<QString> m_told;
    QString m_notice;
};

// The life of the page shown of one kind: which file it stands in, the
// version of that file it was loaded from, the changes the last run left
// for it, and its own unsaved changes. No widget: the window shows what it
// gives and hands back what the user made.
class PageSession
{
public:
    UnsavedChanges &changes() { return m_changes; }
    int page() const { return m_page; }
    const QString &path() const { return m_path; }
    // The stamp of the file the page was loaded from or last saved to;
    // empty when it had no file.
    const QByteArray &loadedVersion() const { return m_version; }

    // The names of every page's file in the data folder.
    static QStringList pageFileNames();

    // Where the page's file stands against the version the page holds.
    enum class OnDisk { AsHeld, Changed, Deleted, Appeared };
    // What a save does then. A page the user did not edit is not written;
    // an edited one is written over a version it never held only once that
    // version is kept beside it.
    enum class Save { Write, Skip, KeepOtherThenWrite };
    static Save saveFor(bool edited, OnDisk onDisk);
    // Whether the page, unless edited, is to be shown anew from its file.
    bool isStale(bool edited) const { return !edited && !m_path.isEmpty() && onDisk().where != OnDisk::AsHeld; }

    // Another version of the page's file that the last save kept beside it,
    // to tell the user of once.
    struct OtherVersion
    {
        QString path;
        QString notice;
    };
    std::optional<OtherVersion> takeOtherVersion() { return std::exchange(m_otherVersion, std::nullopt); }

    // Runs save, which asks nothing, for an ending without the user; when
    // it throws, the page's unsaved changes go to its recovery file at
    // once. What to tell on standard error, empty when saved.
    QString saveOrKeep(const std::function<void()> &save);

protected:
    // content gives the bytes the page file would hold now; environment
    // the clock for the name of another version kept.
    PageSession(LanguageTables::PageKind kind, RecoveryWriter &writer, RecoveryNotices &notices,
                std::function<QByteArray()> content, const Environment &environment);
    ~PageSession() = default;

    // The page at path, standing there as version, is now the one held;
    // the changes the last run left unsaved for it, when they are to be
    // shown in its place.
    std::optional<QByteArray> take(int page, const QString &path, const QByteArray &version,
                                   const RecoveryFile::ContentCheck &contentCheck, int languageIndex);
    // Whether the page, edited or not, is to be written over its file now;
    // another version found there is kept beside it first. Throws
    // KladdoError when that version cannot be kept.
    bool readyToWrite(bool edited, int languageIndex);
    // The page now stands in its file as version.
    void saved(const QByteArray &version);
    const Environment &environment() const { return m_environment; }

private:
    void keepAside(int page, const RecoveryFile::Finding &found, int languageIndex);
    void keepOtherVersion(const QByteArray &bytes, int languageIndex);
    // The page's file now; unreadable when it is there but cannot be read.
    struct FileNow
    {
        OnDisk where = OnDisk::AsHeld;
        bool unreadable = false;
        QByteArray bytes;
    };
    FileNow onDisk() const;

    LanguageTables::PageKind m_kind;
    RecoveryNotices &m_notices;
    UnsavedChanges m_changes;
    int m_page = 0;
    QString m_path;
    QByteArray m_version;
    const Environment &m_environment;
    std::optional<OtherVersion> m_otherVersion;
};
