#pragma once

#include "app/Environment.h"

#include <memory>

class QSoundEffect;

// The environment of the running program: the system clock, the primary
// screen, the system clipboard, real message boxes and the sound device.
class SystemEnvironment final : public Environment
{
public:
    SystemEnvironment();
    ~SystemEnvironment() override;

    QDateTime now() const override;
    QRect primaryScreenGeometry() const override;
    void setClipboardMimeData(QMimeData *data) override;
    const QMimeData *clipboardMimeData() const override;
    void clearClipboard() override;
    void showError(QWidget *parent, const QString &message) override;
    bool confirm(QWidget *parent, const QString &question) override;
    void pause(int milliseconds) override;
    void playSound(const QString &wavePath) override;

private:
    void beepIfFailed();

    // Made at the first alarm, and kept: loading the sound system costs
    // start-up time that most runs never need.
    std::unique_ptr<QSoundEffect> m_sound;
    // A play was asked for and has neither started nor failed yet.
    bool m_playWanted = false;
};
