#include "resources/Bitmaps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace Bitmaps {

namespace {

const QString kBitmapFolder = QStringLiteral(":/bitmaps/");
const QString kIconFolder = QStringLiteral(":/icon/");
const QString kSuffix = QStringLiteral(".xpm");

QString styleName(TextStyle style)
{
    switch (style) {
    case TextStyle::Bold:
        return QStringLiteral("BOLD");
    case TextStyle::Italic:
        return QStringLiteral("ITALIC");
    case TextStyle::Underline:
        return QStringLiteral("UNDERLINE");
    }
    Q_UNREACHABLE();
}

} // namespace

QStringList names()
{
    QStringList result;
    const QFileInfoList files = QDir(kBitmapFolder).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &file : files)
        result.append(file.completeBaseName());
    return result;
}

// The quoted strings of an XPM file, which is C source: what Qt's XPM
// array reader takes. Read that way, a picture needs none of the image
// plugins that a file name makes Qt look for, which would cost the first
// picture, the handle shown before the window maps, milliseconds.
QImage bitmap(const QString &name)
{
    QFile file(kBitmapFolder + name + kSuffix);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = file.readAll();
    QList<QByteArray> rows;
    for (qsizetype open = text.indexOf('"'); open >= 0; open = text.indexOf('"', open)) {
        const qsizetype close = text.indexOf('"', open + 1);
        if (close < 0)
            return {};
        rows.append(text.mid(open + 1, close - open - 1));
        open = close + 1;
    }
    QList<const char *> lines;
    for (const QByteArray &row : rows)
        lines.append(row.constData());
    lines.append(nullptr);
    return rows.isEmpty() ? QImage() : QImage(lines.constData());
}

QPixmap pixmapFor(const QImage &picture, qreal devicePixelRatio)
{
    // Rounded up: at a ratio between two whole numbers Qt then shrinks the
    // picture a little rather than stretching it.
    const int scale = std::max(1, int(std::ceil(devicePixelRatio)));
    if (scale == 1 || picture.isNull())
        return QPixmap::fromImage(picture);
    QPixmap pixmap = QPixmap::fromImage(picture.scaled(picture.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

QImage stylePicture(TextStyle style, bool on)
{
    return bitmap(styleName(style) + (on ? QStringLiteral("ON") : QStringLiteral("OFF")));
}

QIcon programIcon()
{
    QIcon icon;
    const QFileInfoList files = QDir(kIconFolder).entryInfoList(QDir::Files);
    for (const QFileInfo &file : files)
        icon.addFile(file.filePath());
    return icon;
}

} // namespace Bitmaps
