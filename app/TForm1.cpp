#include "app/TForm1.h"

#include "app/Environment.h"
#include "app/WindowFrame.h"
#include "controls/FarbButton.h"
#include "options/HintDisplay.h"
#include "platform/DateTimeText.h"
#include "platform/KladdoError.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace {

QString withTrailingSeparator(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

constexpr QPoint kPanelPosition{0, 341};
constexpr QSize kPanelSize{525, 48};
constexpr QSize kHandleSize{14, 46};
constexpr int kToolbarButtonTop = 15;
constexpr int kToolbarButtonSize = 20;

} // namespace

TForm1::TForm1(Environment &environment, const QString &programFolder, QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      m_environment(environment), m_programFolder(programFolder)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kladdo"));
    setFixedSize(FormWidth, FormHeight);
    createFrame();
    FormCreate();
}

void TForm1::createFrame()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(QRect(kPanelPosition, kPanelSize));
    Panel1->setAutoFillBackground(true);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(QRect(QPoint(1, 1), kHandleSize));
    Image3 = new QLabel(Panel1);
    Image3->setObjectName(QStringLiteral("Image3"));
    Image3->setGeometry(QRect(QPoint(510, 1), kHandleSize));
    for (QLabel *handle : {Image1, Image3}) {
        handle->setCursor(Qt::PointingHandCursor);
        handle->installEventFilter(this);
    }

    FarbButton9 = createToolbarButton("FarbButton9", 480, &TForm1::FarbButton9Click);
    createStylePictures();
}

// Its colour and glyph come from FarbeOk, its hint from SpracheOk.
TFarbButton *TForm1::createToolbarButton(const char *name, int x, void (TForm1::*onClick)())
{
    auto *button = new TFarbButton(Panel1);
    button->setObjectName(QLatin1StringView(name));
    button->setGeometry(x, kToolbarButtonTop, kToolbarButtonSize, kToolbarButtonSize);
    connectGuarded(button, &TFarbButton::clicked, onClick);
    return button;
}

void TForm1::runGuarded(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const KladdoError &error) {
        m_environment.showError(this, error.message());
    } catch (const std::exception &error) {
        m_environment.showError(this, QString::fromUtf8(error.what()));
    }
}

void TForm1::FormCreate()
{
    ProgramDir = withTrailingSeparator(m_programFolder);
    QDir::setCurrent(ProgramDir);

    const StoredSettings stored = readSettings(settingsFile().load());
    static_cast<WindowSettings &>(*this) = stored;
    move(x(), stored.Pos);
    setOpacityAlpha(stored.Transparent);

    // The window is seldom the active one; its hints show all the same.
    HintDisplay::showHintsWithoutDelay();
    setAttribute(Qt::WA_AlwaysShowToolTips);

    applyColumnWidthRule(*this);
    move(screenWidth() - WindowFrame::RolledInOffset, y());
    ApplyWindowShape();

    DateTimeText::setShortDateFormat(QStringLiteral("dd.MM.yyyy"));
    DateTimeText::setLongTimeFormat(QStringLiteral("HH:mm:ss"));

    SpracheOk();
    HintOk();
    FarbeOk();
    m_environment.clearClipboard();
    KeepOnTop();
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

// The stay-on-top flag is set once at construction: changing window flags
// would hide the window. Raising does not take the focus.
void TForm1::KeepOnTop()
{
    raise();
}

void TForm1::ApplyWindowShape()
{
    const QRegion shape = WindowFrame::windowShape(DisplayAlarm == 1);
    m_outline = WindowFrame::borderOf(shape);
    setMask(shape);
    update();
}

int TForm1::screenWidth() const
{
    return m_environment.primaryScreenGeometry().width();
}

bool TForm1::isRolledIn() const
{
    return x() == screenWidth() - WindowFrame::RolledInOffset;
}

void TForm1::UpdateHandleHints()
{
    const QString hint = WindowFrame::handleHint(LanguageIndex, isRolledIn(), Adjust);
    HintDisplay::setHint(Image1, hint);
    HintDisplay::setHint(Image3, hint);
}

void TForm1::RollOut()
{
    roll(WindowFrame::rollOutOffsets(RollEffect));
}

void TForm1::RollIn()
{
    roll(WindowFrame::rollInOffsets(RollEffect));
}

// The screen width is read afresh at every step: the display may change.
void TForm1::roll(const QList<int> &offsets)
{
    const std::optional<int> pause = WindowFrame::RollDelay(RollEffect);
    for (qsizetype step = 0; step < offsets.size(); ++step) {
        move(screenWidth() - offsets[step], y());
        if (pause && step + 1 < offsets.size())
            m_environment.pause(*pause);
    }
}

void TForm1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
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
    event->ignore();
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
    canClose = true;
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    const bool handleEvent = (watched == Image1 || watched == Image3)
                             && (event->type() == QEvent::MouseButtonPress
                                 || event->type() == QEvent::MouseMove
                                 || event->type() == QEvent::MouseButtonRelease);
    if (!handleEvent)
        return QWidget::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    // From the global position: while a drag moves the window, the window
    // system may still report positions against where it was before.
    const QPoint position =
        static_cast<QWidget *>(watched)->mapFromGlobal(mouse->globalPosition()).toPoint();
    runGuarded([&] {
        if (event->type() == QEvent::MouseButtonPress)
            Image1MouseDown(mouse->button(), mouse->buttons(), position);
        else if (event->type() == QEvent::MouseMove)
            Image1MouseMove(mouse->buttons(), position);
        else
            Image1MouseUp(mouse->button(), position);
    });
    return true;
}

void TForm1::Image1MouseDown(Qt::MouseButton, Qt::MouseButtons buttons, QPoint position)
{
    if (Adjust == 1)
        m_dragAnchorY = position.y();
    if (buttons & Qt::RightButton) {
        if (isRolledIn())
            RollOut();
        else
            RollIn();
        UpdateHandleHints();
    }
    KeepOnTop();
}

void TForm1::Image1MouseMove(Qt::MouseButtons buttons, QPoint position)
{
    if ((buttons & Qt::LeftButton) && Adjust == 1)
        move(x(), y() + position.y() - m_dragAnchorY);
}

// Every release stores the top edge, moved or not.
void TForm1::Image1MouseUp(Qt::MouseButton, QPoint)
{
    settingsFile().writeInteger(SettingsKeys::Window, u"Pos", y());
    KeepOnTop();
}

// The close button stores every setting before the window goes; if that
// fails the user is told and the program stays open.
void TForm1::FarbButton9Click()
{
    SaveSettings();
    close();
}
