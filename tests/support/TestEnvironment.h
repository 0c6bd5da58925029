#pragma once

#include "app/Environment.h"

#include <QList>
#include <QMimeData>
#include <QString>

#include <functional>
#include <memory>

// The outside world as a test sets it: a clock and screen that stand still,
// a clipboard in memory, and a record of every message and pause.
class TestEnvironment : public Environment
{
public:
    struct ShownError
    {
        QWidget *parent = nullptr;
        QString message;
    };

    QDateTime currentTime{QDate(2026, 1, 1), QTime(12, 0)};
    QRect screen{0, 0, 1920, 1080};
    QList<ShownError> errors;
    QList<int> pauses;
    // Runs at every pause, while the window stands at that step.
    std::function<void()> whilePaused;

    void setScreenWidth(int width) { screen.setWidth(width); }

    QDateTime now() const override { return currentTime; }
    QRect primaryScreenGeometry() const override { return screen; }

    void setClipboardMimeData(QMimeData *data) override { m_clipboard.reset(data); }
    const QMimeData *clipboardMimeData() const override { return m_clipboard.get(); }
    void clearClipboard() override { m_clipboard.reset(); }

    void showError(QWidget *parent, const QString &message) override { errors.append({parent, message}); }

    void pause(int milliseconds) override
    {
        pauses.append(milliseconds);
        if (whilePaused)
            whilePaused();
    }

private:
    std::unique_ptr<QMimeData> m_clipboard;
};
