#include "app/TForm1.h"

#include "app/Environment.h"
#include "app/MainWindowLayout.h"
#include "app/WindowFrame.h"
#include "controls/ClickLabel.h"
#include "controls/ControlAccessibility.h"
#include "controls/FarbButton.h"
#include "options/HintDisplay.h"
#include "options/KladdoDlg.h"
#include "options/LanguageTables.h"
#include "passwords/PassGrid.h"
#include "platform/ComputerName.h"
#include "platform/DateTimeText.h"
#include "platform/StartupTrace.h"
#include "resources/Bitmaps.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QPainter>
#include <QScopeGuard>
#include <QTimer>
#include <QWindow>

namespace {

// How long the start waits for its first frame to be drawn.
constexpr int kUndrawnStartMilliseconds = 250;

QString withTrailingSeparator(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

} // namespace

TForm1::TForm1(Environment &environment, const Folders &folders, StartUp startUp, QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      m_environment(environment), m_programFolder(folders.program),
      m_dataFolder(withTrailingSeparator(folders.data)),
      m_guard([this](const QString &failure) { m_environment.showError(this, failure); },
              [this](std::function<void()> work) {
                  QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
              }),
      m_sharedSettings(m_dataFolder + QStringLiteral("note.ini"), ComputerName::unique()),
      m_notePages(m_dataFolder, m_recoveryWriter, m_recoveryNotices, [this] { return RichEdit1->document(); },
                  environment),
      m_passPages(m_dataFolder, m_recoveryWriter, m_recoveryNotices,
                  [this]() -> const PassPageCells & { return StringGrid1->page(); }, environment),
      m_start([this] { buildRest(); }, [this] { finishStarted(); }, [this] { finishStartUpGuarded(); }),
      m_folderWatch(folders.data, PageSession::pageFileNames()),
      m_conflictNotices(folders.data),
      m_handleInput([this](const auto &handler) { runGuarded(handler); },
                    {[this](auto button, auto buttons, QPoint at) { Image1MouseDown(button, buttons, at); },
                     [this](auto buttons, QPoint at) { Image1MouseMove(buttons, at); },
                     [this](auto button, QPoint at) { Image1MouseUp(button, at); }}),
      m_editorInput([this](const auto &handler) { runGuarded(handler); },
                    {[this](const QKeyEvent &key) { return RichEdit1KeyDown(key); },
                     [this] { RichEdit1KeyUp(); }, [this] { RichEdit1MouseUp(); }})
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kladdo"));
    setFixedSize(FormWidth, FormHeight);
    ControlAccessibility::install();
    setupFrame(*this, m_handleInput);
    placeHandle();
    StartupTrace::mark("handle placed");
    if (startUp == StartUp::Whole)
        finishStartUp();
    else
        m_start.waitForInput();
}

// The window is mapped by now: whatever the start makes visible has to be
// shown by hand, and a message box of the start comes over the window.
void TForm1::finishStartUp()
{
    m_start.finish();
}

void TForm1::finishStarted()
{
    connect(&m_environment.globalKey(), &GlobalKey::pressed, this, [this](bool hadKeyboard) {
        runGuardedWhenIdle([this, hadKeyboard] { answerGlobalKey(hadKeyboard); });
    });
    runGuardedWhenIdle([this] { takeGlobalKey(true); });
    emit started();
    StartupTrace::mark("started");
}

void TForm1::buildRest()
{
    // Only a window manager's lists show it, never the rolled-in window.
    QApplication::setWindowIcon(Bitmaps::programIcon());
    setupPageArea(*this, m_editorInput);
    connectPassGrid();
    m_alarms = std::make_unique<AlarmArea>(*this, m_environment);
    setupToolbar(*this);
    connectToolbar();
    setupStylePictures(*this);
    const QStringList unplaced = MainWindowLayout::apply(this);
    Q_ASSERT_X(unplaced.isEmpty(), "TForm1", qPrintable(unplaced.join(u' ')));
    trackChanges();
    connectGuarded(&m_folderWatch, &FolderWatch::mayHaveChanged, &TForm1::followFolder);
    createShortcuts();
    createSearchDialogs();
    StartupTrace::mark("controls built");
    FormCreate();
    StartupTrace::mark("pages loaded");
    // Filling it from the settings makes the language "Deutsch" or "English".
    KladdoDlg = new TKladdoDlg(*this, this);
    StartupTrace::mark("options dialog built");
    if (isVisible())
        showLateControls(*this);
}

// Each button's click, and each style picture's.
void TForm1::connectToolbar()
{
    static constexpr void (TForm1::*kClicks[ToolbarButtonCount])() = {
        &TForm1::FarbButton1Click,  &TForm1::FarbButton2Click,  &TForm1::FarbButton3Click,
        &TForm1::FarbButton4Click,  &TForm1::FarbButton5Click,  &TForm1::FarbButton6Click,
        &TForm1::FarbButton7Click,  &TForm1::FarbButton8Click,  &TForm1::FarbButton9Click,
        &TForm1::FarbButton10Click, &TForm1::FarbButton11Click, &TForm1::FarbButton12Click,
        &TForm1::FarbButton13Click, &TForm1::FarbButton14Click, &TForm1::FarbButton15Click,
        &TForm1::FarbButton16Click, nullptr,
    };
    for (int number = 1; number <= ToolbarButtonCount; ++number) {
        if (kClicks[number - 1])
            connectGuarded(toolbarButton(number), &TFarbButton::clicked, kClicks[number - 1]);
    }
    connectGuarded(Image4, &ClickLabel::clicked, &TForm1::Image4Click);
    connectGuarded(Image5, &ClickLabel::clicked, &TForm1::Image5Click);
    connectGuarded(Image6, &ClickLabel::clicked, &TForm1::Image6Click);
}

void TForm1::runGuarded(const std::function<void()> &handler)
{
    m_guard.run([&] {
        // Nothing may reach a window whose start is not finished.
        finishStartUp();
        handler();
    });
}

void TForm1::runGuardedWhenIdle(std::function<void()> handler)
{
    m_start.runWhenIdle([this, handler = std::move(handler)] { runGuarded(handler); });
}

// The guard finishes the start before any handler.
void TForm1::finishStartUpGuarded()
{
    runGuarded([] {});
}

// What the rolled-in window shows: the frame at its place and in its
// colours, with the handle's picture.
void TForm1::placeHandle()
{
    ProgramDir = withTrailingSeparator(m_programFolder);
    QDir::setCurrent(ProgramDir);

    const StoredSettings stored = m_sharedSettings.load();
    m_settings = stored;
    // Before the start pages load: their notices follow it.
    LanguageIndex = LanguageTables::languageIndexFor(m_settings.Language);
    setOpacityAlpha(stored.Transparent);
    m_place.placeRolledIn(stored.Pos);
    keepReachable();
    ApplyWindowShape();
    setHandlePictures(LanguageIndex);
    showFrameColors();
}

void TForm1::FormCreate()
{
    // The window is seldom the active one; its hints show all the same.
    HintDisplay::setProgramStyle();
    setAttribute(Qt::WA_AlwaysShowToolTips);

    loadStartPage();
    RichEditFontBitOk();
    loadStartPassPage();

    applyColumnWidthRule(m_settings);
    StringGrid1->setColumnWidths({m_settings.ColWidth1, m_settings.ColWidth2, m_settings.ColWidth3});
    PasswordsHidden = true;
    StringGrid1->setMasked(PasswordsHidden);
    ControlAccessibility::setChecked(FarbButton16, !PasswordsHidden);
    m_environment.watchScreens(this, [this] {
        runGuardedWhenIdle([this] { keepReachable(); });
    });
    FarbButton17->hide();
    startAlarmTimer();
    followFolder();

    DateTimeText::setShortDateFormat(QStringLiteral("dd.MM.yyyy"));
    DateTimeText::setLongTimeFormat(QStringLiteral("HH:mm:ss"));

    DisplayOk();
    SpracheOk();
    HintOk();
    FarbeOk();
    // The clipboard is left alone: what the user copied elsewhere stays.
    KeepOnTop();
}

QString TForm1::dataPath(const QString &fileName) const
{
    return m_dataFolder + fileName;
}

void TForm1::setOpacityAlpha(int alpha)
{
    m_opacityAlpha = alpha & 0xFF;
    setWindowOpacity(m_opacityAlpha / 255.0);
}

void TForm1::SaveSettings()
{
    m_sharedSettings.save(m_settings, y(), m_opacityAlpha);
}

// The stay-on-top flag is set once at construction: changing window flags
// would hide the window. Raising does not take the focus. A message box of
// ours stays above the window, as a window's own dialogs do.
void TForm1::KeepOnTop()
{
    raise();
    if (m_search)
        m_search->raiseOpen();
    if (QWidget *dialog = QApplication::activeModalWidget(); dialog && dialog != this)
        dialog->raise();
}

void TForm1::ApplyWindowShape()
{
    const QRegion shape = WindowFrame::windowShape(m_settings.DisplayAlarm == 1);
    m_outline = WindowFrame::borderOf(shape);
    setMask(shape);
    update();
    // A button paints all its pixels, so the window's update leaves it out,
    // and under the mask it was never painted.
    for (TFarbButton *button : findChildren<TFarbButton *>())
        button->update();
}

// The stored top edge is corrected when the settings are next written.
void TForm1::keepReachable()
{
    if (m_place.keepReachable())
        UpdateHandleHints();
}

bool TForm1::isRolledIn() const
{
    return m_place.isRolledIn();
}

void TForm1::UpdateHandleHints()
{
    const QString hint = WindowFrame::handleHint(LanguageIndex, isRolledIn(), m_settings.Adjust);
    HintDisplay::setHint(Image1, hint);
    HintDisplay::setHint(Image3, hint);
}

void TForm1::RollOut()
{
    roll(WindowFrame::rollOutOffsets(m_settings.RollEffect));
}

// Nothing of the vault stays open behind the handle.
void TForm1::RollIn()
{
    lockVault();
    roll(WindowFrame::rollInOffsets(m_settings.RollEffect));
}

void TForm1::comeOut()
{
    runGuardedWhenIdle([this] { bringOut(); });
}

// Active before the roll, with the view's control in focus: what is typed
// meanwhile waits for the roll to end and then reaches the page.
void TForm1::bringOut()
{
    showView(m_settings.DisplayNP == 0, passwordsLocked());
    KeepOnTop();
    activateWindow();
    if (isRolledIn())
        RollOut();
    else
        m_place.bringIntoView();
    UpdateHandleHints();
}

// Out and active, the key rolls the window in; otherwise it brings it out.
void TForm1::answerGlobalKey(bool hadKeyboard)
{
    if (hadKeyboard && !isRolledIn()) {
        RollIn();
        UpdateHandleHints();
    } else {
        bringOut();
    }
}

// What comes in during the pauses waits for the window to stand still.
void TForm1::roll(const QList<int> &offsets)
{
    m_start.setRolling(true);
    const auto stood = qScopeGuard([this] { m_start.setRolling(false); });
    m_place.roll(offsets, WindowFrame::RollDelay(m_settings.RollEffect));
    StartupTrace::mark("rolled");
    QMetaObject::invokeMethod(this, [this] { m_start.runDeferred(); }, Qt::QueuedConnection);
}

void TForm1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Should the first frame never be drawn, the start goes on all the same.
    if (m_start.isWaiting())
        QTimer::singleShot(kUndrawnStartMilliseconds, this, &TForm1::finishStartUpGuarded);
    // The native window exists from the first show on.
    if (!m_watchingScreen) {
        connectGuarded(windowHandle(), &QWindow::screenChanged, &TForm1::refreshPictures);
        m_watchingScreen = true;
    }
    FormShow();
}

// The Tool window type already keeps the program off the task bar.
void TForm1::FormShow()
{
    KeepOnTop();
}

void TForm1::paintEvent(QPaintEvent *)
{
    FormPaint();
    // Once this frame is on the screen.
    if (m_start.isWaiting())
        QMetaObject::invokeMethod(this, &TForm1::finishStartUpGuarded, Qt::QueuedConnection);
}

void TForm1::FormPaint()
{
    KeepOnTop();
    QPainter painter(this);
    for (const QRect &rect : m_outline)
        painter.fillRect(rect, Qt::black);
}

// Whatever fails while closing refuses the close: the window stays, and
// with it the page that could not be saved.
void TForm1::closeEvent(QCloseEvent *event)
{
    // Ended without the user: the page is saved already.
    if (m_ended) {
        event->accept();
        return;
    }
    event->ignore();
    if (m_start.isStarting()) {
        m_start.runWhenIdle([this] { close(); });
        return;
    }
    runGuarded([&] {
        bool canClose = false;
        FormCloseQuery(canClose);
        if (canClose) {
            emit closed();
            event->accept();
        }
    });
}

void TForm1::FormCloseQuery(bool &canClose)
{
    SpeichernOk();
    m_passClipboard->clearPassword();
    canClose = true;
}

void TForm1::Image1MouseDown(Qt::MouseButton, Qt::MouseButtons buttons, QPoint position)
{
    if (m_settings.Adjust == 1)
        m_dragAnchorY = position.y();
    if (buttons & Qt::RightButton)
        rollByHandle();
    KeepOnTop();
}

// The page shown is saved first: a roll may be the last thing the user
// does before the machine goes down.
void TForm1::rollByHandle()
{
    SpeichernOk();
    if (isRolledIn())
        RollOut();
    else
        RollIn();
    UpdateHandleHints();
}

void TForm1::Image1MouseMove(Qt::MouseButtons buttons, QPoint position)
{
    if ((buttons & Qt::LeftButton) && m_settings.Adjust == 1)
        move(x(), y() + position.y() - m_dragAnchorY);
}

// Every release stores the top edge, moved or not, unless its press
// failed; the top edge then waits for the next release or the close.
void TForm1::Image1MouseUp(Qt::MouseButton, QPoint)
{
    settingsFile().writeInteger(SettingsKeys::Window, u"Pos", y());
    KeepOnTop();
}

// The close button saves the page and every setting before the window
// goes; if either fails the user is told and the program stays open.
void TForm1::FarbButton9Click()
{
    SpeichernOk();
    SaveSettings();
    close();
}
