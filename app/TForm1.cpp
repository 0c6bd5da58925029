#include "app/TForm1.h"

#include "app/ScreenGeometry.h"
#include "platform/DateTimeText.h"

#include <QDir>

namespace {

QString withTrailingSeparator(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

} // namespace

TForm1::TForm1(const QString &programFolder, QWidget *parent)
    : QWidget(parent), m_programFolder(programFolder)
{
    setObjectName(QStringLiteral("Form1"));
    setFixedSize(FormWidth, FormHeight);
    FormCreate();
}

void TForm1::FormCreate()
{
    ProgramDir = withTrailingSeparator(m_programFolder);
    QDir::setCurrent(ProgramDir);

    const StoredSettings stored = readSettings(settingsFile().load());
    static_cast<WindowSettings &>(*this) = stored;
    move(x(), stored.Pos);
    setOpacityAlpha(stored.Transparent);

    applyColumnWidthRule(*this);
    move(ScreenGeometry::primaryScreenWidth() - RolledInOffset, y());

    DateTimeText::setShortDateFormat(QStringLiteral("dd.MM.yyyy"));
    DateTimeText::setLongTimeFormat(QStringLiteral("HH:mm:ss"));
}

QString TForm1::dataPath(const QString &fileName) const
{
    return ProgramDir + QStringLiteral("DATA/") + fileName;
}

ProfileFile TForm1::settingsFile() const
{
    return ProfileFile(dataPath(QStringLiteral("note.ini")));
}

void TForm1::setOpacityAlpha(int alpha)
{
    m_opacityAlpha = alpha & 0xFF;
    setWindowOpacity(m_opacityAlpha / 255.0);
}

void TForm1::SaveSettings()
{
    const ProfileFile file = settingsFile();
    ProfileDocument document = file.loadForWrite();
    StoredSettings settings;
    static_cast<WindowSettings &>(settings) = *this;
    settings.Pos = y();
    settings.Transparent = m_opacityAlpha;
    writeSettings(document, settings);
    file.save(document);
}
