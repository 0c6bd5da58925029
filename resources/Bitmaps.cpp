#include "resources/Bitmaps.h"

#include <QDir>
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

QImage bitmap(const QString &name)
{
    return QImage(kBitmapFolder + name + kSuffix);
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
