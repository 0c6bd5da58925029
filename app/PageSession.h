#pragma once

#include "options/LanguageTables.h"
#include "platform/RecoveryFile.h"
#include "platform/UnsavedChanges.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <optional>

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

    // Runs save, which asks nothing, for an ending without the user; when
    // it throws, the page's unsaved changes go to its recovery file at
    // once. What to tell on standard error, empty when saved.
    QString saveOrKeep(const std::function<void()> &save);

protected:
    // content gives the bytes the page file would hold now.
    PageSession(LanguageTables::PageKind kind, RecoveryWriter &writer, RecoveryNotices &notices,
                std::function<QByteArray()> content);
    ~PageSession() = default;

    // The page at path, standing there as version, is now the one held;
    // the changes the last run left unsaved for it, when they are to be
    // shown in its place.
    std::optional<QByteArray> take(int page, const QString &path, const QByteArray &version,
                                   const RecoveryFile::ContentCheck &contentCheck, int languageIndex);
    // The page now stands in its file as version.
    void saved(const QByteArray &version);

private:
    void keepAside(int page, const RecoveryFile::Finding &found, int languageIndex);

    LanguageTables::PageKind m_kind;
    RecoveryNotices &m_notices;
    UnsavedChanges m_changes;
    int m_page = 0;
    QString m_path;
    QByteArray m_version;
};
