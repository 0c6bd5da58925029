#pragma once

#include <QObject>

class QSocketNotifier;

// The requests to end the program that come from outside its windows: on
// Linux the signals SIGTERM, SIGHUP and SIGINT, which a desktop sends at
// log-out and shut-down, a terminal when it closes, and kill by default.
// They arrive as endRequested in the event loop, never inside the signal
// handler, which only writes to a socket. While the object lives, a
// second signal waits in the socket like the first: it cannot cut short
// what the first one started. Windows ends a program with windows through
// its session messages instead, which Qt turns into commitDataRequest.
class EndRequests : public QObject
{
    Q_OBJECT

public:
    explicit EndRequests(QObject *parent = nullptr);
    // The signals act as they did before.
    ~EndRequests() override;

signals:
    void endRequested(int signalNumber);

private:
    void readSignals();

    QSocketNotifier *m_notifier = nullptr;
};
