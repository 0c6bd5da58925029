#include "platform/ProfileFile.h"

#include "platform/AtomicFile.h"
#include "platform/Cp1252.h"
#include "platform/HexDigit.h"
#include "platform/KladdoError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArray trimmedBlanks(QByteArrayView bytes)
{
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isBlank(bytes[begin]))
        ++begin;
    while (end > begin && isBlank(bytes[end - 1]))
        --end;
    return bytes.sliced(begin, end - begin).toByteArray();
}

QByteArray withoutLineEnd(const QByteArray &raw)
{
    qsizetype end = raw.size();
    if (end > 0 && raw[end - 1] == '\n')
        --end;
    if (end > 0 && raw[end - 1] == '\r')
        --end;
    return raw.left(end);
}

// Where the line that starts at `start` ends, its line end included. LF, CR
// LF and a CR alone each end a line: a value holding a line break could not
// be written back, so none may be read.
qsizetype nextLineStart(const QByteArray &bytes, qsizetype start)
{
    for (qsizetype i = start; i < bytes.size(); ++i) {
        if (bytes[i] == '\n')
            return i + 1;
        if (bytes[i] == '\r')
            return i + 1 < bytes.size() && bytes[i + 1] == '\n' ? i + 2 : i + 1;
    }
    return bytes.size();
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString stripQuotes(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.sliced(1, value.size() - 2);
    }
    return value;
}

} // namespace

std::optional<int> parseProfileInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    const QStringView rest = text.sliced(i);
    qsizetype prefix = 0;
    if (rest.startsWith(u'$') || rest.startsWith(u'x') || rest.startsWith(u'X'))
        prefix = 1;
    else if (rest.startsWith(u"0x") || rest.startsWith(u"0X"))
        prefix = 2;
    const QStringView digits = rest.sliced(prefix);
    if (digits.isEmpty())
        return std::nullopt;

    qint64 magnitude = 0;
    if (prefix > 0) {
        // Hexadecimal covers all 32 bits: $FFFFFFFF is -1.
        for (QChar c : digits) {
            const int d = hexDigitValue(c.unicode());
            if (d < 0)
                return std::nullopt;
            magnitude = magnitude * 16 + d;
            if (magnitude > 0xFFFFFFFFLL)
                return std::nullopt;
        }
        const auto bits = static_cast<quint32>(magnitude);
        const auto value = static_cast<qint32>(negative ? 0u - bits : bits);
        return value;
    }
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c.unicode() - '0');
        if (magnitude > 0x80000000LL)
            return std::nullopt;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

ProfileDocument::Line ProfileDocument::parseLine(const QByteArray &raw)
{
    Line line;
    line.raw = raw;
    const QByteArray text = trimmedBlanks(withoutLineEnd(raw));
    if (text.startsWith('[')) {
        const qsizetype close = text.indexOf(']');
        line.kind = LineKind::Section;
        line.name = Cp1252::toUnicode(trimmedBlanks(text.mid(1, close < 0 ? -1 : close - 1)));
        return line;
    }
    const qsizetype equals = text.indexOf('=');
    if (equals > 0) {
        line.kind = LineKind::Key;
        line.name = Cp1252::toUnicode(trimmedBlanks(text.left(equals)));
        line.value = Cp1252::toUnicode(trimmedBlanks(text.mid(equals + 1)));
    }
    return line;
}

ProfileDocument ProfileDocument::fromBytes(const QByteArray &bytes, const QString &filePath)
{
    ProfileDocument document;
    document.m_filePath = filePath;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = nextLineStart(bytes, start);
        document.m_lines.append(parseLine(bytes.sliced(start, end - start)));
        start = end;
    }
    return document;
}

QByteArray ProfileDocument::toBytes() const
{
    QByteArray bytes;
    for (const Line &line : m_lines)
        bytes += line.raw;
    return bytes;
}

qsizetype ProfileDocument::findSection(QStringView section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == LineKind::Section && sameName(m_lines[i].name, section))
            return i;
    }
    return -1;
}

// One past the last line of the section whose header is at `header`.
qsizetype ProfileDocument::sectionEnd(qsizetype header) const
{
    qsizetype end = header + 1;
    while (end < m_lines.size() && m_lines[end].kind != LineKind::Section)
        ++end;
    return end;
}

std::optional<QString> ProfileDocument::value(QStringView section, QStringView key) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line &line = m_lines[i];
        if (line.kind == LineKind::Key && sameName(line.name, key))
            return stripQuotes(line.value).left(MaxValueLength);
    }
    return std::nullopt;
}

QString ProfileDocument::readString(QStringView section, QStringView key,
                                    const QString &defaultValue) const
{
    return value(section, key).value_or(defaultValue);
}

int ProfileDocument::readInteger(QStringView section, QStringView key, int defaultValue) const
{
    const std::optional<QString> text = value(section, key);
    if (!text)
        return defaultValue;
    return parseProfileInteger(*text).value_or(defaultValue);
}

void ProfileDocument::insertLine(qsizetype at, const QByteArray &raw)
{
    // The line before may be the file's last one, without a line end.
    if (at > 0 && !m_lines[at - 1].raw.endsWith('\n') && !m_lines[at - 1].raw.endsWith('\r'))
        m_lines[at - 1].raw += kLineEnd;
    m_lines.insert(at, parseLine(raw));
}

// Writing such a character as '?' would lose it without a word.
void ProfileDocument::refuseUnencodable(QStringView text) const
{
    const qsizetype at = Cp1252::firstUnencodable(text);
    if (at < 0)
        return;
    const bool pair = text[at].isHighSurrogate() && at + 1 < text.size()
                      && text[at + 1].isLowSurrogate();
    const QStringView character = text.sliced(at, pair ? 2 : 1);
    const char32_t codePoint = pair ? QChar::surrogateToUcs4(character[0], character[1])
                                    : character[0].unicode();
    const QString hex = QString::number(codePoint, 16).toUpper().rightJustified(4, u'0');
    const QString place =
        m_filePath.isEmpty() ? QStringLiteral("der Einstellungsdatei") : m_filePath;
    throw KladdoError(
        QStringLiteral("Das Zeichen \"%1\" (U+%2) kann in %3 nicht gespeichert werden")
            .arg(character, hex, place));
}

void ProfileDocument::setValue(QStringView section, QStringView key, QStringView value)
{
    if (value.contains(u'\r') || value.contains(u'\n')) {
        throw KladdoError(QStringLiteral("The value of [%1] %2 holds a line break")
                              .arg(section, key));
    }
    for (QStringView text : {section, key, value})
        refuseUnencodable(text);
    const QByteArray encodedValue = Cp1252::fromUnicode(value);
    qsizetype header = findSection(section);
    if (header < 0) {
        insertLine(m_lines.size(), '[' + Cp1252::fromUnicode(section) + ']' + kLineEnd);
        header = m_lines.size() - 1;
    }
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        Line &line = m_lines[i];
        if (line.kind == LineKind::Key && sameName(line.name, key)) {
            line = parseLine(Cp1252::fromUnicode(line.name) + '=' + encodedValue + kLineEnd);
            return;
        }
    }
    // After the section's last line that is not blank, so that a blank line
    // before the next section stays where it is.
    qsizetype at = end;
    while (at > header + 1 && trimmedBlanks(withoutLineEnd(m_lines[at - 1].raw)).isEmpty())
        --at;
    insertLine(at, Cp1252::fromUnicode(key) + '=' + encodedValue + kLineEnd);
}

ProfileFile::ProfileFile(QString path)
    : m_path(std::move(path))
{
}

ProfileDocument ProfileFile::load() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return ProfileDocument::fromBytes({}, fullPath());
    return ProfileDocument::fromBytes(file.readAll(), fullPath());
}

ProfileDocument ProfileFile::loadForWrite() const
{
    QFile file(m_path);
    if (!file.exists())
        return ProfileDocument::fromBytes({}, fullPath());
    if (!file.open(QIODevice::ReadOnly))
        throwWriteError();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throwWriteError();
    return ProfileDocument::fromBytes(bytes, fullPath());
}

void ProfileFile::save(const ProfileDocument &document) const
{
    if (!AtomicFile::write(m_path, document.toBytes()).ok)
        throwWriteError();
}

QString ProfileFile::fullPath() const
{
    return QDir::toNativeSeparators(QFileInfo(m_path).absoluteFilePath());
}

void ProfileFile::throwWriteError() const
{
    throw KladdoError(QStringLiteral("In %1 kann nicht geschrieben werden").arg(fullPath()));
}

QString ProfileFile::readString(QStringView section, QStringView key,
                                const QString &defaultValue) const
{
    return load().readString(section, key, defaultValue);
}

int ProfileFile::readInteger(QStringView section, QStringView key, int defaultValue) const
{
    return load().readInteger(section, key, defaultValue);
}

void ProfileFile::writeString(QStringView section, QStringView key, QStringView value) const
{
    ProfileDocument document = loadForWrite();
    document.setValue(section, key, value);
    save(document);
}

void ProfileFile::writeInteger(QStringView section, QStringView key, int value) const
{
    writeString(section, key, QString::number(value));
}
