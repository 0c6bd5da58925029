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

class Environment;
class QLabel;
class TFarbButton;

// The main window. It holds the state that mirrors note.ini and wires the
// subsystems together; their logic lives in their own libraries. Every event
// that enters it runs through runGuarded, and everything it needs from
// outside comes from its environment.
class TForm1 : public QWidget, public WindowSettings, public MainWindowLink
{
    Q_OBJECT

public:
    static constexpr int FormWidth = 528;
    static constexpr int FormHeight = 549;

    // programFolder is the folder of the program file; DATA/ lies in it.
    // The environment must outlive the window.
    TForm1(Environment &environment, const QString &programFolder, QWidget *parent = nullptr);

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

signals:
    // The window is closing and the program should end. A listener that
    // throws keeps the window open, like any failure while closing.
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

    // Runs the handler of one event. A failure ends the handler and
    // reaches the user in a message box over this window; it must not
    // unwind through Qt's frames.
    void runGuarded(const std::function<void()> &handler);

    // Connects signal to a handler of this window through runGuarded.
    template <typename Sender, typename Signal>
    void connectGuarded(const Sender *sender, Signal signal, void (TForm1::*handler)())
    {
        connect(sender, signal, this,
                [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); });
    }

    void createFrame();
    TFarbButton *createToolbarButton(const char *name, int x, void (TForm1::*onClick)());
    int screenWidth() const;
    void roll(const QList<int> &offsets);
    void createStylePictures();
    void fillStylePictures();
    QList<TFarbButton *> toolbarButtons() const;
    ToggleState toggleState() const;

    Environment &m_environment;
    const QString m_programFolder;
    int m_opacityAlpha = 255;
    int m_dragAnchorY = 0;
    QRegion m_outline;
    // Black until the first scheme: a palette outside 1-6 keeps the last.
    ColorScheme m_scheme;
    QList<QImage> m_styleArtwork;

    QWidget *Panel1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Image3 = nullptr;
    TFarbButton *FarbButton9 = nullptr;
};
