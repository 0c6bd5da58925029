#include "platform/DisplayLoss.h"

#include <QCoreApplication>
#include <QThread>
#include <QtGlobal>

#include <cstring>
#include <utility>

namespace DisplayLoss {

namespace {

// Never null: Qt gives its default handler when no other was installed.
QtMessageHandler g_previous = nullptr;
std::function<void()> g_lost;

void watchMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    g_previous(type, context, message);
    const bool onMainThread = QCoreApplication::instance()
                              && QThread::currentThread() == QCoreApplication::instance()->thread();
    if (type == QtWarningMsg && g_lost && onMainThread && tellsOfLoss(qUtf8Printable(message)))
        std::exchange(g_lost, nullptr)();
}

} // namespace

bool tellsOfLoss(const char *message)
{
    static constexpr char kLoss[] = "The X11 connection broke";
    return std::strncmp(message, kLoss, sizeof kLoss - 1) == 0;
}

void onLost(std::function<void()> lost)
{
    g_lost = std::move(lost);
    if (!g_previous)
        g_previous = qInstallMessageHandler(watchMessage);
}

} // namespace DisplayLoss
