#include "platform/EndRequests.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// [0] written by the handler, [1] read in the event loop.
int g_sockets[2] = {-1, -1};
struct sigaction g_previous[std::size(kSignals)];

extern "C" void onEndSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    // A full socket already holds a request; this one adds nothing.
    [[maybe_unused]] const ssize_t written = ::write(g_sockets[0], &number, 1);
    errno = savedErrno;
}

} // namespace

EndRequests::EndRequests(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_sockets) != 0) {
        qWarning("Ending by a signal will not save the page: no socket pair (%s)", strerror(errno));
        return;
    }
    ::fcntl(g_sockets[0], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_sockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &EndRequests::readSignals);

    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted calls go on, so that a save under way is not cut short.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
}

EndRequests::~EndRequests()
{
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    ::close(g_sockets[0]);
    ::close(g_sockets[1]);
    g_sockets[0] = g_sockets[1] = -1;
}

void EndRequests::readSignals()
{
    unsigned char number = 0;
    if (::read(g_sockets[1], &number, 1) == 1)
        emit endRequested(number);
}

#else

EndRequests::EndRequests(QObject *parent)
    : QObject(parent)
{
}

EndRequests::~EndRequests() = default;

void EndRequests::readSignals()
{
}

#endif
