#include "app/SystemEnvironment.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QThread>

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
