#pragma once

#include "app/ToolbarFaces.h"
#include "notes/NoteEditor.h"
#include "options/ColorSchemes.h"
#include "settings/WindowSettings.h"

#include <QImage>
#include <QList>

#include <array>

class ClickLabel;
class PassCellField;
class PassGrid;
class QLabel;
class QObject;
class QWidget;
class TFarbButton;
class VaultLockPanel;

// The main window's controls, as a form's designer would make them: each
// built, named, placed and painted here, while the window gives them their
// behaviour. Every control is a child of the window.
struct MainWindowUi
{
    static constexpr int ToolbarButtonCount = 17;

    // The frame and both handles, whose events go to handleFilter.
    void setupFrame(QWidget &form, QObject &handleFilter);
    // The rest, in this order among the window's own controls; the
    // editor's events go to editorFilter.
    void setupPageArea(QWidget &form, QObject &editorFilter);
    void setupToolbar(QWidget &form);
    void setupStylePictures(QWidget &form);
    // What a shown parent would have shown along: every control not hidden
    // on purpose.
    static void showLateControls(QWidget &form);

    // FarbButton<number>.
    TFarbButton *toolbarButton(int number) const { return m_toolbar[number - 1]; }
    const std::array<TFarbButton *, ToolbarButtonCount> &toolbarButtons() const { return m_toolbar; }

    // The controls of the note view shown, or those of the password view:
    // the grid, or the vault's lock while it is locked.
    void showView(bool notes, bool locked = false);
    void setHandlePictures(int languageIndex);
    // Hints in the language of languageIndex, the toggles' as they stand.
    void setTexts(QWidget &form, int languageIndex, const ToggleState &toggles);
    void setShowHints(QWidget &form, bool on);
    void paintFrame(QWidget &form, const ColorScheme &scheme);
    void paint(QWidget &form, const ColorScheme &scheme, const ToggleState &toggles);
    // Image4 to Image6 show the styles as on or off.
    void showStyle(const CharStyle &style);
    void fillStylePictures(const ColorScheme &scheme);
    void showPosition(const QString &text);
    // The caption line of the note page or the password page current.
    void showNoteCaptions(const WindowSettings &settings);
    void showPassCaptions(const WindowSettings &settings);
    // Those of the view shown.
    void showCaptions(const WindowSettings &settings);

    QWidget *Panel1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Image3 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    NoteEditor *RichEdit1 = nullptr;
    PassGrid *StringGrid1 = nullptr;
    PassCellField *Edit2 = nullptr;
    VaultLockPanel *VaultLock = nullptr;
    ClickLabel *Image4 = nullptr;
    ClickLabel *Image5 = nullptr;
    ClickLabel *Image6 = nullptr;
    TFarbButton *FarbButton1 = nullptr;
    TFarbButton *FarbButton7 = nullptr;
    TFarbButton *FarbButton16 = nullptr;
    TFarbButton *FarbButton17 = nullptr;

private:
    std::array<TFarbButton *, ToolbarButtonCount> m_toolbar{};
    QList<QImage> m_styleArtwork;
    // Image7 to Image12: each style off, then on, in the scheme's colours.
    // Off screen, never seen.
    QList<QLabel *> m_stylePictures;
};
