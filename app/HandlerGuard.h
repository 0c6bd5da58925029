#pragma once

#include <QStringList>

#include <functional>

// The one guard around every event handler of a window: a failure ends the
// handler and is reported, and never unwinds through Qt's frames. Work that
// must not run inside a handler (a message box or dialog may be open in
// one) waits until the outermost has ended.
class HandlerGuard
{
public:
    // report tells the user of a failure; later runs queued work.
    HandlerGuard(std::function<void(const QString &)> report, std::function<void(std::function<void()>)> later)
        : m_report(std::move(report)), m_later(std::move(later))
    {
    }

    void run(const std::function<void()> &handler);
    // Runs step; a failure is kept in failures rather than ending what
    // follows. Whether it succeeded.
    static bool collect(QStringList &failures, const std::function<void()> &step);
    // Runs work now, or once no handler is running; what waits replaces
    // what waited before.
    void runOutside(const std::function<void()> &work);

private:
    std::function<void(const QString &)> m_report;
    std::function<void(std::function<void()>)> m_later;
    int m_depth = 0;
    std::function<void()> m_waiting;
};
