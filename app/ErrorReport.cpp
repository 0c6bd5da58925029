#include "app/ErrorReport.h"

#include "platform/KladdoError.h"

#include <QApplication>
#include <QMessageBox>

namespace ErrorReport {
namespace {

Sink &currentSink()
{
    static Sink sink;
    return sink;
}

} // namespace

void show(const QString &message)
{
    if (currentSink()) {
        currentSink()(message);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), message);
}

void setSink(Sink sink)
{
    currentSink() = std::move(sink);
}

void guard(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const KladdoError &error) {
        show(error.message());
    }
}

} // namespace ErrorReport
