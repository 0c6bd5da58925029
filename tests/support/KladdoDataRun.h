#pragma once

#include <QProcess>
#include <QStringList>

// Runs the built kladdo-data and keeps what it said.
struct KladdoDataRun
{
    int exitCode = -1;
    QByteArray out;
    QString err;

    // Exit 2, a usage line or an error on stderr, nothing on stdout.
    bool isWrongCall() const
    {
        return exitCode == 2 && out.isEmpty()
               && (err.contains(QLatin1String("usage")) || err.contains(QLatin1String("kladdo-data:")));
    }

    static KladdoDataRun run(const QStringList &args,
                             const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
    {
        return run(args, QByteArray(), environment);
    }

    // With input on its standard input, which then ends.
    static KladdoDataRun run(const QStringList &args, const QByteArray &input,
                             const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(KLADDO_BIN_DIR "/kladdo-data"), args);
        process.write(input);
        process.closeWriteChannel();
        KladdoDataRun result;
        if (!process.waitForFinished(60000))
            return result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput();
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }
};
