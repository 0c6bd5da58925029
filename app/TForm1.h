#pragma once

#include "app/WindowSettings.h"
#include "platform/ProfileFile.h"

#include <QWidget>

// The main window. It holds the state that mirrors note.ini and wires the
// subsystems together; their logic lives in their own libraries.
class TForm1 : public QWidget, public WindowSettings
{
    Q_OBJECT

public:
    static constexpr int FormWidth = 528;
    static constexpr int FormHeight = 549;
    // Rolled in, only the left handle shows at the screen's right edge.
    static constexpr int RolledInOffset = 16;

    // programFolder is the folder of the program file; DATA/ lies in it.
    explicit TForm1(const QString &programFolder, QWidget *parent = nullptr);

    // The program folder, always ending in a separator.
    QString ProgramDir;

    // Writes every setting; throws KladdoError when note.ini cannot be written.
    void SaveSettings();

    QString dataPath(const QString &fileName) const;
    ProfileFile settingsFile() const;

    // The window's opacity, 0 (invisible) to 255 (opaque).
    int opacityAlpha() const { return m_opacityAlpha; }
    void setOpacityAlpha(int alpha);

private:
    void FormCreate();

    const QString m_programFolder;
    int m_opacityAlpha = 255;
};
