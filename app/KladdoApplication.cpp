#include "app/KladdoApplication.h"

#include "app/ErrorReport.h"
#include "platform/KladdoError.h"

KladdoApplication::KladdoApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Kladdo"));
}

bool KladdoApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const KladdoError &error) {
        ErrorReport::show(error.message());
        return false;
    }
}
