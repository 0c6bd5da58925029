#pragma once

#include "app/AlarmArea.h"
#include "app/ConflictNotices.h"
#include "app/Environment.h"
#include "app/FormInput.h"
#include "app/HandlerGuard.h"
#include "app/MainWindowUi.h"
#include "app/NotePageSession.h"
#include "app/PageNavigation.h"
#include "app/PassGridClipboard.h"
#include "app/PassPageSession.h"
#include "app/SearchDialogs.h"
#include "app/StagedStart.h"
#include "app/ToolbarFaces.h"
#include "app/VaultGuard.h"
#include "app/WindowKey.h"
#include "app/WindowPlace.h"
#include "notes/NoteEditor.h"
#include "options/ColorSchemes.h"
#include "options/LanguageTables.h"
#include "options/MainWindowLink.h"
#include "passwords/PassGrid.h"
#include "platform/RecoveryWriter.h"
#include "settings/SharedSettings.h"
#include "sync/FolderWatch.h"

#include <QDir>
#include <QList>
#include <QRegion>
#include <QWidget>

#include <functional>

class QTextDocument;
class TFarbButton;
class TKladdoDlg;

// The main window. It holds the state that mirrors note.ini and wires the
// subsystems together; their logic lives in their own libraries. Every event
// that enters it runs through runGuarded, and everything it needs from
// outside comes from its environment.
class TForm1 : public QWidget, public MainWindowLink, private MainWindowUi
{
    Q_OBJECT

public:
    static constexpr int FormWidth = 528;
    static constexpr int FormHeight = 549;

    // What the constructor does: everything, or only what the rolled-in
    // window shows, the rest following its first frame (finishStartUp).
    enum class StartUp { Whole, HandleFirst };

    // The folder of the program file, and the data folder: by default
    // DATA/ beside the program.
    struct Folders
    {
        Folders(const QString &program) : Folders(program, QDir(program).filePath(QStringLiteral("DATA"))) {}
        Folders(QString program, QString data) : program(std::move(program)), data(std::move(data)) {}

        QString program;
        QString data;
    };

    // The environment must outlive the window.
    TForm1(Environment &environment, const Folders &folders, StartUp startUp = StartUp::Whole,
           QWidget *parent = nullptr);

    // Builds and loads whatever the rolled-in window does not show, in the
    // order of a whole start; does nothing once begun. Input, and every
    // handler that needs the rest, finishes the start first.
    void finishStartUp();
    bool hasStarted() const { return m_start.hasStarted(); }

    // The program folder, always ending in a separator.
    QString ProgramDir;
    // 1 German, 2 English; set from Language as the settings are read and
    // by SpracheOk.
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
    // Out at the screen's right edge, above all windows and active: a later
    // start on the same data folder asks for the window this way.
    void comeOut();
    void SpracheOk() override;
    void HintOk() override;
    void FarbeOk() override;

    // Saves the page of the view shown; a failure throws and stops what
    // asked for the save, the page staying in memory.
    void SpeichernOk();
    void DisplayOk();
    // Loads note page "Note", or page, making it the current one. Nothing
    // changes unless the page could be read and its number stored.
    void RichEditOk() override;
    void RichEditOk(int page);
    void RichEditFontBitOk() override;
    void RichEditFontOk();
    // Loads password page "Pass", or page, making it the current one. The
    // page is read before its number is stored.
    void StringGrid1Ok();
    void StringGrid1Ok(int page);
    void ZS(int Line, int Col);
    // Shows the bell of the note page shown: pending, expired or none.
    void AlarmOk();

    // What note.ini holds of the window, as the window shows it.
    WindowSettings &windowSettings() override { return m_settings; }
    const ColorScheme &colorScheme() const { return m_scheme; }

    bool isRolledIn() const;

    QString dataPath(const QString &fileName) const;
    SharedSettings &settingsFile() { return m_sharedSettings; }

    // The window's opacity, 0 (invisible) to 255 (opaque).
    int opacityAlpha() const override { return m_opacityAlpha; }
    void setOpacityAlpha(int alpha) override;

    std::array<int, 3> passwordColumnWidths() const override { return StringGrid1->columnWidths(); }
    void setPasswordColumnWidths(const std::array<int, 3> &widths) override
    {
        StringGrid1->setColumnWidths(widths);
    }
    std::optional<TColor> pickColor(QWidget *parent, TColor initial) override;
    void manageVault(QWidget *parent) override;
    GlobalKey::State globalKeyState() const override { return m_windowKey.state(); }
    GlobalKey::State tryGlobalKey(const QString &key) override;
    LoginStart::Found loginStart() const override;
    void setLoginStart(bool on) override;

    // Ends the program without the user (the session ends, or the program
    // was told to end): the page shown is saved, or kept in its recovery
    // file, and standard error says which.
    void endSession();
    // The page shown saved without asking anything and without drawing:
    // the display may be gone. What cannot be saved is kept in its
    // recovery file, and standard error says so.
    void saveUnattended();

    // Runs the handler of one event. A failure ends the handler and
    // reaches the user in a message box over this window; it must not
    // unwind through Qt's frames.
    void runGuarded(const std::function<void()> &handler) override;

signals:
    // The start has finished: pages loaded, every control built.
    void started();
    // The window is closing and the program should end. A listener that
    // throws keeps the window open, like any failure while closing.
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void FormPaint();
    void FormCloseQuery(bool &canClose);
    void Image1MouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, QPoint position);
    void Image1MouseMove(Qt::MouseButtons buttons, QPoint position);
    void Image1MouseUp(Qt::MouseButton button, QPoint position);
    void FarbButton1Click();
    void FarbButton2Click() { turnPage(PageStep::First); }
    void FarbButton3Click() { turnPage(PageStep::Back); }
    void FarbButton4Click() { turnPage(PageStep::Forward); }
    void FarbButton5Click() { turnPage(PageStep::Last); }
    void FarbButton6Click();
    void FarbButton7Click();
    void FarbButton8Click();
    void FarbButton9Click();
    void FarbButton10Click();
    void FarbButton11Click();
    void FarbButton12Click();
    void FarbButton13Click();
    void FarbButton14Click();
    void FarbButton15Click();
    void FarbButton16Click();
    void Image4Click();
    void Image5Click();
    void Image6Click();
    bool RichEdit1KeyDown(const QKeyEvent &key);
    void RichEdit1KeyUp();
    void RichEdit1MouseUp();
    void Timer1Timer();

    // Connects signal to a handler of this window through runGuarded. A
    // signal that comes during a roll is handled once the roll has ended.
    template <typename Sender, typename Signal>
    void connectGuarded(const Sender *sender, Signal signal, void (TForm1::*handler)())
    {
        connect(sender, signal, this, [this, handler] {
            runGuardedWhenIdle([this, handler] { (this->*handler)(); });
        });
    }
    // Runs handler through runGuarded, once no roll or start is under way.
    void runGuardedWhenIdle(std::function<void()> handler);
    void finishStartUpGuarded();
    void finishStarted();

    void placeHandle();
    void buildRest();
    void connectToolbar();
    void showFrameColors();
    void keepReachable();
    void roll(const QList<int> &offsets);
    void bringOut();
    void answerGlobalKey(bool hadKeyboard);
    void takeGlobalKey(bool tellIfTaken);
    LoginStart::Command loginCommand() const;
    void rollByHandle();

    void startAlarmTimer();
    void tickWhenIdle();
    void soundAlarm(int page, QStringList &failures);
    void storeAlarm(const QString &text);
    void switchView(int view);

    void loadStartPage();
    void loadStartPassPage();
    void openNotePage(NotePageSession::Read read, bool keepView = false);
    void followFolder();
    void followSettings();
    void openPassPage(int page, const PassPageLoad &load);
    bool passwordsLocked() const;
    void showLockedPasswords();
    void unlockVault(const QString &password);
    void lockVault();
    void trackChanges();
    void tellOfRecovery();
    void savePassPage();
    void connectPassGrid();
    void turnPage(PageStep step);
    void putInEditor(std::unique_ptr<QTextDocument> document, bool recovered, bool keepView);
    void toggleStyle(bool CharStyle::*flag);
    void normalisingPaste();
    void refreshPosition();
    void createShortcuts();
    void FindAgainKeyPressed();
    void createSearchDialogs();
    void showHit();
    void refreshToggleFace(TFarbButton *button);
    void setCurrentTitle(const QString &title);
    void refreshPictures();
    ToggleState toggleState() const;

    Environment &m_environment;
    const QString m_programFolder;
    // Ends in a separator.
    const QString m_dataFolder;
    int m_opacityAlpha = 255;
    int m_dragAnchorY = 0;
    bool m_watchingScreen = false;
    QRegion m_outline;
    // Black until the first scheme: a palette outside 1-6 keeps the last.
    ColorScheme m_scheme;

    // The bold, italic and underline flags the style pictures apply.
    CharStyle m_style;
    // A minute tick waits until no handler runs, a message box or dialog
    // among them.
    HandlerGuard m_guard;

    WindowSettings m_settings;
    SharedSettings m_sharedSettings;
    // Declared before the sessions whose changes it writes, which use it
    // until they go.
    RecoveryWriter m_recoveryWriter;
    // Whatever is told of recovery files waits until the page is shown.
    RecoveryNotices m_recoveryNotices;
    NotePageSession m_notePages;
    PassPageSession m_passPages;
    // A page is being put in the editor: its changes are not the user's.
    bool m_replacingPage = false;
    bool m_ended = false;
    // Nothing is asked or shown: the display may be gone.
    bool m_savingUnattended = false;
    StagedStart m_start;
    FolderWatch m_folderWatch;
    ConflictNotices m_conflictNotices;
    HandleMouseInput m_handleInput;
    EditorInput m_editorInput;
    WindowPlace m_place{*this, m_environment};
    WindowKey m_windowKey{m_environment.globalKey()};

    std::unique_ptr<AlarmArea> m_alarms;
    std::unique_ptr<SearchDialogs> m_search;
    std::unique_ptr<PassGridClipboard> m_passClipboard;
    std::unique_ptr<VaultGuard> m_vaultGuard;
    TKladdoDlg *KladdoDlg = nullptr;
};
