#include "app/StagedStart.h"

#include <exception>

StagedStart::StagedStart(std::function<void()> rest, std::function<void()> started,
                         std::function<void()> onFirstInput)
    : m_rest(std::move(rest)), m_started(std::move(started)), m_gate(std::move(onFirstInput))
{
}

void StagedStart::finish()
{
    if (m_state != State::HandleOnly)
        return;
    m_state = State::Starting;
    m_gate.disarm();
    std::exception_ptr failure;
    try {
        m_rest();
    } catch (...) {
        failure = std::current_exception();
    }
    m_state = State::Started;
    m_started();
    runDeferred();
    if (failure)
        std::rethrow_exception(failure);
}

void StagedStart::runWhenIdle(std::function<void()> handler)
{
    if (isBusy())
        m_deferred.append(std::move(handler));
    else
        handler();
}

void StagedStart::runDeferred()
{
    while (!m_deferred.isEmpty() && !isBusy())
        m_deferred.takeFirst()();
}
