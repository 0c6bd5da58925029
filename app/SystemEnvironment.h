#pragma once

#include "app/Environment.h"

#include <memory>

class SoundPlayer;

// The environment of the running program: the system clock, the primary
// screen, the system clipboard, real message boxes and the sound device.
class SystemEnvironment final : public Environment
{
public:
    SystemEnvironment();
    ~SystemEnvironment() override;

    QDateTime now() const override;
    QRect primaryScreenGeometry() const override;
    QList<QRect> screenGeometries() const override;
    void watchScreens(QObject *context, std::function<void()> changed) override;
    void setClipboardMimeData(QMimeData *data) override;
    const QMimeData *clipboardMimeData() const override;
    void clearClipboard() override;
    void showError(QWidget *parent, const QString &message) override;
    bool confirm(QWidget *parent, const QString &question) override;
    std::optional<QColor> pickColor(QWidget *parent, const QColor &initial) override;
    void pause(int milliseconds) override;
    RecoveryDelays recoveryDelays() const override { return {}; }
    SecretDelays secretDelays() const override { return {}; }
    void playSound(const QString &wavePath) override;
    GlobalKey &globalKey() override;

private:
    // Loaded at the first alarm, and kept.
    std::unique_ptr<SoundPlayer> m_player;
    std::unique_ptr<GlobalKey> m_globalKey;
};
