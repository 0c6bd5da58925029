#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

// A short request from one process of the user's to another, over a
// channel with a name: a socket file on Unix, a pipe on Windows. Kept off
// Qt Network, whose libraries would cost every start a few milliseconds
// and more than a megabyte.
namespace LocalChannel {

// How long a listener waits for a request once its sender has connected.
constexpr std::chrono::milliseconds kSilenceLimit{1000};

// Sends request to whoever listens on name, waiting at most
// timeoutMilliseconds for the connection and the write; false when nobody
// listens there or the request could not be written whole.
bool send(const QString &name, const QByteArray &request, int timeoutMilliseconds);

} // namespace LocalChannel

// Listens on a name for requests of one known length. Whatever a sender
// writes beyond it is dropped unread; a sender that closes early gives
// what it wrote, and one that has not written it all within
// LocalChannel::kSilenceLimit is dropped.
class LocalListener : public QObject
{
    Q_OBJECT

public:
    explicit LocalListener(qsizetype requestLength, QObject *parent = nullptr);
    ~LocalListener() override;

    // Takes over a name left by a process that died; only the user may
    // connect. False when the name cannot be listened on.
    bool listen(const QString &name);

signals:
    void received(const QByteArray &request);

private:
    struct Channel;
    const qsizetype m_requestLength;
    std::unique_ptr<Channel> m_channel;
};
