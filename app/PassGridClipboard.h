#pragma once

#include <QString>

#include <functional>

class QObject;

class Environment;
class PassGrid;

// The password grid's cells through the clipboard. A password of ours
// still on the clipboard does not outlive the program.
class PassGridClipboard
{
public:
    PassGridClipboard(PassGrid &grid, Environment &environment) : m_grid(grid), m_environment(environment) {}

    void copy();
    void paste();
    // The grid's own copy and paste keys run copy and paste through
    // whenIdle, for as long as context lives.
    void followKeys(QObject &context, const std::function<void(std::function<void()>)> &whenIdle);
    // Clears the clipboard when it still holds the password copied last.
    void clearPassword();

private:
    PassGrid &m_grid;
    Environment &m_environment;
    // The password last put on the clipboard.
    QString m_password;
};
