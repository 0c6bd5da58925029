#include "options/AtHandTexts.h"

#include "platform/Languages.h"

#include <QDir>

using Languages::TextPair;

QString AtHandTexts::keyStateText(GlobalKey::State state, int languageIndex)
{
    switch (state) {
    case GlobalKey::State::Off:
        return TextPair{u"Aus", u"Off"}.in(languageIndex);
    case GlobalKey::State::On:
        return TextPair{u"Bereit", u"Ready"}.in(languageIndex);
    case GlobalKey::State::Taken:
        return TextPair{u"Belegt: ein anderes Programm hält diese Taste", u"Taken: another program holds this key"}
            .in(languageIndex);
    case GlobalKey::State::Unusable:
        return TextPair{u"Geht nicht: Strg, Alt oder Meta dazu, oder eine F-Taste",
                        u"Not possible: add Ctrl, Alt or Meta, or use an F key"}
            .in(languageIndex);
    case GlobalKey::State::Unavailable:
        return TextPair{u"Auf diesem Desktop nicht möglich", u"Not possible on this desktop"}.in(languageIndex);
    }
    return {};
}

QString AtHandTexts::keyTakenText(const QString &key, int languageIndex)
{
    return TextPair{u"Die Taste %1 hält schon ein anderes Programm, sie holt Kladdo nicht heraus. In den "
                    u"Optionen lässt sich eine andere wählen.",
                    u"Another program already holds the key %1, so it does not bring Kladdo out. The options "
                    u"choose another one."}
        .in(languageIndex)
        .arg(key);
}

QString AtHandTexts::loginEntryText(const LoginStart::Found &found, int languageIndex)
{
    const QString program = QDir::toNativeSeparators(found.command.program);
    switch (found.state) {
    case LoginStart::State::Off:
    case LoginStart::State::On:
        return {};
    case LoginStart::State::Stale:
        return TextPair{u"Der Eintrag für die Anmeldung startet %1, das es nicht mehr gibt. Ankreuzen richtet ihn "
                        u"auf dieses Kladdo.",
                        u"The login entry starts %1, which is no longer there. Ticking the box points it at this "
                        u"Kladdo."}
            .in(languageIndex)
            .arg(program);
    case LoginStart::State::Other:
        return TextPair{u"Bei der Anmeldung startet schon %1 mit %2. Ankreuzen startet stattdessen dieses.",
                        u"At login, %1 starts already, on %2. Ticking the box starts this one instead."}
            .in(languageIndex)
            .arg(program, QDir::toNativeSeparators(found.command.dataFolder));
    }
    return {};
}

QString AtHandTexts::loginEntryFailedText(bool adding, const QString &location, const QString &reason,
                                          int languageIndex)
{
    const TextPair text = adding ? TextPair{u"Der Eintrag für die Anmeldung ließ sich nicht schreiben: %1 (%2).",
                                            u"The login entry could not be written: %1 (%2)."}
                                 : TextPair{u"Der Eintrag für die Anmeldung ließ sich nicht entfernen: %1 (%2).",
                                            u"The login entry could not be removed: %1 (%2)."};
    return text.in(languageIndex).arg(QDir::toNativeSeparators(location), reason);
}
