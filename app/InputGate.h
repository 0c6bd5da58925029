#pragma once

#include <QObject>

#include <functional>

// While armed, runs its callback at the first input the application gets
// (a press, a key, a turn of the wheel), before that input reaches its
// receiver, and disarms. A key finds the focus the callback has set: the
// shortcut check that comes first with every key is where it fires.
class InputGate : public QObject
{
public:
    explicit InputGate(std::function<void()> onFirstInput);

    void arm();
    void disarm();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_onFirstInput;
    bool m_armed = false;
};
