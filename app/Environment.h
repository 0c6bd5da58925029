#pragma once

#include "platform/RecoveryDelays.h"

#include <QColor>
#include <QDateTime>
#include <QList>
#include <QRect>

#include <functional>
#include <optional>

#include <chrono>

class GlobalKey;
class QMimeData;
class QObject;
class QString;
class QWidget;

// How long the secrets of an unlocked vault stay in reach.
struct SecretDelays
{
    // A password copied to the clipboard.
    std::chrono::milliseconds clipboard{10000};
    // One of the minutes of idle time before the vault locks.
    std::chrono::milliseconds minute{60000};
};

// Everything the main window needs from outside the program, in one place,
// so that tests can put a clock, screen, clipboard, message box, colour
// picker and sound of their own in place of the system's.
class Environment
{
public:
    virtual ~Environment() = default;

    // The current local date and time.
    virtual QDateTime now() const = 0;

    // Asked afresh at every call: the user may change the display while the
    // program runs.
    virtual QRect primaryScreenGeometry() const = 0;
    // Every screen's geometry, the primary screen's first.
    virtual QList<QRect> screenGeometries() const = 0;
    // Calls changed whenever a screen comes or goes or changes its size or
    // place, for as long as context lives.
    virtual void watchScreens(QObject *context, std::function<void()> changed) = 0;

    // The clipboard takes ownership of data.
    virtual void setClipboardMimeData(QMimeData *data) = 0;
    // Null when the clipboard holds nothing the platform can offer.
    virtual const QMimeData *clipboardMimeData() const = 0;
    virtual void clearClipboard() = 0;

    // Tells the user of a failure in a modal box above parent, and returns
    // once the user has read it.
    virtual void showError(QWidget *parent, const QString &message) = 0;
    // Asks the user a question in a modal box above parent; true for yes.
    virtual bool confirm(QWidget *parent, const QString &question) = 0;
    // Lets the user pick a colour in a modal box above parent, starting
    // from initial; nothing when the user cancels.
    virtual std::optional<QColor> pickColor(QWidget *parent, const QColor &initial) = 0;

    // The wait between two steps of a roll; the step must show meanwhile,
    // but the user's input must wait until the roll has ended.
    virtual void pause(int milliseconds) = 0;

    // How long changes wait before they reach their recovery file.
    virtual RecoveryDelays recoveryDelays() const = 0;
    virtual SecretDelays secretDelays() const = 0;

    // Plays the wave file once without waiting for it; the system's beep
    // when the file is missing, cannot be played or there is no audio
    // device.
    virtual void playSound(const QString &wavePath) = 0;

    // The key that reaches the program whichever program has the keyboard;
    // made once an application object exists, and kept.
    virtual GlobalKey &globalKey() = 0;
};
