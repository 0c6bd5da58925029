#include "settings/SharedSettings.h"

#include "platform/KladdoError.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace {

// What differs between two screens and two ways of working.
constexpr QStringView kOwnKeys[] = {u"DisplayNP", u"Note", u"Pass", u"Pos"};

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString seenKey(QStringView section, QStringView key)
{
    return (section.toString() + u'\n' + key.toString()).toLower();
}

} // namespace

SharedSettings::SharedSettings(QString path, const QString &computer)
    : m_file(std::move(path)), m_computerSection(QStringLiteral("WINDOW ") + computer)
{
}

StoredSettings SharedSettings::load()
{
    ProfileDocument document = m_file.load();
    for (QStringView key : kOwnKeys) {
        if (const std::optional<QString> own = document.value(m_computerSection, key))
            document.setValue(SettingsKeys::Window, key, *own);
    }
    const StoredSettings settings = readSettings(document);
    m_seen.clear();
    for (const SettingEntry &entry : settingEntries(settings))
        remember(entry.section, entry.key, entry.value);
    return settings;
}

void SharedSettings::writeString(QStringView section, QStringView key, const QString &value)
{
    ProfileDocument document = m_file.loadForWrite();
    const QByteArray before = document.toBytes();
    document.setValue(section, key, value);
    if (isOwn(section, key))
        document.setValue(m_computerSection, key, value);
    saveChanged(document, before);
    remember(section, key, value);
}

void SharedSettings::writeInteger(QStringView section, QStringView key, int value)
{
    writeString(section, key, QString::number(value));
}

void SharedSettings::save(const WindowSettings &settings, int pos, int transparent)
{
    StoredSettings stored;
    static_cast<WindowSettings &>(stored) = settings;
    stored.Pos = pos;
    stored.Transparent = transparent;
    ProfileDocument document = m_file.loadForWrite();
    const QByteArray before = document.toBytes();
    const QList<SettingEntry> entries = settingEntries(stored);
    for (const SettingEntry &entry : entries) {
        const bool changedHere = seen(entry.section, entry.key) != entry.value;
        if (changedHere || !document.value(entry.section, entry.key))
            document.setValue(entry.section, entry.key, entry.value);
        if (isOwn(entry.section, entry.key) && (changedHere || !document.value(m_computerSection, entry.key)))
            document.setValue(m_computerSection, entry.key, entry.value);
    }
    saveChanged(document, before);
    for (const SettingEntry &entry : entries)
        remember(entry.section, entry.key, entry.value);
}

bool SharedSettings::follow(WindowSettings &settings)
{
    if (!QFileInfo::exists(path()))
        return false;
    ProfileDocument document;
    try {
        document = m_file.loadForWrite();
    } catch (const KladdoError &) {
        return false; // perhaps being replaced: the next look sees it
    }
    bool came = false;
    const auto take = [&](QStringView section, const QString &key, QString &held) {
        const std::optional<QString> stored = document.value(section, key);
        if (!stored || *stored == held || held != seen(section, key))
            return;
        held = *stored;
        remember(section, key, held);
        came = true;
    };
    for (int page = 0; page < WindowSettings::PageCount; ++page) {
        take(SettingsKeys::NoteTitle, SettingsKeys::titleKey(page), settings.NoteTitle[page]);
        take(SettingsKeys::PassTitle, SettingsKeys::titleKey(page), settings.PassTitle[page]);
        take(SettingsKeys::Alarm, SettingsKeys::alarmKey(page), settings.AlarmText[page]);
    }
    return came;
}

// A file written again as it was is a change to a sync tool all the same,
// and two of them at once a conflict.
void SharedSettings::saveChanged(const ProfileDocument &document, const QByteArray &before) const
{
    if (document.toBytes() != before || !QFileInfo::exists(path()))
        m_file.save(document);
}

bool SharedSettings::isOwn(QStringView section, QStringView key) const
{
    return sameName(section, SettingsKeys::Window)
           && std::any_of(std::begin(kOwnKeys), std::end(kOwnKeys), [&](QStringView own) { return sameName(own, key); });
}

void SharedSettings::remember(QStringView section, QStringView key, const QString &value)
{
    m_seen.insert(seenKey(section, key), value);
}

QString SharedSettings::seen(QStringView section, QStringView key) const
{
    return m_seen.value(seenKey(section, key));
}
