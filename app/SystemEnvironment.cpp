#include "app/SystemEnvironment.h"

#include "platform/GlobalKey.h"
#include "sound/SoundPlayer.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QLibrary>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QThread>

SystemEnvironment::SystemEnvironment() = default;
SystemEnvironment::~SystemEnvironment() = default;

QDateTime SystemEnvironment::now() const
{
    return QDateTime::currentDateTime();
}

QRect SystemEnvironment::primaryScreenGeometry() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

QList<QRect> SystemEnvironment::screenGeometries() const
{
    QList<QRect> geometries;
    for (const QScreen *screen : QGuiApplication::screens())
        geometries.append(screen->geometry());
    if (const QScreen *primary = QGuiApplication::primaryScreen()) {
        if (const qsizetype index = geometries.indexOf(primary->geometry()); index > 0)
            geometries.move(index, 0);
    }
    return geometries;
}

void SystemEnvironment::watchScreens(QObject *context, std::function<void()> changed)
{
    const auto watch = [context, changed](QScreen *screen) {
        QObject::connect(screen, &QScreen::geometryChanged, context, changed);
    };
    for (QScreen *screen : QGuiApplication::screens())
        watch(screen);
    auto *application = qGuiApp;
    QObject::connect(application, &QGuiApplication::screenAdded, context, [watch, changed](QScreen *screen) {
        watch(screen);
        changed();
    });
    QObject::connect(application, &QGuiApplication::screenRemoved, context, changed);
    QObject::connect(application, &QGuiApplication::primaryScreenChanged, context, changed);
}

void SystemEnvironment::setClipboardMimeData(QMimeData *data)
{
    QGuiApplication::clipboard()->setMimeData(data);
}

const QMimeData *SystemEnvironment::clipboardMimeData() const
{
    return QGuiApplication::clipboard()->mimeData();
}

void SystemEnvironment::clearClipboard()
{
    QGuiApplication::clipboard()->clear();
}

namespace {

// The parent stays on top of all windows; a box without the same hint
// could open beneath it, where the user would never find it.
QMessageBox::StandardButton ask(QMessageBox::Icon icon, QWidget *parent, const QString &text,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, QGuiApplication::applicationDisplayName(), text, buttons, parent);
    box.setDefaultButton(defaultButton);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void SystemEnvironment::showError(QWidget *parent, const QString &message)
{
    ask(QMessageBox::Critical, parent, message, QMessageBox::Ok, QMessageBox::Ok);
}

// No is the default: a stray Enter must not say yes.
bool SystemEnvironment::confirm(QWidget *parent, const QString &question)
{
    return ask(QMessageBox::Question, parent, question, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::No)
           == QMessageBox::Yes;
}

std::optional<QColor> SystemEnvironment::pickColor(QWidget *parent, const QColor &initial)
{
    QColorDialog picker(initial, parent);
    picker.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    return picker.selectedColor();
}

// Moves are requests to the window system; let it show each step, then
// wait, without handling the user's input meanwhile.
void SystemEnvironment::pause(int milliseconds)
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

// A module that cannot be loaded is looked for again at the next alarm:
// beside the program in a folder that travels, in lib/kladdo/ installed.
void SystemEnvironment::playSound(const QString &wavePath)
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    for (const QString &path : {programFolder + QStringLiteral("/kladdo-sound"),
                                programFolder + QStringLiteral("/../lib/kladdo/kladdo-sound")}) {
        if (m_player)
            break;
        QLibrary module(path);
        if (auto *create = reinterpret_cast<CreateSoundPlayer *>(module.resolve(kCreateSoundPlayer)))
            m_player.reset(create());
    }
    if (m_player)
        m_player->play(wavePath);
    else
        QApplication::beep();
}

// Only X11 and Windows let a program take a key from the others; a
// Wayland session without XWayland does not.
GlobalKey &SystemEnvironment::globalKey()
{
    if (!m_globalKey) {
        const QString platform = QGuiApplication::platformName();
        m_globalKey = GlobalKey::forSystem(platform == u"xcb" || platform == u"windows");
    }
    return *m_globalKey;
}
