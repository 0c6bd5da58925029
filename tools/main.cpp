#include "tools/Commands.h"

#include <QGuiApplication>

#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace {

struct Command
{
    const char *name;
    int (*run)(const QStringList &, CommandIo);
};

constexpr Command kCommands[] = {
    {"settings", settingsCommand},
    {"check", checkCommand},
    {"passwords", passwordsCommand},
    {"notes", notesCommand},
    {"backups", backupsCommand},
    {"conflicts", conflictsCommand},
    {"vault", vaultCommand},
};

constexpr const char *kHelp =
    "Usage: kladdo-data COMMAND ...\n"
    "Reads and writes Kladdo's data folder without the program.\n"
    "\n"
    "  settings get DATA_DIR SECTION KEY [--int DEFAULT]\n"
    "      print a value of note.ini as stored (the program may clamp it)\n"
    "  settings set DATA_DIR SECTION KEY VALUE\n"
    "      write one value of note.ini\n"
    "  passwords export DATA_DIR PAGE\n"
    "      print password page PAGE (0-9) as CSV: text,name,password in clear\n"
    "  passwords import DATA_DIR PAGE FILE\n"
    "      replace password page PAGE by the CSV FILE (header, up to 14 rows;\n"
    "      the program shows the first 13, a 14th is only kept)\n"
    "  notes export DATA_DIR PAGE --format text|html|rtf\n"
    "      print note page PAGE (0-9) as plain text, HTML or rich text\n"
    "  notes import DATA_DIR PAGE FILE\n"
    "      make a .txt, .html or .rtf file note page PAGE (0-9)\n"
    "  backups list DATA_DIR\n"
    "      list the kept earlier versions of the pages: file, generation (1 the\n"
    "      newest of 3), time saved, size; and the recovery files of unsaved\n"
    "      changes, as \"unsaved\" or, kept aside, \"unsaved-TIME\"; this\n"
    "      computer's, each computer sharing DATA_DIR keeps its own\n"
    "  backups restore DATA_DIR note|pass PAGE [GENERATION]\n"
    "      make a kept version of this computer's (generation 1 unless given) the\n"
    "      page again; the page it replaces becomes generation 1; not while Kladdo\n"
    "      runs on DATA_DIR\n"
    "  backups extract RECOVERY_FILE OUT_FILE\n"
    "      write the page that a recovery file of unsaved changes holds to\n"
    "      OUT_FILE, to open elsewhere or import as a page\n"
    "  conflicts DATA_DIR\n"
    "      list the conflict copies sync tools left in DATA_DIR: file, the file\n"
    "      of Kladdo's it is a copy of, the tool that made it\n"
    "  conflicts show DATA_DIR FILE\n"
    "      print conflict copy FILE, to merge by hand: a note as text, a\n"
    "      password page as CSV (in clear), note.ini as it is\n"
    "  conflicts extract DATA_DIR FILE OUT_FILE\n"
    "      write conflict copy FILE to OUT_FILE: a note as rich text or text by\n"
    "      the ending .rtf or .txt, a password page as CSV, note.ini as it is\n"
    "  vault create DATA_DIR [--password-stdin] [--drop-old-backups]\n"
    "               [--memory MIB --iterations N]\n"
    "      move the password pages into the vault DATA_DIR/passwords.kdbx under a\n"
    "      master password (typed twice, or the first line of standard input),\n"
    "      then wipe the pass files; --drop-old-backups wipes their backups and\n"
    "      recovery files too; the key derivation takes about a second here\n"
    "      unless Argon2id's memory and iterations are given\n"
    "  vault check DATA_DIR | export DATA_DIR PAGE | import DATA_DIR PAGE FILE\n"
    "      open the vault: count each page's rows; print or replace a page as\n"
    "      CSV like passwords export and import\n"
    "  vault passwd DATA_DIR [--memory MIB --iterations N]\n"
    "      change the master password (standard input: old, then new line)\n"
    "  vault remove DATA_DIR --yes\n"
    "      store the pages in the pass files again, readable by anyone with them\n"
    "  vault drop-old-backups DATA_DIR\n"
    "      wipe the backups and recovery files of the pass files\n"
    "  check DATA_DIR\n"
    "      say for note.ini and each page file of DATA_DIR whether it is ok or\n"
    "      damaged, what Kladdo will do with each recovery file, and which\n"
    "      conflict copies there are (no damage: they are the user's to merge)\n"
    "\n"
    "Exit status: 0 done, 1 failed or damage found, 2 wrong call.\n";

// Qt's HTML reader asks the font database (<pre> and <code> want the
// fixed-pitch font), and the font database needs a GUI application: the
// notes command gets one, on the offscreen platform where the system's own
// would need a display (Windows' needs none, and is the one the package
// ships). The other commands keep the core application, which starts faster.
std::unique_ptr<QCoreApplication> application(int &argc, char **argv)
{
    if (argc < 2 || qstrcmp(argv[1], "notes") != 0)
        return std::make_unique<QCoreApplication>(argc, argv);
#ifndef Q_OS_WIN
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    // What the platform notes while it starts (that XDG_RUNTIME_DIR is not
    // set, where nothing is run) is nothing a command's user can act on.
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    qInstallMessageHandler(previous);
    return app;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> app = application(argc, argv);
#ifdef Q_OS_WIN
    // Lines end as the commands write them: CSV rows in CR LF, the rest in
    // LF, where text mode would add a CR to each.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app->arguments().mid(1);

    if (args.isEmpty()) {
        err << "usage: kladdo-data COMMAND ... (kladdo-data --help lists the commands)\n";
        return ExitUsage;
    }
    const QString name = args.takeFirst();
    if (name == u"--help" || name == u"-h" || name == u"help") {
        out << kHelp;
        return ExitOk;
    }
    for (const Command &command : kCommands) {
        if (name == QLatin1StringView(command.name))
            return command.run(args, CommandIo{out, err});
    }
    err << "kladdo-data: unknown command '" << name << "' (kladdo-data --help lists the commands)\n";
    return ExitUsage;
}
