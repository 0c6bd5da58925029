#pragma once

#include "app/TForm1.h"
#include "notes/NotePage.h"
#include "platform/ProfileFile.h"

#include <QTextDocument>

#include <memory>

// The main window on a test's program folder, and the files of its DATA/
// written and read back as the window does.
inline std::unique_ptr<TForm1> shownForm(Environment &environment, const QString &programFolder)
{
    auto form = std::make_unique<TForm1>(environment, programFolder);
    form->show();
    return form;
}

inline void writeNotePage(const QString &path, const QString &text)
{
    QTextDocument document(text);
    NotePage::save(path, &document);
}

// The stored value, or "-" for a key note.ini does not hold.
inline QString storedSetting(const QString &iniPath, QStringView section, QStringView key)
{
    return ProfileFile(iniPath).readString(section, key, "-");
}
