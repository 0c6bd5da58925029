#include "app/FontFallbacks.h"
#include "app/PlatformChoice.h"
#include "app/SingleCopy.h"
#include "app/SystemEnvironment.h"
#include "app/TForm1.h"
#include "options/LanguageTables.h"
#include "platform/DataFolder.h"
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

#include <cstdio>

namespace {

// Windows' own words are read from the application object: its argv is
// in the ANSI code page.
QStringList commandLine(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

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

constexpr QStringView kDataOption = u"--data";

// The alarm sound an installed program brings for the data folders it makes.
QString installedSound(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("../share/kladdo/note.wav"));
}

// The data folder by the rule, or the one --data names, made already; nothing
// when --data names none or one that cannot be made, which is told on
// standard error: whoever wrote the command line reads it there.
std::optional<QString> dataFolderFor(const QString &programFolder, const QStringList &arguments)
{
    const qsizetype option = arguments.indexOf(kDataOption);
    if (option > 0 && (option + 1 >= arguments.size() || arguments[option + 1].isEmpty())) {
        std::fputs("kladdo: --data needs the data folder after it\n", stderr);
        return std::nullopt;
    }
    const std::optional<QString> given = option > 0 ? std::optional(arguments[option + 1]) : std::nullopt;
    const QString folder = DataFolder::choose(DataFolder::factsFor(programFolder, given));
    if (given) {
        if (const std::optional<QString> failure = DataFolder::prepare(folder, installedSound(programFolder))) {
            std::fprintf(stderr, "kladdo: --data %s: %s\n", qPrintable(QDir::toNativeSeparators(folder)),
                         qPrintable(*failure));
            return std::nullopt;
        }
    }
    return folder;
}

// Made on the first start where missing, with the alarm sound an
// installed program brings; a failure is told and ends the start.
bool prepareDataFolder(Environment &environment, const QString &programFolder, const QString &dataFolder)
{
    const std::optional<QString> failure = DataFolder::prepare(dataFolder, installedSound(programFolder));
    if (!failure)
        return true;
    const QString message = LanguageTables::dataFolderFailedText(QDir::toNativeSeparators(dataFolder), *failure,
                                                                 LanguageTables::German);
    std::fprintf(stderr, "kladdo: %s\n", qPrintable(message));
    environment.showError(nullptr, message);
    return false;
}

// Told before any window exists, in the language the settings name; a
// settings file that cannot be read gives the default, German.
QString unansweredCopyText(const QString &dataFolder)
{
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

// The only argument of its own is --data DIR; Qt's are Qt's.
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
    std::optional<QString> dataFolder;
    std::unique_ptr<SingleCopy> copy;
    SingleCopy::Claim claim = SingleCopy::Claim::Unguarded;
    if (!programFolder.isEmpty()) {
        dataFolder = dataFolderFor(programFolder, commandLine(argc, argv));
        if (!dataFolder)
            return 2;
        copy = std::make_unique<SingleCopy>(*dataFolder);
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
        dataFolder = dataFolderFor(programFolder, QCoreApplication::arguments());
        if (!dataFolder)
            return 2;
        copy = std::make_unique<SingleCopy>(*dataFolder);
        claim = copy->claim();
        if (claim == SingleCopy::Claim::HandedOver)
            return 0;
    }
    SystemEnvironment environment;
    if (claim == SingleCopy::Claim::Unanswered) {
        environment.showError(nullptr, unansweredCopyText(*dataFolder));
        return 1;
    }
    if (!prepareDataFolder(environment, programFolder, *dataFolder))
        return 1;

    // The rolled-in window shows only its handle: the rest, and the
    // listening for later starts, which wait for the lock meanwhile,
    // follow its first frame.
    TForm1 form(environment, {programFolder, *dataFolder}, TForm1::StartUp::HandleFirst);
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
