#include "platform/LocalChannel.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <list>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Closes its descriptor when it goes.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }

private:
    int m_fd;
};

// False when the path does not fit a socket address.
bool addressFor(const QString &name, sockaddr_un &address)
{
    const QByteArray path = QFile::encodeName(name);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return true;
}

int nonBlockingSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

bool waitFor(int fd, short events, const QDeadlineTimer &deadline)
{
    pollfd entry{fd, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, int(deadline.remainingTime()));
    } while (ready < 0 && errno == EINTR);
    return ready > 0 && (entry.revents & events) != 0;
}

bool connectTo(int fd, const sockaddr_un &address, const QDeadlineTimer &deadline)
{
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0)
        return true;
    if (errno != EINPROGRESS && errno != EAGAIN)
        return false;
    int error = 0;
    socklen_t length = sizeof error;
    return waitFor(fd, POLLOUT, deadline) && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0
           && error == 0;
}

bool writeWhole(int fd, const QByteArray &bytes, const QDeadlineTimer &deadline)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + written, size_t(bytes.size() - written), MSG_NOSIGNAL);
        if (n > 0)
            written += n;
        else if (n < 0 && errno == EINTR)
            continue;
        else if (n < 0 && errno == EAGAIN && waitFor(fd, POLLOUT, deadline))
            continue;
        else
            return false;
    }
    return true;
}

// A connection being read: a request arrives in as many pieces as the
// system likes, but within a while, or a sender that never writes would
// hold its descriptor for as long as the program runs.
struct Connection
{
    explicit Connection(int fd) : socket(fd), notifier(fd, QSocketNotifier::Read)
    {
        deadline.setSingleShot(true);
        deadline.start(LocalChannel::kSilenceLimit);
    }
    Descriptor socket;
    QSocketNotifier notifier;
    QTimer deadline;
    QByteArray request;
};

// Reads what has come; true once the connection is done with: the request
// is whole, or the sender has closed or failed.
bool readSome(Connection &connection, qsizetype length)
{
    char buffer[64];
    while (connection.request.size() < length) {
        const size_t wanted = std::min(sizeof buffer, size_t(length - connection.request.size()));
        const ssize_t n = ::recv(connection.socket.get(), buffer, wanted, 0);
        if (n > 0)
            connection.request.append(buffer, n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            return !(n < 0 && errno == EAGAIN);
    }
    return true;
}

} // namespace

namespace LocalChannel {

bool send(const QString &name, const QByteArray &request, int timeoutMilliseconds)
{
    sockaddr_un address;
    if (!addressFor(name, address))
        return false;
    const Descriptor socket(nonBlockingSocket());
    const QDeadlineTimer deadline(timeoutMilliseconds);
    return socket.isValid() && connectTo(socket.get(), address, deadline)
           && writeWhole(socket.get(), request, deadline);
}

} // namespace LocalChannel

struct LocalListener::Channel
{
    Channel(LocalListener &owner, int fd) : owner(owner), socket(fd), notifier(fd, QSocketNotifier::Read)
    {
        QObject::connect(&notifier, &QSocketNotifier::activated, &notifier, [this] { acceptAll(); });
    }
    Channel(const Channel &) = delete;
    Channel &operator=(const Channel &) = delete;
    // As a closed server should, it takes its name along.
    ~Channel()
    {
        if (!boundPath.isEmpty())
            ::unlink(boundPath.constData());
    }

    void acceptAll()
    {
        while (true) {
            const int fd = ::accept4(socket.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0 && errno == EINTR)
                continue;
            if (fd < 0)
                return;
            Connection &connection = connections.emplace_back(fd);
            const auto entry = std::prev(connections.end());
            QObject::connect(&connection.notifier, &QSocketNotifier::activated, &connection.notifier,
                             [this, entry] { serve(entry); });
            QObject::connect(&connection.deadline, &QTimer::timeout, &connection.deadline,
                             [this, entry] { drop(entry); });
            serve(entry);
        }
    }

    void serve(std::list<Connection>::iterator entry)
    {
        if (!readSome(*entry, owner.m_requestLength))
            return;
        const QByteArray request = entry->request;
        drop(entry);
        if (request.size() == owner.m_requestLength)
            emit owner.received(request);
    }

    // The notifier or timer that called goes only after its signal has
    // returned; neither calls again.
    void drop(std::list<Connection>::iterator entry)
    {
        entry->notifier.setEnabled(false);
        entry->deadline.stop();
        QMetaObject::invokeMethod(&owner, [this, entry] { connections.erase(entry); }, Qt::QueuedConnection);
    }

    LocalListener &owner;
    QByteArray boundPath;
    Descriptor socket;
    QSocketNotifier notifier;
    std::list<Connection> connections;
};

LocalListener::LocalListener(qsizetype requestLength, QObject *parent)
    : QObject(parent), m_requestLength(requestLength)
{
}

LocalListener::~LocalListener() = default;

bool LocalListener::listen(const QString &name)
{
    sockaddr_un address;
    if (m_channel || !addressFor(name, address))
        return false;
    const int fd = nonBlockingSocket();
    if (fd < 0)
        return false;
    auto channel = std::make_unique<Channel>(*this, fd);
    ::unlink(address.sun_path);
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
        return false;
    channel->boundPath = address.sun_path;
    // The user's alone, as the runtime folder it lies in. Until listen()
    // nobody can connect, whatever the mode the umask gave the name, so
    // the process-wide umask stays as it is for the threads that write
    // files meanwhile.
    if (::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(fd, SOMAXCONN) != 0)
        return false;
    m_channel = std::move(channel);
    return true;
}
