#pragma once

#include <QApplication>

// The one place where the program's errors are caught: an event handler
// that throws stops there, and the user sees the message.
class KladdoApplication : public QApplication
{
public:
    KladdoApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};
