#include "settings/WindowSettings.h"

#include "platform/ProfileFile.h"

#include <algorithm>

namespace {

using namespace SettingsKeys;

constexpr int kDefaultColumnWidth = 165;
constexpr qint64 kMaxColumnWidthSum = 495;
// The range of the options dialog's column-boundary counters.
constexpr int kMinColumnPosition = 25;
constexpr int kMaxColumnPosition = 250;
constexpr int kFirstPalette = 1;
constexpr int kLastPalette = 6;
constexpr int kGrey = 0x808080;
// The options dialog's lowest opacity.
constexpr int kMinOpacity = 25;

// How a stored integer becomes the value in memory.
enum class Rule { AsStored, PageNumber, Flag, RollEffect, Opacity, Palette, UserColor };

int normalised(Rule rule, int value, int defaultValue)
{
    const auto within = [&](int low, int high) {
        return value >= low && value <= high ? value : defaultValue;
    };
    switch (rule) {
    case Rule::AsStored:
        return value;
    case Rule::PageNumber:
        return within(0, WindowSettings::PageCount - 1);
    case Rule::Flag:
        return within(0, 1);
    case Rule::RollEffect:
        return within(0, 3);
    case Rule::Opacity:
        // Only the low byte counts; below the dialog's minimum the window
        // would be invisible, and nothing could bring it back.
        return std::max(value & 0xFF, kMinOpacity);
    case Rule::Palette:
        // Any other number would leave the window all black.
        return within(kFirstPalette, kLastPalette);
    case Rule::UserColor:
        // The options dialog would make it grey anyway; until it does, a
        // black user colour draws black buttons on a black window.
        return value == 0 ? kGrey : value;
    }
    return defaultValue;
}

struct IntegerKey
{
    QStringView readName;
    QStringView writeName;
    int StoredSettings::*field;
    Rule rule;
};

// In file order. The roll effect has always been read as "Rolleffect" and
// written as "RollEffect"; names match without regard to case.
const IntegerKey kIntegerKeys[] = {
    {u"DisplayNP", u"DisplayNP", &StoredSettings::DisplayNP, Rule::Flag},
    {u"DisplayAlarm", u"DisplayAlarm", &StoredSettings::DisplayAlarm, Rule::Flag},
    {u"DisplayHint", u"DisplayHint", &StoredSettings::DisplayHint, Rule::AsStored},
    {u"Note", u"Note", &StoredSettings::Note, Rule::PageNumber},
    {u"Pass", u"Pass", &StoredSettings::Pass, Rule::PageNumber},
    {u"Pos", u"Pos", &StoredSettings::Pos, Rule::AsStored},
    {u"Adjust", u"Adjust", &StoredSettings::Adjust, Rule::Flag},
    {u"Transparent", u"Transparent", &StoredSettings::Transparent, Rule::Opacity},
    {u"Palette", u"Palette", &StoredSettings::Palette, Rule::Palette},
    {u"Color1", u"Color1", &StoredSettings::Color1, Rule::UserColor},
    {u"Color2", u"Color2", &StoredSettings::Color2, Rule::UserColor},
    {u"Color3", u"Color3", &StoredSettings::Color3, Rule::UserColor},
    {u"ColWidth1", u"ColWidth1", &StoredSettings::ColWidth1, Rule::AsStored},
    {u"ColWidth2", u"ColWidth2", &StoredSettings::ColWidth2, Rule::AsStored},
    {u"ColWidth3", u"ColWidth3", &StoredSettings::ColWidth3, Rule::AsStored},
    {u"ColPos1", u"ColPos1", &StoredSettings::ColPos1, Rule::AsStored},
    {u"ColPos2", u"ColPos2", &StoredSettings::ColPos2, Rule::AsStored},
    {u"Rolleffect", u"RollEffect", &StoredSettings::RollEffect, Rule::RollEffect},
};

constexpr QStringView kLanguageKey = u"Language";
constexpr QStringView kGlobalKeyKey = u"GlobalKey";

} // namespace

QString SettingsKeys::titleKey(int page)
{
    return QStringLiteral("Title%1").arg(page);
}

QString SettingsKeys::alarmKey(int page)
{
    return QStringLiteral("Alarm%1").arg(page);
}

StoredSettings readSettings(const ProfileDocument &document)
{
    const StoredSettings defaults;
    StoredSettings settings;
    settings.Language = document.readString(Window, kLanguageKey, defaults.Language);
    for (const IntegerKey &key : kIntegerKeys) {
        const int defaultValue = defaults.*key.field;
        const int stored = document.readInteger(Window, key.readName, defaultValue);
        settings.*key.field = normalised(key.rule, stored, defaultValue);
    }
    settings.GlobalKey = document.readString(Window, kGlobalKeyKey, defaults.GlobalKey);
    for (int page = 0; page < WindowSettings::PageCount; ++page) {
        settings.NoteTitle[page] = document.readString(NoteTitle, titleKey(page), {});
        settings.PassTitle[page] = document.readString(PassTitle, titleKey(page), {});
        settings.AlarmText[page] = document.readString(Alarm, alarmKey(page), {});
    }
    return settings;
}

QList<SettingEntry> settingEntries(const StoredSettings &settings)
{
    QList<SettingEntry> entries{{Window, kLanguageKey.toString(), settings.Language}};
    for (const IntegerKey &key : kIntegerKeys)
        entries.append({Window, key.writeName.toString(), QString::number(settings.*key.field)});
    entries.append({Window, kGlobalKeyKey.toString(), settings.GlobalKey});
    for (int page = 0; page < WindowSettings::PageCount; ++page) {
        entries.append({NoteTitle, titleKey(page), settings.NoteTitle[page]});
        entries.append({PassTitle, titleKey(page), settings.PassTitle[page]});
        entries.append({Alarm, alarmKey(page), settings.AlarmText[page]});
    }
    return entries;
}

void writeSettings(ProfileDocument &document, const StoredSettings &settings)
{
    for (const SettingEntry &entry : settingEntries(settings))
        document.setValue(entry.section, entry.key, entry.value);
}

void applyColumnWidthRule(WindowSettings &settings)
{
    const qint64 sum = qint64(settings.ColWidth1) + settings.ColWidth2 + settings.ColWidth3;
    const auto isPosition = [](int value) {
        return value >= kMinColumnPosition && value <= kMaxColumnPosition;
    };
    // A negative width or a counter the dialog cannot show would put the
    // column boundaries where the user cannot move them back.
    const bool usable = sum <= kMaxColumnWidthSum && settings.ColWidth1 >= 0
                        && settings.ColWidth2 >= 0 && settings.ColWidth3 >= 0
                        && isPosition(settings.ColPos1) && isPosition(settings.ColPos2);
    if (usable)
        return;
    for (int *value : {&settings.ColWidth1, &settings.ColWidth2, &settings.ColWidth3,
                       &settings.ColPos1, &settings.ColPos2})
        *value = kDefaultColumnWidth;
}
