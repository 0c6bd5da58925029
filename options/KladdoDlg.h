#pragma once

#include "controls/WinColor.h"
#include "platform/GlobalKey.h"

#include <QDialog>

#include <array>

class ClickLabel;
class MainWindowLink;
class QCheckBox;
class QKeySequenceEdit;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class TUpDown;

// The options dialog. It holds no settings of its own: every control shows
// and changes the main window's, most of them at once. It is left only
// through OK; Escape and the window manager's close do the same as OK, so
// that no choice is left half taken.
class TKladdoDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 369;
    static constexpr int ClientHeight = 349;

    // mainWindow must outlive the dialog.
    TKladdoDlg(MainWindowLink &mainWindow, QWidget *parent = nullptr);

    void SpracheOk();
    void KeepOnTop();

    // Closing in any way takes the choices over and writes the settings.
    void done(int result) override;

protected:
    // The key and the login entry may have changed outside since the last time.
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
    void createSettingsPage(QWidget *page);
    void createDesignGroup(QWidget *page);
    void createAtHandPage(QWidget *page);
    void createInfoPage(QWidget *page);
    void connectHandlers();
    void FormCreate();

    void RadioButton1Click();
    void RadioButton2Click();
    void TrackBar1Change();
    void ComboBoxEx1Change();
    void ComboBoxEx2Change();
    void Label3Click() { pickUserColor(0); }
    void Label4Click() { pickUserColor(1); }
    void Label5Click() { pickUserColor(2); }
    void UpDown1ChangingEx(int direction) { moveColumnBoundary(0, direction); }
    void UpDown2ChangingEx(int direction) { moveColumnBoundary(1, direction); }
    void Button1Click();
    void VaultButtonClick();
    void ComboBox1Change();
    void KeyEditChange();
    void CheckBox2Click();
    void OKBtnClick();

    void chooseLanguage(const QString &language);
    void showTransparencyText();
    void paletteChosen(QComboBox *changed, QComboBox *other);
    void selectPalette(int palette);
    void showUserColor(int index, TColor color);
    TColor userColor(int index) const;
    void pickUserColor(int index);
    void moveColumnBoundary(int boundary, int direction);
    void showKeyState(GlobalKey::State state);
    void showLoginEntry();

    // Connects a signal to a handler that runs guarded like the window's.
    template <typename Sender, typename Signal>
    void connectGuarded(const Sender *sender, Signal signal, void (TKladdoDlg::*handler)());

    MainWindowLink &m_mainWindow;
    bool m_closing = false;

    QRadioButton *RadioButton1 = nullptr;
    QRadioButton *RadioButton2 = nullptr;
    QRadioButton *RadioButton3 = nullptr;
    QRadioButton *RadioButton4 = nullptr;
    QLabel *Label1 = nullptr;
    QSlider *TrackBar1 = nullptr;
    QComboBox *ComboBoxEx1 = nullptr;
    QComboBox *ComboBoxEx2 = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    // Label3, Label4 and Label5: the user colours 1 to 3.
    std::array<ClickLabel *, 3> m_colorLabels = {};
    // Kept as stored: a label's colour cannot hold a system colour's number.
    std::array<TColor, 3> m_userColors = {};
    std::array<TUpDown *, 2> m_upDowns = {};
    QPushButton *Button1 = nullptr;
    QPushButton *VaultButton = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QKeySequenceEdit *KeyEdit = nullptr;
    QLabel *KeyState = nullptr;
    QCheckBox *CheckBox2 = nullptr;
    QLabel *LoginState = nullptr;
    GlobalKey::State m_keyState = GlobalKey::State::Off;
    QPushButton *OKBtn = nullptr;
};
