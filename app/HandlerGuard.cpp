#include "app/HandlerGuard.h"

#include "platform/KladdoError.h"

#include <QScopeGuard>

void HandlerGuard::run(const std::function<void()> &handler)
{
    ++m_depth;
    const auto leave = qScopeGuard([this] {
        if (--m_depth == 0 && m_waiting)
            m_later([this, work = std::exchange(m_waiting, nullptr)] { runOutside(work); });
    });
    try {
        handler();
    } catch (const KladdoError &error) {
        m_report(error.message());
    } catch (const std::exception &error) {
        m_report(QString::fromUtf8(error.what()));
    }
}

void HandlerGuard::runOutside(const std::function<void()> &work)
{
    if (m_depth > 0)
        m_waiting = work;
    else
        work();
}

bool HandlerGuard::collect(QStringList &failures, const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const KladdoError &error) {
        failures.append(error.message());
    } catch (const std::exception &error) {
        failures.append(QString::fromUtf8(error.what()));
    }
    return false;
}
