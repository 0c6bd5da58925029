#include "options/LanguageTables.h"

#include <QDir>

#include <array>

namespace LanguageTables {
namespace {

// In the order of StateHintKey.
constexpr std::array<TextPair, 9> kStateHints = {{
    {u"Notizen anzeigen", u"show notes"},
    {u"Passwörter anzeigen", u"show passwords"},
    {u"Alarm verbergen", u"hide alarm"},
    {u"Alarm anzeigen", u"show alarm"},
    {u"mit rechts Click verbergen", u"click right to hide"},
    {u"mit rechts Click anzeigen", u"click right to show"},
    {u"mit links Click verschieben", u"click left to adjust"},
    {u"Passwörter anzeigen", u"show passwords"},
    {u"Passwörter verbergen", u"hide passwords"},
}};

constexpr ControlText kMainWindowHints[] = {
    {u"Image4", {u"Fett", u"bold"}},
    {u"Image5", {u"Kursiv", u"italic"}},
    {u"Image6", {u"Unterstrichen", u"underline"}},
    {u"Label3", {u"Zeile:Spalte", u"line:row"}},
    {u"FarbButton2", {u"zum anfang", u"begin"}},
    {u"FarbButton3", {u"rückwärts", u"backward"}},
    {u"FarbButton4", {u"vorwärts", u"forward"}},
    {u"FarbButton5", {u"zum ende", u"end"}},
    {u"FarbButton6",
     {u"markierter Text als Titel oder Titel löschen", u"set mark text as title or clear title"}},
    {u"FarbButton8", {u"Ersetzen...", u"replace..."}},
    {u"FarbButton9", {u"Beenden", u"close"}},
    {u"FarbButton10", {u"Suchen...", u"search..."}},
    {u"FarbButton11", {u"Optionen...", u"options..."}},
    {u"FarbButton12", {u"Alarmzeit setzen", u"set alarmtime"}},
    {u"FarbButton13", {u"Alarmzeit löschen", u"clear alarmtime"}},
    {u"FarbButton14", {u"Kopieren", u"copy to clipboard"}},
    {u"FarbButton15", {u"Einfügen", u"paste from clipboard"}},
    {u"FarbButton17", {u"Hilfe...", u"help..."}},
    {u"MaskEdit1", {u"Zeit", u"time"}},
    {u"Edit2", {u"Bearbeitungsfeld", u"processing field"}},
    {u"VaultLock", {u"Kennwortseiten gesperrt", u"password pages locked"}},
    {u"VaultPassword", {u"Master-Kennwort; die Eingabetaste öffnet", u"master password; Enter opens"}},
};

constexpr ControlText kOptionsDialogCaptions[] = {
    {u"KladdoDlg", {u"Kladdo", u"Kladdo"}},
    {u"TabSheet1", {u"Einstellungen", u"Options"}},
    {u"GroupBox2", {u" Sprache ", u" Language "}},
    {u"GroupBox1", {u" Hilfstexte anzeigen ", u" Show Helptext "}},
    {u"RadioButton3", {u"Ja", u"Yes"}},
    {u"RadioButton4", {u"Nein", u"No"}},
    {u"CheckBox1", {u"Fenster verschiebbar", u"Window adjustably"}},
    {u"Label3", {u"Farbe 1", u"Color 1"}},
    {u"Label4", {u"Farbe 2", u"Color 2"}},
    {u"Label5", {u"Farbe 3", u"Color 3"}},
    {u"Label9", {u"Kladdo", u"Kladdo"}},
    {u"GroupBox7", {u" Passwort Spaltenbreiten ", u" Password col width "}},
    {u"Label11", {u"Linie 1", u"Line 1"}},
    {u"Label14", {u"Linie 2", u"Line 2"}},
    {u"Button1", {u"Standard", u"Default"}},
    {u"GroupBox5", {u" Rolleffekt ", u" Roll effect "}},
    {u"TabSheet2", {u"Kennwörter", u"Passwords"}},
    {u"VaultText",
     {u"Ein Master-Kennwort verschlüsselt die Kennwortseiten in einem Tresor (passwords.kdbx, ein Format, das "
      u"auch KeePass-Programme öffnen). Ohne es kann sie jeder lesen, der die Dateien hat.",
      u"A master password enciphers the password pages in a vault (passwords.kdbx, a format KeePass programs "
      u"open too). Without it, anyone who has the files can read them."}},
    {u"VaultButton", {u"Master-Kennwort …", u"Master password …"}},
    {u"TabSheet4", {u"Taste && Start", u"Key && start"}},
    {u"GroupBox8", {u" Taste aus jedem Programm ", u" Key from any program "}},
    {u"Label15",
     {u"Rollt das Fenster aus und gibt ihm die Tastatur, noch einmal gedrückt wieder ein. Leer: keine Taste.",
      u"Rolls the window out and gives it the keyboard; pressed again, rolls it back in. Empty: no key."}},
    {u"GroupBox9", {u" Anmeldung ", u" Login "}},
    {u"CheckBox2", {u"Mit der Anmeldung starten", u"Start at login"}},
};

constexpr ControlText kFindDialogTexts[] = {
    {u"FindDialog1", {u"Suchen", u"Find"}},
    {u"FindWhatLabel", {u"Suchen &nach:", u"Fi&nd what:"}},
    {u"MatchWholeWord", {u"Nur &ganzes Wort suchen", u"Match &whole word only"}},
    {u"MatchCase", {u"Groß-/Klein&schreibung", u"Match &case"}},
    {u"FindNextButton", {u"&Weitersuchen", u"&Find Next"}},
    {u"CancelButton", {u"Abbrechen", u"Cancel"}},
};

constexpr ControlText kReplaceDialogTexts[] = {
    {u"ReplaceDialog1", {u"Ersetzen", u"Replace"}},
    {u"FindWhatLabel", {u"Suchen &nach:", u"Fi&nd what:"}},
    {u"ReplaceWithLabel", {u"Ersetzen &durch:", u"Re&place with:"}},
    {u"MatchWholeWord", {u"Nur &ganzes Wort suchen", u"Match &whole word only"}},
    {u"MatchCase", {u"Groß-/Klein&schreibung", u"Match &case"}},
    {u"FindNextButton", {u"&Weitersuchen", u"&Find Next"}},
    {u"ReplaceButton", {u"&Ersetzen", u"&Replace"}},
    {u"ReplaceAllButton", {u"&Alle ersetzen", u"Replace &All"}},
    {u"CancelButton", {u"Abbrechen", u"Cancel"}},
};

constexpr std::array<TextPair, 3> kGridHeadings = {{
    {u"TEXT", u"TEXT"},
    {u"NAME", u"NAME"},
    {u"PASSWORT", u"PASSWORD"},
}};

constexpr std::array<TextPair, 4> kRollEffects = {{
    {u"Ohne", u"Without"},
    {u"Schnell", u"Fast"},
    {u"Normal", u"Normally"},
    {u"Langsam", u"Slowly"},
}};

// The German list keeps "Silver" and "User Define" in English.
constexpr std::array<TextPair, 6> kPalettes = {{
    {u"Silver", u"Silver"},
    {u"Gelb", u"Yellow"},
    {u"Rot", u"Red"},
    {u"Blau", u"Blue"},
    {u"Grün", u"Green"},
    {u"User Define", u"User Define"},
}};

constexpr std::array<TextPair, 12> kMonths = {{
    {u"Januar", u"January"},   {u"Februar", u"February"}, {u"März", u"March"},
    {u"April", u"April"},      {u"Mai", u"May"},          {u"Juni", u"June"},
    {u"Juli", u"July"},        {u"August", u"August"},    {u"September", u"September"},
    {u"Oktober", u"October"},  {u"November", u"November"}, {u"Dezember", u"December"},
}};

constexpr std::array<TextPair, 7> kDays = {{
    {u"Montag", u"Monday"},     {u"Dienstag", u"Tuesday"}, {u"Mittwoch", u"Wednesday"},
    {u"Donnerstag", u"Thursday"}, {u"Freitag", u"Friday"}, {u"Samstag", u"Saturday"},
    {u"Sonntag", u"Sunday"},
}};

template<std::size_t N>
QStringList textsIn(const std::array<TextPair, N> &pairs, int languageIndex)
{
    QStringList texts;
    for (const TextPair &pair : pairs)
        texts.append(pair.in(languageIndex));
    return texts;
}

} // namespace

int languageIndexFor(const QString &language)
{
    return language == u"Deutsch" ? German : English;
}

std::span<const ControlText> mainWindowHints()
{
    return kMainWindowHints;
}

std::span<const ControlText> optionsDialogCaptions()
{
    return kOptionsDialogCaptions;
}

std::span<const ControlText> findDialogTexts()
{
    return kFindDialogTexts;
}

std::span<const ControlText> replaceDialogTexts()
{
    return kReplaceDialogTexts;
}

QString passwordGridHeading(int column, int languageIndex)
{
    return kGridHeadings.at(std::size_t(column)).in(languageIndex);
}

QStringList rollEffectNames(int languageIndex)
{
    return textsIn(kRollEffects, languageIndex);
}

QStringList paletteNames(int languageIndex)
{
    return textsIn(kPalettes, languageIndex);
}

QString transparencyText(int percent, int languageIndex)
{
    return languageIndex == German ? QStringLiteral("Sichtbar zu %1%").arg(percent)
                                   : QStringLiteral("Visible %1%").arg(percent);
}

QStringList monthNames(int languageIndex)
{
    return textsIn(kMonths, languageIndex);
}

QStringList dayNames(int languageIndex)
{
    return textsIn(kDays, languageIndex);
}

QStringList calendarNavigationNames(int languageIndex)
{
    static constexpr TextPair kNames[] = {
        {u"ein Jahr zurück", u"a year back"},     {u"einen Monat zurück", u"a month back"},
        {u"heute", u"today"},                     {u"einen Monat vor", u"a month forward"},
        {u"ein Jahr vor", u"a year forward"},
    };
    QStringList names;
    for (const TextPair &name : kNames)
        names << name.in(languageIndex);
    return names;
}

QString noSuchTimeText(const QString &fieldText, int languageIndex)
{
    return languageIndex == German
               ? QStringLiteral("Die Zeit \"%1\" gibt es nicht: Stunden 00 bis 23, Minuten 00 bis 59.").arg(fieldText)
               : QStringLiteral("There is no time \"%1\": hours 00 to 23, minutes 00 to 59.").arg(fieldText);
}

QString unansweredCopyText(const QString &dataFolder, int languageIndex)
{
    return TextPair{u"Kladdo läuft bereits mit %1, antwortet aber nicht. Beenden Sie es, bevor Sie "
                    u"Kladdo noch einmal starten.",
                    u"Kladdo already runs on %1 but does not answer. End that copy before starting "
                    u"another."}
        .in(languageIndex)
        .arg(dataFolder);
}

QString dataFolderFailedText(const QString &dataFolder, const QString &reason, int languageIndex)
{
    return TextPair{u"Der Datenordner %1 ließ sich nicht anlegen (%2). Kladdo startet nicht ohne ihn.",
                    u"The data folder %1 could not be made (%2). Kladdo does not start without it."}
        .in(languageIndex)
        .arg(dataFolder, reason);
}

QString bellName(bool pending, const QString &alarmText, int languageIndex)
{
    return (pending ? TextPair{u"Alarm %1", u"alarm %1"} : TextPair{u"Alarm %1 vorbei", u"alarm %1 passed"})
        .in(languageIndex)
        .arg(alarmText.trimmed());
}

QString recoveredPageText(PageKind kind, int page, const QString &when, int languageIndex)
{
    const TextPair text = kind == PageKind::Note
        ? TextPair{u"Notizseite %1 wurde beim letzten Beenden von Kladdo nicht gespeichert. Sie wird "
                   u"gezeigt, wie sie am %2 war, und gespeichert, wenn Sie sie verlassen.",
                   u"Note page %1 was not saved when Kladdo last ended. It is shown as it was at %2 and "
                   u"will be saved when you leave it."}
        : TextPair{u"Passwortseite %1 wurde beim letzten Beenden von Kladdo nicht gespeichert. Sie wird "
                   u"gezeigt, wie sie am %2 war, und gespeichert, wenn Sie sie verlassen.",
                   u"Password page %1 was not saved when Kladdo last ended. It is shown as it was at %2 "
                   u"and will be saved when you leave it."};
    return text.in(languageIndex).arg(page).arg(when);
}

namespace {

QString notLoadedText(KeptReason reason, const QString &pageFile, int languageIndex)
{
    static constexpr TextPair kReasons[] = {
        {u"ihre Datei beschädigt ist", u"their file is damaged"},
        {u"%1 danach gespeichert wurde", u"%1 was saved after them"},
        {u"%1 seitdem von einem anderen Programm geändert wurde", u"%1 has been changed by another program since"},
    };
    const QString why = kReasons[int(reason)].in(languageIndex);
    return reason == KeptReason::Damaged ? why : why.arg(pageFile);
}

} // namespace

QString keptChangesText(PageKind kind, int page, const QString &pageFile, KeptReason reason,
                        const QString &when, const QString &keptPath, int languageIndex)
{
    const TextPair text = kind == PageKind::Note
        ? TextPair{u"Die nicht gespeicherten Änderungen an Notizseite %1 vom %2 werden nicht geladen, "
                   u"da %3. Sie bleiben in %4 erhalten.",
                   u"The unsaved changes of note page %1 from %2 are not loaded, since %3. They are "
                   u"kept in %4."}
        : TextPair{u"Die nicht gespeicherten Änderungen an Passwortseite %1 vom %2 werden nicht "
                   u"geladen, da %3. Sie bleiben in %4 erhalten.",
                   u"The unsaved changes of password page %1 from %2 are not loaded, since %3. They "
                   u"are kept in %4."};
    return text.in(languageIndex).arg(page).arg(when, notLoadedText(reason, pageFile, languageIndex), keptPath);
}

QString unmovedChangesText(PageKind kind, int page, const QString &pageFile, KeptReason reason,
                           const QString &when, const QString &path, const QString &failure, int languageIndex)
{
    const TextPair text = kind == PageKind::Note
        ? TextPair{u"Die nicht gespeicherten Änderungen an Notizseite %1 vom %2 werden nicht geladen, "
                   u"da %3. Sie konnten nicht beiseitegelegt werden und bleiben in %4: %5. Bis das "
                   u"geht, werden neue Änderungen an dieser Seite nur beim Speichern gesichert.",
                   u"The unsaved changes of note page %1 from %2 are not loaded, since %3. They could "
                   u"not be kept aside and stay in %4: %5. Until they can be, new changes of this page "
                   u"are kept only when it is saved."}
        : TextPair{u"Die nicht gespeicherten Änderungen an Passwortseite %1 vom %2 werden nicht "
                   u"geladen, da %3. Sie konnten nicht beiseitegelegt werden und bleiben in %4: %5. Bis "
                   u"das geht, werden neue Änderungen an dieser Seite nur beim Speichern gesichert.",
                   u"The unsaved changes of password page %1 from %2 are not loaded, since %3. They "
                   u"could not be kept aside and stay in %4: %5. Until they can be, new changes of this "
                   u"page are kept only when it is saved."};
    return text.in(languageIndex).arg(page).arg(when, notLoadedText(reason, pageFile, languageIndex), path, failure);
}

namespace {

// "note page 3" or "password page 3", as a sentence goes on.
QString pageName(PageKind kind, int page, int languageIndex)
{
    const TextPair text = kind == PageKind::Note ? TextPair{u"Notizseite %1", u"note page %1"}
                                                 : TextPair{u"Passwortseite %1", u"password page %1"};
    return text.in(languageIndex).arg(page);
}

} // namespace

QString otherVersionKeptText(PageKind kind, int page, const QString &pageFile, const QString &keptPath,
                             int languageIndex)
{
    static constexpr TextPair kText{
        u"%1 wurde anderswo geändert (etwa auf einem anderen Computer), während Sie sie hier bearbeitet "
        u"haben. Ihre Fassung ist jetzt %2; die andere ist nicht verloren, sie liegt in %3.",
        u"%1 was changed elsewhere (on another computer, perhaps) while you edited it here. Your version "
        u"is now %2; the other one is not lost, it is kept in %3."};
    QString name = pageName(kind, page, languageIndex);
    name[0] = name[0].toUpper();
    return kText.in(languageIndex).arg(name, pageFile, keptPath);
}

QString otherVersionUnkeptText(PageKind kind, int page, const QString &pageFile, const QString &keptPath,
                               const QString &failure, int languageIndex)
{
    static constexpr TextPair kText{
        u"%1 wurde nicht gespeichert: %2 wurde anderswo geändert, und diese andere Fassung konnte nicht "
        u"in %3 aufbewahrt werden: %4.",
        u"%1 was not saved: %2 was changed elsewhere, and that other version could not be kept in %3: %4."};
    QString name = pageName(kind, page, languageIndex);
    name[0] = name[0].toUpper();
    return kText.in(languageIndex).arg(name, pageFile, keptPath, failure);
}

QString copyOtherVersionQuestion(int languageIndex)
{
    static constexpr TextPair kText{u"Soll der Text der anderen Fassung in die Zwischenablage kopiert werden, "
                                    u"damit Sie ihn in die Seite einfügen können?",
                                    u"Copy the other version's text to the clipboard, so that you can paste "
                                    u"it into the page?"};
    return kText.in(languageIndex);
}

QString conflictCopyLine(const QString &fileName, const QString &tool, CopyOf of, int page, int languageIndex)
{
    const QString belongsTo = of == CopyOf::Settings   ? QStringLiteral("note.ini")
                              : of == CopyOf::Vault    ? QStringLiteral("passwords.kdbx")
                              : of == CopyOf::NotePage ? pageName(PageKind::Note, page, languageIndex)
                                                       : pageName(PageKind::Password, page, languageIndex);
    return QStringLiteral("%1 (%2): %3").arg(fileName, tool, belongsTo);
}

QString conflictCopiesText(const QStringList &lines, const QString &dataFolder, int languageIndex)
{
    static constexpr TextPair kText{
        u"Ein Synchronisierprogramm hat im Datenordner %2 Kopien mit einer anderen Fassung hinterlassen, "
        u"weil zwei Computer dieselbe Datei geändert haben:\n\n%1\n\nKladdo zeigt weiter die Datei selbst; "
        u"\"kladdo-data conflicts show\" zeigt eine Kopie, damit Sie sie von Hand übernehmen können.",
        u"A sync tool left copies holding another version in the data folder %2, since two computers "
        u"changed the same file:\n\n%1\n\nKladdo goes on showing the file itself; \"kladdo-data conflicts "
        u"show\" shows a copy, so that you can merge it by hand."};
    return kText.in(languageIndex).arg(lines.join(u'\n'), QDir::toNativeSeparators(dataFolder));
}

} // namespace LanguageTables

QString StateHint(int languageIndex, StateHintKey key)
{
    return LanguageTables::kStateHints.at(std::size_t(key)).in(languageIndex);
}
