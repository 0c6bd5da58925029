#pragma once

#include <QByteArrayView>

// One piece of rich text as the tokenizer sees it. Views point into the
// input, which must outlive the token.
struct RtfToken
{
    enum class Kind {
        End,           // no input left
        GroupStart,    // {
        GroupEnd,      // }
        ControlWord,   // \word or \wordN
        ControlSymbol, // \ followed by one character that is not a letter
        HexByte,       // \'hh
        Text,          // a run of plain bytes, line breaks left out
        Broken,        // a control sequence cut off or malformed; text says which
    };

    Kind kind = Kind::End;
    QByteArrayView text; // the word's name or the run of bytes
    int parameter = 0;
    bool hasParameter = false;
    bool printableAscii = false; // Text: every byte is 0x20-0x7F
    char symbol = 0;      // ControlSymbol
    unsigned char byte = 0; // HexByte
    qsizetype offset = 0;   // where the token starts in the input
};

// Splits rich text into tokens byte by byte, without copying. Numbers that
// do not fit an int are clamped; the tokenizer never reads past the input.
class RtfTokenizer
{
public:
    explicit RtfTokenizer(QByteArrayView input, qsizetype start = 0);

    RtfToken next();

    // The count bytes after a \bin word, fewer when the input ends first.
    QByteArrayView takeBinary(int count);

    // Moves to the '}' that closes the current group and leaves it unread;
    // false when the input ends first.
    bool skipGroup();

    qsizetype position() const { return m_pos; }
    bool atEnd() const { return m_pos >= m_input.size(); }

private:
    RtfToken readControl(qsizetype start);
    RtfToken readWord(qsizetype start);
    RtfToken readHexByte(qsizetype start);
    RtfToken readText(qsizetype start);

    QByteArrayView m_input;
    qsizetype m_pos = 0;
};
