#pragma once

#include "app/Environment.h"

// The environment of the running program: the system clock, the primary
// screen, the system clipboard and real message boxes.
class SystemEnvironment final : public Environment
{
public:
    QDateTime now() const override;
    QRect primaryScreenGeometry() const override;
    void setClipboardMimeData(QMimeData *data) override;
    const QMimeData *clipboardMimeData() const override;
    void clearClipboard() override;
    void showError(QWidget *parent, const QString &message) override;
    bool confirm(QWidget *parent, const QString &question) override;
    void pause(int milliseconds) override;
};
