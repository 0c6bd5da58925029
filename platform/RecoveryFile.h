#pragma once

#include "platform/AtomicFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

// The recovery file of a page file: backup/<computer>/<page file name>.unsaved
// beside it, holding what the page shown on that computer held while its
// changes were not yet saved, so that a crash or a power cut loses at most
// the last moments of typing. Each computer sharing the folder looks only at
// its own: another's changes, carried over by a sync tool, are not typing
// lost here. It names the version of the page file the changes were made to
// (its stamp), so that it is never loaded over a page that changed since,
// and carries a checksum of its content, so that damage shows.
//
//   KLADDO RECOVERY 1\n
//   base <SHA-1 of the page file in hex, or "none" when there was none>\n
//   length <bytes of content>\n
//   sha1 <SHA-1 of content in hex>\n
//   \n
//   <content: the bytes the page file would hold>
namespace RecoveryFile {

// What identifies one version of a page file: the SHA-1 of its bytes.
// A page without a file has the empty stamp.
QByteArray stampOf(const QByteArray &pageBytes);

// An empty computer stands for backup/ itself, where versions without
// computer names kept the recovery files.
QString pathFor(const QString &pagePath, const QString &computer);
// This computer's.
QString pathFor(const QString &pagePath);

QByteArray encode(const QByteArray &content, const QByteArray &baseStamp);

struct Decoded
{
    QByteArray content;
    QByteArray baseStamp;
    QString damage; // what is wrong with it; empty when it is whole
};
Decoded decode(const QByteArray &bytes);

// Writes the recovery file of pagePath whole and atomically, making its
// folder when there is none.
[[nodiscard]] AtomicFile::Result write(const QString &pagePath, const QByteArray &content,
                                       const QByteArray &baseStamp);

// Removes the recovery file of pagePath; true when none is left.
bool remove(const QString &pagePath);

// What a recovery file left behind may be used for.
struct Finding
{
    enum class Verdict {
        None,        // there is no recovery file
        Load,        // made on the page file as it stands: load it
        Redundant,   // the page file already holds it
        Damaged,     // cannot be read, or its content is not whole
        Older,       // the page file was written after it
        PageChanged, // the page file changed since the changes were made
    };

    Verdict verdict = Verdict::None;
    QString path;        // of the recovery file
    QDateTime written;   // when it was written
    QByteArray content;  // for Load
    QString damage;      // for Damaged
};

// Whether contentDamage, given the content, finds it unfit as a page:
// empty when it is fit.
using ContentCheck = std::function<QString(const QByteArray &content)>;

// Looks at this computer's recovery file, or, when it has none, at the one
// of the older layout, which only adoptOlderLayout moves.
Finding examine(const QString &pagePath, const ContentCheck &contentDamage = {});

// A folder kept in the older layout was one computer's: its recovery file
// becomes this computer's when this computer has none. One that cannot be
// moved stays for examine to find where it is.
void adoptOlderLayout(const QString &pagePath);

// Where a recovery file kept aside is now.
struct Aside
{
    QString path;
    QString failure; // why it could not be moved; empty when it was
};

// Moves a recovery file that is not to be loaded out of the way of the
// page's next one, as <name>.unsaved-<yyyyMMdd-HHmmss> of the time it was
// written. One that cannot be moved stays where it is, and the caller
// must leave it alone: it is no longer the page's to write or remove.
[[nodiscard]] Aside keepAside(const Finding &finding);

// The name of the page file whose recovery file, kept aside or not, is
// called fileName; nothing when fileName is not one.
std::optional<QString> pageOfRecovery(const QString &fileName);

} // namespace RecoveryFile
