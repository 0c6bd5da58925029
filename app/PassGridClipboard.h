#pragma once

#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

class QObject;

class Environment;
class PassGrid;

// The password grid's cells through the clipboard. A password of ours
// still on the clipboard does not outlive the program.
class PassGridClipboard
{
public:
    PassGridClipboard(PassGrid &grid, Environment &environment);

    void copy();
    void paste();
    // The grid's own copy and paste keys run copy and paste through
    // whenIdle, for as long as context lives.
    void followKeys(QObject &context, const std::function<void(std::function<void()>)> &whenIdle);
    // Clears the clipboard when it still holds the password copied last.
    void clearPassword();
    // From now on a password copied is cleared after delay; never with none.
    void clearAfter(std::optional<std::chrono::milliseconds> delay);

private:
    PassGrid &m_grid;
    Environment &m_environment;
    // The password last put on the clipboard.
    QString m_password;
    std::optional<std::chrono::milliseconds> m_clearDelay;
    QTimer m_clearTimer;
};
