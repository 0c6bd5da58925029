#pragma once

#include <QDir>
#include <QTemporaryDir>

// A program folder of the test's own. The main window makes its program
// folder the current one, which Windows will not remove: it is left first.
class ProgramFolder : public QTemporaryDir
{
public:
    ~ProgramFolder()
    {
        if (QDir::current() == QDir(path()))
            QDir::setCurrent(QDir::tempPath());
    }
};
