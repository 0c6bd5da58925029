#include "platform/RecoveryFile.h"

#include "platform/ComputerName.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <optional>

namespace RecoveryFile {

namespace {

constexpr char kMagic[] = "KLADDO RECOVERY 1\n";
constexpr char kNoFile[] = "none";

QByteArray sha1(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

// The value of the line "<key> <value>" that starts at offset; moves offset
// past the line. Nothing when the line is not that key's.
std::optional<QByteArray> field(const QByteArray &bytes, qsizetype &offset, QByteArrayView key)
{
    const qsizetype end = bytes.indexOf('\n', offset);
    if (end < 0)
        return std::nullopt;
    const QByteArray line = bytes.mid(offset, end - offset);
    offset = end + 1;
    if (!line.startsWith(key) || line.size() <= key.size() || line[key.size()] != ' ')
        return std::nullopt;
    return line.mid(key.size() + 1);
}

std::optional<QByteArray> hexDigest(const std::optional<QByteArray> &text)
{
    if (!text || text->size() != 40)
        return std::nullopt;
    const QByteArray digest = QByteArray::fromHex(*text);
    if (digest.size() != 20 || digest.toHex() != *text)
        return std::nullopt;
    return digest;
}

Decoded damaged(const char *what)
{
    return {{}, {}, QString::fromLatin1(what)};
}

struct PageFile
{
    bool exists = false;
    QByteArray bytes;
    QDateTime modified;
    QString readError;
};

// A link that leads nowhere is there too: it is not to be written over.
bool isThere(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

PageFile readPage(const QString &pagePath)
{
    const QFileInfo info(pagePath);
    if (!info.exists())
        return {};
    QFile file(pagePath);
    PageFile page{true, {}, info.lastModified(), {}};
    if (!file.open(QIODevice::ReadOnly))
        page.readError = file.errorString();
    else
        page.bytes = file.readAll();
    return page;
}

} // namespace

QByteArray stampOf(const QByteArray &pageBytes)
{
    return sha1(pageBytes);
}

QString pathFor(const QString &pagePath, const QString &computer)
{
    const QFileInfo page(pagePath);
    const QString folder =
        computer.isEmpty() ? QStringLiteral("backup/") : QStringLiteral("backup/%1/").arg(computer);
    return page.dir().filePath(folder + page.fileName() + QStringLiteral(".unsaved"));
}

QString pathFor(const QString &pagePath)
{
    return pathFor(pagePath, ComputerName::unique());
}

QByteArray encode(const QByteArray &content, const QByteArray &baseStamp)
{
    QByteArray bytes;
    bytes.reserve(content.size() + 160);
    bytes += kMagic;
    bytes += "base ";
    bytes += baseStamp.isEmpty() ? QByteArray(kNoFile) : baseStamp.toHex();
    bytes += "\nlength " + QByteArray::number(content.size());
    bytes += "\nsha1 " + sha1(content).toHex();
    bytes += "\n\n";
    bytes += content;
    return bytes;
}

Decoded decode(const QByteArray &bytes)
{
    if (!bytes.startsWith(kMagic))
        return damaged("it does not begin as a recovery file");
    qsizetype offset = qstrlen(kMagic);
    const std::optional<QByteArray> base = field(bytes, offset, "base");
    const std::optional<QByteArray> length = field(bytes, offset, "length");
    const std::optional<QByteArray> checksum = hexDigest(field(bytes, offset, "sha1"));
    const std::optional<QByteArray> baseStamp = base && *base == kNoFile ? QByteArray() : hexDigest(base);
    bool numeric = false;
    const qsizetype size = length ? length->toLongLong(&numeric) : -1;
    // Written as the writer writes it, or it is not a length of ours.
    numeric = numeric && size >= 0 && QByteArray::number(size) == *length;
    if (!baseStamp || !numeric || !checksum || bytes.mid(offset, 1) != "\n")
        return damaged("its heading is damaged");
    const QByteArray content = bytes.mid(offset + 1);
    if (content.size() != size)
        return damaged("it is cut short or too long");
    if (sha1(content) != *checksum)
        return damaged("its content does not match its checksum");
    return {content, *baseStamp, {}};
}

AtomicFile::Result write(const QString &pagePath, const QByteArray &content, const QByteArray &baseStamp)
{
    const QString path = pathFor(pagePath);
    if (const AtomicFile::Result made = AtomicFile::makeFolder(QFileInfo(path).path()); !made.ok)
        return made;
    return AtomicFile::write(path, encode(content, baseStamp));
}

bool remove(const QString &pagePath)
{
    const QString path = pathFor(pagePath);
    return QFile::remove(path) || (!QFileInfo(path).isSymLink() && !QFileInfo::exists(path));
}

Finding examine(const QString &pagePath, const ContentCheck &contentDamage)
{
    using Verdict = Finding::Verdict;
    Finding finding;
    finding.path = pathFor(pagePath);
    if (const QString older = pathFor(pagePath, {}); !isThere(finding.path) && isThere(older))
        finding.path = older;
    const QFileInfo info(finding.path);
    if (!isThere(finding.path))
        return finding;
    finding.written = info.lastModified();
    QFile file(finding.path);
    if (!file.open(QIODevice::ReadOnly)) {
        finding.verdict = Verdict::Damaged;
        finding.damage = QStringLiteral("it cannot be read (%1)").arg(file.errorString());
        return finding;
    }
    Decoded decoded = decode(file.readAll());
    if (decoded.damage.isEmpty() && contentDamage)
        decoded.damage = contentDamage(decoded.content);
    if (!decoded.damage.isEmpty()) {
        finding.verdict = Verdict::Damaged;
        finding.damage = decoded.damage;
        return finding;
    }
    const PageFile page = readPage(pagePath);
    // Without its bytes nobody can tell what the page holds: keep both.
    if (!page.readError.isEmpty()) {
        finding.verdict = Verdict::PageChanged;
        return finding;
    }
    if (page.exists && page.bytes == decoded.content) {
        finding.verdict = Verdict::Redundant;
    } else if (page.exists ? stampOf(page.bytes) == decoded.baseStamp : decoded.baseStamp.isEmpty()) {
        finding.verdict = Verdict::Load;
        finding.content = std::move(decoded.content);
    } else {
        finding.verdict = page.exists && page.modified > finding.written ? Verdict::Older : Verdict::PageChanged;
    }
    return finding;
}

void adoptOlderLayout(const QString &pagePath)
{
    const QString own = pathFor(pagePath);
    const QString older = pathFor(pagePath, {});
    if (isThere(own) || !isThere(older) || !AtomicFile::makeFolder(QFileInfo(own).path()).ok)
        return;
    // A rename that the disk did not record goes back, as in keepAside.
    if (!AtomicFile::rename(older, own).ok)
        QFile::rename(own, older);
}

Aside keepAside(const Finding &finding)
{
    const QString stem = finding.path + u'-' + finding.written.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString kept = stem;
    for (int n = 2; isThere(kept); ++n)
        kept = stem + u'-' + QString::number(n);
    const AtomicFile::Result moved = AtomicFile::rename(finding.path, kept);
    if (moved.ok)
        return {kept, {}};
    // A rename that the disk did not record goes back, so that the file
    // is where the caller is told it is.
    QFile::rename(kept, finding.path);
    return {QFileInfo::exists(kept) ? kept : finding.path, moved.reason};
}

std::optional<QString> pageOfRecovery(const QString &fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(.+)\\.unsaved(?:-\\d{8}-\\d{6}(?:-\\d+)?)?$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1);
}

} // namespace RecoveryFile
