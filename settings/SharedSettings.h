#pragma once

#include "platform/ProfileFile.h"
#include "settings/WindowSettings.h"

#include <QHash>
#include <QString>

// note.ini as computers sharing DATA/ through a sync tool write it. Every
// write reads the newest file and changes only what this computer changed,
// so that an alarm or a title set on one computer survives another's close.
// The window's place, page numbers and view are each computer's own: they
// are kept also in a section named after the computer, which wins over
// [WINDOW] when read.
class SharedSettings
{
public:
    SharedSettings(QString path, const QString &computer);

    const QString &path() const { return m_file.path(); }

    // A missing or unreadable file gives the defaults.
    StoredSettings load();

    // One key now, over the newest file; throws KladdoError when the file
    // cannot be written.
    void writeString(QStringView section, QStringView key, const QString &value);
    void writeInteger(QStringView section, QStringView key, int value);

    // Every key this computer changed since it last read or wrote it, and
    // every key the file lacks; throws KladdoError when it cannot be written.
    void save(const WindowSettings &settings, int pos, int transparent);

    // Takes into settings the titles and alarms another computer wrote,
    // where this computer has not changed them since; true when any came.
    // A file that is missing or cannot be read brings nothing.
    bool follow(WindowSettings &settings);

private:
    void saveChanged(const ProfileDocument &document, const QByteArray &before) const;
    bool isOwn(QStringView section, QStringView key) const;
    void remember(QStringView section, QStringView key, const QString &value);
    QString seen(QStringView section, QStringView key) const;

    ProfileFile m_file;
    QString m_computerSection;
    // Each key's value as this computer last read or wrote it.
    QHash<QString, QString> m_seen;
};
