#pragma once

#include <QByteArrayView>

// The control words the reader acts on. Every other word is ignored, as
// the format asks of readers that meet words they do not know.
enum class RtfWord : unsigned char {
    Unknown,

    // Document
    Rtf, Ansicpg, Deff, Uc, U,

    // Destinations
    Fonttbl, Colortbl, Pict, Shppict, Fldrslt, Listtext, Pntext,
    Listtable, List, Listlevel, Leveltext, Levelnumbers, Listoverridetable, Listoverride,
    Shp, Shpinst, Shptxt, Shprslt, Do, Dptxbxtext,
    SkippedDestination, // stylesheet, info, headers, field instructions, ...

    // Lists
    Levelnfc, Levelstartat, Listid, Ls, Ilvl,

    // Font and colour tables
    Fcharset, Cpg, Red, Green, Blue,

    // Pictures
    Pngblip, Jpegblip, OtherPicture, Picw, Pich, Picwgoal, Pichgoal, Picscalex, Picscaley, Bin,

    // Character formatting
    Plain, F, Fs, Cf, Highlight, Cb, B, I, Strike, V, Super, Sub, Nosupersub, Up, Dn,
    Ul, Ulnone, UlDotted, UlDash, UlDashDot, UlDashDotDot, UlWave,

    // Paragraph formatting
    Pard, Ql, Qc, Qr, Qj, Li, Ri, Fi,

    // Breaks and special characters
    Par, Line, Tab, Cell, Row, Lquote, Rquote, Ldblquote, Rdblquote, Bullet, Endash, Emdash,
    Enspace, Emspace, Qmspace, Zwj, Zwnj,
};

RtfWord rtfWordFor(QByteArrayView name);
