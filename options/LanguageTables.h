#pragma once

#include "platform/Languages.h"

#include <QString>
#include <QStringList>

#include <span>

// The built-in German and English texts. The language index is 1 for
// German and 2 for English, as the main window holds it.
namespace LanguageTables {

using Languages::English;
using Languages::German;
using Languages::TextPair;

// "Deutsch" selects German; every other value, however written, English.
int languageIndexFor(const QString &language);

// The text of one control, found by its object name.
struct ControlText
{
    const char16_t *name;
    TextPair text;
};

// Hints of the main window's controls whose hint does not follow a state.
std::span<const ControlText> mainWindowHints();

// Captions of the options dialog that change with the language, in the
// order they are applied; the dialog's own caption is under "KladdoDlg".
std::span<const ControlText> optionsDialogCaptions();

// Texts of the find and replace dialogs.
std::span<const ControlText> findDialogTexts();
std::span<const ControlText> replaceDialogTexts();

// The heading of a password grid column, 0-2.
QString passwordGridHeading(int column, int languageIndex);

// The four roll effects, in the order of the stored value 0-3.
QStringList rollEffectNames(int languageIndex);

// The items of the palette lists, palette 1 first: the German list for
// German, the English list for English.
QStringList paletteNames(int languageIndex);

// The options dialog's label beside the transparency slider.
QString transparencyText(int percent, int languageIndex);

// The alarm calendar's month names from January and day names from Monday.
QStringList monthNames(int languageIndex);
QStringList dayNames(int languageIndex);

// The alarm calendar's navigation buttons as a screen reader names them:
// a year back, a month back, today, a month forward, a year forward.
QStringList calendarNavigationNames(int languageIndex);

// Why the set-alarm button refuses the time field's text.
QString noSuchTimeText(const QString &fieldText, int languageIndex);

// Why a start ends at once: another copy holds the DATA folder but does not
// answer the request to come forward.
QString unansweredCopyText(const QString &dataFolder, int languageIndex);
// Why a start ends at once: the data folder could not be made.
QString dataFolderFailedText(const QString &dataFolder, const QString &reason, int languageIndex);

// What the bell in the caption line tells a screen reader: the alarm of
// the page, and whether its minute has passed.
QString bellName(bool pending, const QString &alarmText, int languageIndex);

// The two kinds of page, as the user is told of them.
enum class PageKind { Note, Password };

// Told when a page is shown with the changes the last run did not save,
// made by then.
QString recoveredPageText(PageKind kind, int page, const QString &when, int languageIndex);

// Why changes left unsaved are not loaded over their page.
enum class KeptReason { Damaged, Older, PageChanged };

// Told when changes left unsaved, made by then, are not loaded but kept
// in keptPath; pageFile is the page file's name.
QString keptChangesText(PageKind kind, int page, const QString &pageFile, KeptReason reason,
                        const QString &when, const QString &keptPath, int languageIndex);

// Told when such changes cannot be moved aside, for failure: they stay in
// path, and until they can be moved, the page's changes are kept only by
// its save.
QString unmovedChangesText(PageKind kind, int page, const QString &pageFile, KeptReason reason,
                           const QString &when, const QString &path, const QString &failure, int languageIndex);

// Told when a save found the page's file changed by someone else and kept
// that version in keptPath before writing the page over pageFile.
QString otherVersionKeptText(PageKind kind, int page, const QString &pageFile, const QString &keptPath,
                             int languageIndex);
// The save stopped since that version could not be kept, for failure.
QString otherVersionUnkeptText(PageKind kind, int page, const QString &pageFile, const QString &keptPath,
                               const QString &failure, int languageIndex);
// Asked after otherVersionKeptText of a note page.
QString copyOtherVersionQuestion(int languageIndex);

// What a conflict copy in the data folder holds another version of.
enum class CopyOf { Settings, NotePage, PasswordPage, Vault };
// One line of conflictCopiesText: the copy's file name, the tool that made
// it, and the file it belongs to.
QString conflictCopyLine(const QString &fileName, const QString &tool, CopyOf of, int page, int languageIndex);
// Told of conflict copies found in dataFolder, one line each.
QString conflictCopiesText(const QStringList &lines, const QString &dataFolder, int languageIndex);

} // namespace LanguageTables

// Hint texts that change with the state of a toggle or of the window.
enum class StateHintKey {
    HintShowNotes,
    HintShowPasswords,
    HintHideAlarm,
    HintShowAlarm,
    HintRightHide,
    HintRightShow,
    HintLeftMove,
    HintUnmask,
    HintMask,
};

// The hint for key in the language of languageIndex (1 German, 2 English;
// any other index gives English).
QString StateHint(int languageIndex, StateHintKey key);
