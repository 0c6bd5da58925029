#include "tools/Csv.h"

#include "platform/KladdoError.h"

namespace Csv {
namespace {

constexpr QChar kQuote = u'"';
constexpr QChar kComma = u',';
constexpr QChar kCr = u'\r';
constexpr QChar kLf = u'\n';

bool needsQuotes(const QString &field)
{
    return field.contains(kComma) || field.contains(kQuote) || field.contains(kCr)
           || field.contains(kLf);
}

// Walks the text once; `line` counts line ends, quoted ones included, so
// errors point at the line an editor shows.
class Parser
{
public:
    explicit Parser(QStringView text)
        : m_text(text)
    {
    }

    QList<QStringList> records()
    {
        QList<QStringList> records;
        while (!atEnd())
            records << record();
        return records;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return m_text[m_pos]; }

    [[noreturn]] void fail(const QString &what) const
    {
        throw KladdoError(QStringLiteral("Line %1: %2").arg(m_line).arg(what));
    }

    QStringList record()
    {
        QStringList fields;
        for (;;) {
            fields << (!atEnd() && peek() == kQuote ? quotedField() : plainField());
            if (atEnd())
                return fields;
            const QChar c = peek();
            ++m_pos;
            if (c == kComma)
                continue;
            if (c == kCr) {
                if (atEnd() || peek() != kLf)
                    fail(QStringLiteral("carriage return without line feed"));
                ++m_pos;
            }
            ++m_line;
            return fields;
        }
    }

    QString plainField()
    {
        const qsizetype start = m_pos;
        while (!atEnd() && peek() != kComma && peek() != kCr && peek() != kLf) {
            if (peek() == kQuote)
                fail(QStringLiteral("a quote inside a field that does not start with one"));
            ++m_pos;
        }
        return m_text.sliced(start, m_pos - start).toString();
    }

    QString quotedField()
    {
        const qsizetype startLine = m_line;
        ++m_pos;
        QString field;
        for (;;) {
            if (atEnd()) {
                m_line = startLine;
                fail(QStringLiteral("a quoted field that never ends"));
            }
            const QChar c = peek();
            ++m_pos;
            if (c == kQuote) {
                if (atEnd() || peek() != kQuote)
                    break;
                ++m_pos; // a doubled quote stands for one
            } else if (c == kLf) {
                ++m_line;
            }
            field += c;
        }
        if (!atEnd() && peek() != kComma && peek() != kCr && peek() != kLf)
            fail(QStringLiteral("text after a closing quote"));
        return field;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    qsizetype m_line = 1;
};

} // namespace

QString formatRecord(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &field : fields) {
        if (needsQuotes(field)) {
            QString doubled = field;
            doubled.replace(kQuote, QStringLiteral("\"\""));
            quoted << kQuote + doubled + kQuote;
        } else {
            quoted << field;
        }
    }
    return quoted.join(kComma) + QStringLiteral("\r\n");
}

QList<QStringList> parse(QStringView text)
{
    return Parser(text).records();
}

} // namespace Csv
