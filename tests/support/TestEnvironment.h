#pragma once

#include "app/Environment.h"
#include "platform/GlobalKey.h"

#include <QList>
#include <QMimeData>
#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <memory>
#include <utility>

// A key that is the program's unless a test says another program holds it.
class TestGlobalKey final : public GlobalKey
{
public:
    QList<QKeyCombination> heldElsewhere;
    // What the program holds now; none is 0.
    QKeyCombination held = QKeyCombination::fromCombined(0);

    // The key goes down, as the system would tell.
    void press(bool hadKeyboard) { emit pressed(hadKeyboard); }

protected:
    void release() override { held = QKeyCombination::fromCombined(0); }
    State grab(QKeyCombination key, quintptr) override
    {
        if (heldElsewhere.contains(key))
            return State::Taken;
        held = key;
        return State::On;
    }
};

// The outside world as a test sets it: a clock and screen that stand still,
// a clipboard in memory, and a record of every message, pause and sound.
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
    // Screens besides the primary one.
    QList<QRect> otherScreens;
    QList<ShownError> errors;
    QList<int> pauses;
    QList<QString> questions;
    bool answer = false; // to every question
    // What the colour picker gives: nothing is a cancel.
    std::optional<QColor> pickedColor;
    QList<QColor> colorPickerStarts;
    QStringList soundsPlayed;
    // Runs at every pause, while the window stands at that step.
    std::function<void()> whilePaused;
    // As the program waits; a test may shorten them.
    RecoveryDelays delays;
    SecretDelays secrets{std::chrono::milliseconds(300), std::chrono::milliseconds(200)};
    // Runs while a message is shown, as if the box were still open.
    std::function<void()> whileShowingError;
    // Runs while a question is asked, before it is answered.
    std::function<void()> whileAsking;

    void setScreenWidth(int width) { screen.setWidth(width); }
    // Tells the window that the screens changed, as the system would.
    void screensChanged() const
    {
        if (m_screensChanged)
            m_screensChanged();
    }

    // The next call of any service but showError throws failure.
    void failNextCall(std::exception_ptr failure) { m_failure = std::move(failure); }

    QDateTime now() const override
    {
        throwIfFailing();
        return currentTime;
    }

    QRect primaryScreenGeometry() const override
    {
        throwIfFailing();
        return screen;
    }

    QList<QRect> screenGeometries() const override { return QList<QRect>{screen} + otherScreens; }

    void watchScreens(QObject *, std::function<void()> changed) override
    {
        m_screensChanged = std::move(changed);
    }

    void setClipboardMimeData(QMimeData *data) override
    {
        throwIfFailing();
        m_clipboard.reset(data);
    }

    const QMimeData *clipboardMimeData() const override
    {
        throwIfFailing();
        return m_clipboard.get();
    }

    void clearClipboard() override
    {
        throwIfFailing();
        m_clipboard.reset();
    }

    void showError(QWidget *parent, const QString &message) override
    {
        errors.append({parent, message});
        if (whileShowingError)
            whileShowingError();
    }

    bool confirm(QWidget *, const QString &question) override
    {
        questions.append(question);
        if (whileAsking)
            whileAsking();
        return answer;
    }

    std::optional<QColor> pickColor(QWidget *, const QColor &initial) override
    {
        colorPickerStarts.append(initial);
        return pickedColor;
    }

    void pause(int milliseconds) override
    {
        throwIfFailing();
        pauses.append(milliseconds);
        if (whilePaused)
            whilePaused();
    }

    RecoveryDelays recoveryDelays() const override { return delays; }
    SecretDelays secretDelays() const override { return secrets; }

    void playSound(const QString &wavePath) override { soundsPlayed.append(wavePath); }
    GlobalKey &globalKey() override { return *key; }

    std::unique_ptr<TestGlobalKey> key = std::make_unique<TestGlobalKey>();

private:
    void throwIfFailing() const
    {
        if (m_failure)
            std::rethrow_exception(std::exchange(m_failure, nullptr));
    }

    mutable std::exception_ptr m_failure;
    std::function<void()> m_screensChanged;
    std::unique_ptr<QMimeData> m_clipboard;
};
