#pragma once

#include "app/ToolbarFaces.h"
#include "options/ColorSchemes.h"
#include "options/MainWindowLink.h"
#include "platform/ProfileFile.h"
#include "settings/WindowSettings.h"

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <functional>

class QLabel;
class TFarbButton;

// The main window. It holds the state that mirrors note.ini and wires the
// subsystems together; their logic lives in their own libraries.
class TForm1 : public QWidget, public WindowSettings, public MainWindowLink
{
    Q_OBJECT

public:
    static constexpr int FormWidth = 528;
    static constexpr int FormHeight = 549;

    // programFolder is the folder of the program file; DATA/ lies in it.
    explicit TForm1(const QString &programFolder, QWidget *parent = nullptr);

    // The program folder, always ending in a separator.
    QString ProgramDir;
    // 1 German, 2 English; set by SpracheOk from Language.
    int LanguageIndex = 1;
    // The password column is shown as asterisks.
    bool PasswordsHidden = true;

    // Writes every setting; throws KladdoError when note.ini cannot be written.
    void SaveSettings() override;

    void KeepOnTop();
    void ApplyWindowShape();
    void UpdateHandleHints();
    void RollOut();
    void RollIn();
    void SpracheOk() override;
    void HintOk() override;
    void FarbeOk() override;

    WindowSettings &windowSettings() override { return *this; }
    const ColorScheme &colorScheme() const { return m_scheme; }

    bool isRolledIn() const;

    QString dataPath(const QString &fileName) const;
    ProfileFile settingsFile() const;

    // The window's opacity, 0 (invisible) to 255 (opaque).
    int opacityAlpha() const override { return m_opacityAlpha; }
    void setOpacityAlpha(int alpha) override;

    // What a roll does between its steps; tests replace the pause.
    using RollPause = std::function<void(int milliseconds)>;
    void setRollPause(RollPause pause) { m_rollPause = std::move(pause); }

signals:
    // The window has closed and the program should end.
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void FormPaint();
    void FormCloseQuery(bool &canClose);
    void Image1MouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, QPoint position);
    void Image1MouseMove(Qt::MouseButtons buttons, QPoint position);
    void Image1MouseUp(Qt::MouseButton button, QPoint position);
    void FarbButton9Click();

    void createFrame();
    TFarbButton *createToolbarButton(const char *name, int x, void (TForm1::*onClick)());
    void roll(const QList<int> &offsets);
    void createStylePictures();
    void fillStylePictures();
    QList<TFarbButton *> toolbarButtons() const;
    ToggleState toggleState() const;

    const QString m_programFolder;
    int m_opacityAlpha = 255;
    int m_dragAnchorY = 0;
    QRegion m_outline;
    // Black until the first scheme: a palette outside 1-6 keeps the last.
    ColorScheme m_scheme;
    QList<QImage> m_styleArtwork;
    RollPause m_rollPause;

    QWidget *Panel1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Image3 = nullptr;
    TFarbButton *FarbButton9 = nullptr;
};
