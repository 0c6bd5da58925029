#include "sync/ConflictCopies.h"

#include "notes/NotePage.h"
#include "passwords/PassPageFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace ConflictCopies {

namespace {

constexpr qsizetype kMaxHostLength = 40;

const QList<DataFile> &dataFiles()
{
    static const QList<DataFile> files = [] {
        QList<DataFile> all{{QStringLiteral("note.ini"), DataFile::Kind::Settings, -1}};
        for (int page = 0; page < NotePage::kPageCount; ++page) {
            all.append({NotePage::fileName(page), DataFile::Kind::Note, page});
            all.append({QFileInfo(PassPageFile::pathFor({}, page)).fileName(), DataFile::Kind::Password, page});
        }
        // The vault's name as the vault library gives it, which this layer cannot use.
        all.append({QStringLiteral("passwords.kdbx"), DataFile::Kind::Vault, -1});
        return all;
    }();
    return files;
}

struct Pattern
{
    Tool tool;
    QRegularExpression expression;
};

// Each tool's naming, as its makers describe it; every pattern takes the
// name whole, so that a tool's temporary files (".syncthing.note3.rtf.tmp",
// "~syncthing~note3.rtf.tmp") and Kladdo's own ("note3.rtf.Ab12Cd") never
// pass for copies. The stem and extension must then make one of our files.
const QList<Pattern> &patterns()
{
    static const QList<Pattern> all = [] {
        QStringList stems;
        for (const DataFile &file : dataFiles())
            stems << QRegularExpression::escape(QFileInfo(file.name).completeBaseName());
        stems.removeDuplicates();
        const QString stem = QStringLiteral("^(?<stem>") + stems.join(u'|') + u')';
        const QString ext = QStringLiteral("(?<ext>\\.[a-z]+)$");
        const QString date = QStringLiteral("[0-9]{4}-[0-9]{2}-[0-9]{2}");
        const auto pattern = [&](Tool tool, const QString &marker) {
            return Pattern{tool, QRegularExpression(stem + marker + ext)};
        };
        return QList<Pattern>{
            pattern(Tool::Kladdo, QStringLiteral(" \\(conflict %1 [0-9]{2}-[0-9]{2}(?: [^()]+)?\\)").arg(date)),
            // note3.sync-conflict-20261209-154840-T4RZMUF.rtf, the device
            // part since 0.14; a copy of a copy adds a second tag.
            pattern(Tool::Syncthing, QStringLiteral("(?:\\.sync-conflict-[0-9]{8}-[0-9]{6}(?:-[A-Z2-7]{7})?)+")),
            // "note3 (conflicted copy [user ]2026-12-09 154840).rtf"; older
            // clients "note3_conflict-20261209-154840.rtf".
            pattern(Tool::Nextcloud,
                    QStringLiteral("(?: \\(conflicted copy (?:[^()]+ )?%1 [0-9]{6}\\)|_conflict-[0-9]{8}-[0-9]{6})")
                        .arg(date)),
            // "note3 (Anna's conflicted copy 2026-12-09).rtf", numbered
            // inside or after the brackets when the day has more.
            pattern(Tool::Dropbox, QStringLiteral(" \\((?:[^()]+['\\x{2019}]s )?conflicted copy %1(?: \\([0-9]+\\))?\\)"
                                                  "(?: \\([0-9]+\\))?")
                                       .arg(date)),
            // "note3-LAPTOP.rtf", "note3-LAPTOP-2.rtf": the computer's name,
            // which Windows never makes of digits alone, so that a user's
            // "note3-2.rtf" is left alone.
            pattern(Tool::OneDrive, QStringLiteral("-(?=[0-9-]*[A-Za-z])[A-Za-z0-9]+(?:-[A-Za-z0-9]+)*")),
        };
    }();
    return all;
}

// Letters and digits of any script, '-', '_' and '.': nothing Windows or
// Linux refuses in a name, and no bracket that would end the tag early.
QString safeHost(const QString &host)
{
    QString safe;
    for (const QChar c : host.trimmed().left(kMaxHostLength)) {
        const bool kept = c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'.';
        safe += kept ? c : QChar(u'_');
    }
    return safe;
}

} // namespace

std::optional<DataFile> dataFile(const QString &fileName)
{
    for (const DataFile &file : dataFiles()) {
        if (file.name == fileName)
            return file;
    }
    return std::nullopt;
}

QString toolName(Tool tool)
{
    switch (tool) {
    case Tool::Syncthing:
        return QStringLiteral("Syncthing");
    case Tool::Nextcloud:
        return QStringLiteral("Nextcloud");
    case Tool::Dropbox:
        return QStringLiteral("Dropbox");
    case Tool::OneDrive:
        return QStringLiteral("OneDrive");
    case Tool::Kladdo:
        return QStringLiteral("Kladdo");
    }
    return {};
}

std::optional<Copy> recognise(const QString &fileName)
{
    for (const Pattern &pattern : patterns()) {
        const QRegularExpressionMatch match = pattern.expression.match(fileName);
        if (!match.hasMatch())
            continue;
        if (const std::optional<DataFile> of = dataFile(match.captured(u"stem") + match.captured(u"ext")))
            return Copy{fileName, *of, pattern.tool};
    }
    return std::nullopt;
}

QList<Copy> list(const QString &dataDir)
{
    QList<Copy> copies;
    for (const QString &name : QDir(dataDir).entryList(QDir::Files, QDir::Name)) {
        if (const std::optional<Copy> copy = recognise(name))
            copies << *copy;
    }
    std::stable_sort(copies.begin(), copies.end(), [](const Copy &a, const Copy &b) {
        return std::pair(a.of.kind, a.of.page) < std::pair(b.of.kind, b.of.page);
    });
    return copies;
}

QString ownConflictName(const QString &fileName, const QDateTime &when, const QString &host)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const qsizetype at = dot > 0 ? dot : fileName.size();
    QString tag = QStringLiteral(" (conflict ") + when.toString(QStringLiteral("yyyy-MM-dd HH-mm"));
    if (const QString safe = safeHost(host); !safe.isEmpty())
        tag += u' ' + safe;
    return QString(fileName).insert(at, tag + u')');
}

} // namespace ConflictCopies
