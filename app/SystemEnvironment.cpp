#include "app/SystemEnvironment.h"

#include <QApplication>
#include <QAudioDevice>
#include <QClipboard>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
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

// Moves are requests to the window system; let it show each step, then
// wait, without handling the user's input meanwhile.
void SystemEnvironment::pause(int milliseconds)
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

// The sound loads and plays in the background; a failure that only shows
// there still ends in the beep.
void SystemEnvironment::playSound(const QString &wavePath)
{
    if (!QFileInfo(wavePath).isFile() || QMediaDevices::defaultAudioOutput().isNull()) {
        QApplication::beep();
        return;
    }
    if (!m_sound) {
        m_sound = std::make_unique<QSoundEffect>();
        QObject::connect(m_sound.get(), &QSoundEffect::statusChanged, [this] { beepIfFailed(); });
        QObject::connect(m_sound.get(), &QSoundEffect::playingChanged, [this] {
            if (m_sound->isPlaying())
                m_playWanted = false;
        });
    }
    // A file that failed once is read again: it may have been mended.
    const QUrl source = QUrl::fromLocalFile(wavePath);
    if (m_sound->status() == QSoundEffect::Error)
        m_sound->setSource(QUrl());
    if (m_sound->source() != source)
        m_sound->setSource(source);
    m_playWanted = true;
    m_sound->play();
    beepIfFailed();
}

void SystemEnvironment::beepIfFailed()
{
    if (m_playWanted && m_sound->status() == QSoundEffect::Error) {
        m_playWanted = false;
        QApplication::beep();
    }
}
