#pragma once

#include <QString>

#include <optional>

// Where DATA/ lives. Beside the program for a folder that travels (the
// portable folder, the Windows zip); in the user's own data folder for an
// installed program, whose folder the user cannot write; wherever the
// command line's --data says.
namespace DataFolder {

struct Facts
{
    QString programFolder;
    bool besideHoldsData = false;   // programFolder/DATA is there
    bool programFolderWritable = false;
    QString userDataHome;           // $XDG_DATA_HOME as set, %LOCALAPPDATA% on Windows
    QString home;
    std::optional<QString> given;   // --data, made absolute
};

// The rule, without looking at the disk.
QString choose(const Facts &facts);

// The facts as this computer has them.
Facts factsFor(const QString &programFolder, const std::optional<QString> &given);

// Makes the folder where it is missing, with the alarm sound copied in
// from sound where there is one; the failure's words, or nothing.
std::optional<QString> prepare(const QString &folder, const QString &sound);

} // namespace DataFolder
