#include "app/FontFallbacks.h"
#include "app/PlatformChoice.h"
#include "app/SingleCopy.h"
#include "app/SystemEnvironment.h"
#include "app/TForm1.h"
#include "options/LanguageTables.h"
#include "platform/EndRequests.h"
#include "platform/FontWarmUp.h"
#include "platform/LastSave.h"
#include "platform/ProfileFile.h"
#include "platform/StartupTrace.h"
#include "settings/WindowSettings.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSessionManager>
#include <QWindow>

namespace {

#ifndef Q_OS_WIN
QStringList commandLine(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}
#endif

// The program file's folder where the system tells it without the
// application object, as Linux does; empty elsewhere. Not on Windows,
// where Wine shows a /proc of its own through drive Z:.
QString programFolderBeforeStart()
{
#ifdef Q_OS_LINUX
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    return self.exists() ? QFileInfo(self.canonicalFilePath()).absolutePath() : QString();
#else
    return {};
#endif
}

std::unique_ptr<SingleCopy> singleCopyIn(const QString &programFolder)
{
    return std::make_unique<SingleCopy>(QDir(programFolder).filePath(QStringLiteral("DATA")));
}

// Told before any window exists, in the language the settings name; a
// settings file that cannot be read gives the default, German.
QString unansweredCopyText(const QString &programFolder)
{
    const QString dataFolder = QDir(programFolder).filePath(QStringLiteral("DATA"));
    const StoredSettings settings =
        readSettings(ProfileFile(QDir(dataFolder).filePath(QStringLiteral("note.ini"))).load());
    return LanguageTables::unansweredCopyText(QDir::toNativeSeparators(dataFolder),
                                              LanguageTables::languageIndexFor(settings.Language));
}

// For the start-up trace: a mark once each frame has gone to the screen,
// queued so that it comes after the drawing.
class FrameMarks : public QObject
{
public:
    static void watch(QWidget &window)
    {
        if (!StartupTrace::isOn())
            return;
        auto *marks = new FrameMarks;
        marks->setParent(&window);
        window.installEventFilter(marks);
        window.windowHandle()->installEventFilter(marks);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Expose || event->type() == QEvent::UpdateRequest)
            QMetaObject::invokeMethod(this, [] { StartupTrace::mark("frame"); }, Qt::QueuedConnection);
        return false;
    }
};

} // namespace

// No arguments are taken: everything lives in DATA/ beside the program.
int main(int argc, char *argv[])
{
    StartupTrace::mark("main");
    // Only Linux may run on Wayland, and only it lacks the Windows fonts.
#ifndef Q_OS_WIN
    if (PlatformChoice::prefersX11(QProcessEnvironment::systemEnvironment(), commandLine(argc, argv)))
        qputenv("QT_QPA_PLATFORM", "xcb");
#endif

    // Claimed before the application object where possible: making that
    // object is most of what a second start would cost.
    QString programFolder = programFolderBeforeStart();
    std::unique_ptr<SingleCopy> copy;
    SingleCopy::Claim claim = SingleCopy::Claim::Unguarded;
    if (!programFolder.isEmpty()) {
        copy = singleCopyIn(programFolder);
        claim = copy->claim();
        if (claim == SingleCopy::Claim::HandedOver)
            return 0;
    }

    // Not for a start that only hands over: it would end with the thread.
    FontWarmUp::start();
    StartupTrace::mark("folder claimed");
    QApplication app(argc, argv);
    StartupTrace::mark("application made");
    app.setApplicationName(QStringLiteral("Kladdo"));
#ifndef Q_OS_WIN
    FontFallbacks::install();
#endif
    if (!copy) {
        programFolder = QCoreApplication::applicationDirPath();
        copy = singleCopyIn(programFolder);
        claim = copy->claim();
        if (claim == SingleCopy::Claim::HandedOver)
            return 0;
    }
    SystemEnvironment environment;
    if (claim == SingleCopy::Claim::Unanswered) {
        environment.showError(nullptr, unansweredCopyText(programFolder));
        return 1;
    }

    // The rolled-in window shows only its handle: the rest, and the
    // listening for later starts, which wait for the lock meanwhile,
    // follow its first frame.
    TForm1 form(environment, programFolder, TForm1::StartUp::HandleFirst);
    QObject::connect(&form, &TForm1::started, copy.get(), &SingleCopy::listen);
    QObject::connect(copy.get(), &SingleCopy::comeOutRequested, &form, &TForm1::comeOut);
    QObject::connect(&form, &TForm1::closed, &app, &QCoreApplication::quit);
    // Every way the program ends but a kill saves the page shown.
    EndRequests endRequests;
    QObject::connect(&endRequests, &EndRequests::endRequested, &form, &TForm1::endSession);
    // Qt's X11 platform ends the program with exit() when the display goes,
    // never coming back here: the page is saved on that way out. The return
    // below has saved through the close, and the window goes after it.
    QObject::connect(&form, &TForm1::started, &form, [&form] { LastSave::arm([&form] { form.saveUnattended(); }); });
    const auto disarm = qScopeGuard([] { LastSave::disarm(); });
#if QT_CONFIG(sessionmanager)
    // The desktop's log-out may still be cancelled: the program goes on.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form] { form.saveUnattended(); });
#endif
    form.show();
    StartupTrace::mark("shown");
    FrameMarks::watch(form);
    return app.exec();
}
