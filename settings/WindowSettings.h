#pragma once

#include <QList>
#include <QString>

#include <array>

class ProfileDocument;
class ProfileFile;

// The main window's state that mirrors note.ini. Field names are the key
// names, so that the window that holds them reads like the settings file.
struct WindowSettings
{
    static constexpr int PageCount = 10;

    QString Language = QStringLiteral("Deutsch");
    int DisplayNP = 0;
    int DisplayAlarm = 0;
    int DisplayHint = 1;
    int Note = 0;
    int Pass = 0;
    int Adjust = 0;
    int Palette = 2;
    int Color1 = 5876991; // 0x0059ACFF
    int Color2 = 3644415; // 0x00379BFF
    int Color3 = 32251;   // 0x00007DFB
    int ColWidth1 = 165;
    int ColWidth2 = 165;
    int ColWidth3 = 165;
    int ColPos1 = 165;
    int ColPos2 = 165;
    int RollEffect = 0;
    // Of this program's own: the key that brings the window out from any
    // program, as Qt's portable text; empty for none.
    QString GlobalKey = QStringLiteral("Ctrl+Alt+K");
    std::array<QString, PageCount> NoteTitle;
    std::array<QString, PageCount> PassTitle;
    std::array<QString, PageCount> AlarmText;
};

// Everything note.ini holds: the window state plus the two values the
// window keeps as its geometry and opacity rather than as fields.
struct StoredSettings : WindowSettings
{
    int Pos = 5;          // top edge of the window
    int Transparent = 255; // opacity 25-255
};

// Reads every key with its default; values outside their range become the
// default, so that no page number or flag can index out of range. A black
// user colour reads as grey and an opacity below 25 as 25.
StoredSettings readSettings(const ProfileDocument &document);

struct SettingEntry
{
    QStringView section;
    QString key;
    QString value; // as written
};

// Every key with the text it is written as, in the order the settings file
// has always had them.
QList<SettingEntry> settingEntries(const StoredSettings &settings);

void writeSettings(ProfileDocument &document, const StoredSettings &settings);

// Widths summing to more than the grid can show, a negative width or a
// boundary counter outside 25-250 reset all five column values to their
// default.
void applyColumnWidthRule(WindowSettings &settings);

namespace SettingsKeys {
inline constexpr QStringView Window = u"WINDOW";
inline constexpr QStringView NoteTitle = u"NOTETITLE";
inline constexpr QStringView PassTitle = u"PASSTITLE";
inline constexpr QStringView Alarm = u"ALARM";

QString titleKey(int page);
QString alarmKey(int page);
} // namespace SettingsKeys
