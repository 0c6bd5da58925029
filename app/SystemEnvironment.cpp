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

void SystemEnvironment::showError(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), message,
                    QMessageBox::Ok, parent);
    // The parent stays on top of all windows; a box without the same hint
    // could open beneath it, where the user would never find it.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
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
