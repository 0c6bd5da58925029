#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// The text of a profile (INI) file held in memory. Section and key names
// match without regard to case; edits touch only the line of the key they
// write, so lines the program does not know survive byte for byte.
class ProfileDocument
{
public:
    static constexpr qsizetype MaxValueLength = 2047;

    ProfileDocument() = default;
    // filePath, when given, names the file in error messages.
    static ProfileDocument fromBytes(const QByteArray &bytes, const QString &filePath = {});
    QByteArray toBytes() const;

    // The value as a reader sees it: blanks around it dropped, one pair of
    // enclosing quotes dropped, at most MaxValueLength characters.
    std::optional<QString> value(QStringView section, QStringView key) const;

    QString readString(QStringView section, QStringView key, const QString &defaultValue) const;
    int readInteger(QStringView section, QStringView key, int defaultValue) const;

    // Replaces the key's line where it stands, or appends the key at the end
    // of its section, or appends the section at the end of the text.
    // Throws KladdoError, changing nothing, for a value holding a line break
    // or a name or value with a character Windows-1252 cannot hold.
    void setValue(QStringView section, QStringView key, QStringView value);

private:
    enum class LineKind { Other, Section, Key };
    struct Line
    {
        QByteArray raw; // with its line end, if it had one
        LineKind kind = LineKind::Other;
        QString name;   // section or key name, blanks dropped
        QString value;  // key lines only, blanks dropped
    };

    static Line parseLine(const QByteArray &raw);
    qsizetype findSection(QStringView section) const;
    qsizetype sectionEnd(qsizetype header) const;
    void insertLine(qsizetype at, const QByteArray &raw);
    void refuseUnencodable(QStringView text) const;

    QList<Line> m_lines;
    QString m_filePath;
};

// Parses integer text as the settings reader does: optional sign, then
// decimal digits or hexadecimal digits after "$", "0x", "0X", "x" or "X".
// Anything else, or a value outside 32 bits, gives nothing.
std::optional<int> parseProfileInteger(QStringView text);

// A profile file on disk. Every write reads the file, changes one key and
// replaces the file atomically; a failed write throws KladdoError with the
// message "In <path> kann nicht geschrieben werden".
class ProfileFile
{
public:
    explicit ProfileFile(QString path);

    const QString &path() const { return m_path; }

    // A missing or unreadable file reads as an empty document.
    ProfileDocument load() const;

    // Like load, but a file that exists and cannot be read throws, so that
    // a write never replaces settings it could not see.
    ProfileDocument loadForWrite() const;
    void save(const ProfileDocument &document) const;

    QString readString(QStringView section, QStringView key, const QString &defaultValue) const;
    int readInteger(QStringView section, QStringView key, int defaultValue) const;
    void writeString(QStringView section, QStringView key, QStringView value) const;
    void writeInteger(QStringView section, QStringView key, int value) const;

private:
    QString fullPath() const;
    [[noreturn]] void throwWriteError() const;

    QString m_path;
};
