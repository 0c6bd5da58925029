#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

// Calls expired once no key, mouse button or wheel was used anywhere in
// the program for the time given, until stopped.
class IdleTimer : public QObject
{
public:
    explicit IdleTimer(std::function<void()> expired, QObject *parent = nullptr);

    void start(std::chrono::milliseconds idle);
    void stop();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_expired;
    QTimer m_timer;
};
