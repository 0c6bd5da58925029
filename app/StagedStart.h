#pragma once

#include "app/InputGate.h"

#include <QList>

#include <functional>

// A window that shows its handle first and builds the rest after: where
// the start stands, the gate that finishes it at the first input, and the
// handlers that wait while the start or a roll is under way.
class StagedStart
{
public:
    // rest builds and loads whatever the handle does not show; started
    // follows it, also when rest failed. onFirstInput runs at the first
    // input while the start waits for it, and should finish the start.
    StagedStart(std::function<void()> rest, std::function<void()> started, std::function<void()> onFirstInput);

    // The rest waits for finish, which the first input calls at the latest.
    void waitForInput() { m_gate.arm(); }

    // Runs the rest once. A failure of the rest leaves the window started
    // all the same, so that nothing waits for it for ever, and is then
    // thrown on.
    void finish();

    bool isWaiting() const { return m_state == State::HandleOnly; }
    bool hasStarted() const { return m_state == State::Started; }
    bool isStarting() const { return m_state == State::Starting; }

    // The window is rolling: what comes in waits for it to stand still.
    void setRolling(bool rolling) { m_rolling = rolling; }
    // Starting or rolling.
    bool isBusy() const { return m_rolling || m_state == State::Starting; }

    // Runs handler now, or once the window is no longer busy.
    void runWhenIdle(std::function<void()> handler);
    // Runs the handlers that waited, as long as the window is not busy.
    void runDeferred();

private:
    enum class State { HandleOnly, Starting, Started };

    std::function<void()> m_rest;
    std::function<void()> m_started;
    InputGate m_gate;
    State m_state = State::HandleOnly;
    bool m_rolling = false;
    QList<std::function<void()>> m_deferred;
};
