// The main window's texts, hints and colours: SpracheOk, HintOk, FarbeOk.
#include "app/TForm1.h"

#include "app/QtTexts.h"
#include "app/ToolbarFaces.h"
#include "app/WindowFrame.h"
#include "controls/FarbButton.h"
#include "options/ColorSchemes.h"
#include "options/ControlTexts.h"
#include "options/HintDisplay.h"
#include "passwords/PassCellField.h"
#include "passwords/PassGrid.h"
#include "resources/Bitmaps.h"

#include <QLabel>
#include <QRegularExpression>

namespace {

// The controls whose hint the hint setting switches, besides the colour
// buttons.
constexpr QStringView kHintedControls[] = {u"Image1", u"Image3", u"Label3",    u"Image4",
                                           u"Image5", u"Image6", u"MaskEdit1", u"Edit2"};

using Bitmaps::TextStyle;

// Image7 to Image12, in that order: each style off, then on.
struct StylePictureSlot
{
    TextStyle style;
    bool on;
};
constexpr StylePictureSlot kStylePictureSlots[] = {
    {TextStyle::Bold, false},      {TextStyle::Bold, true},
    {TextStyle::Italic, false},    {TextStyle::Italic, true},
    {TextStyle::Underline, false}, {TextStyle::Underline, true},
};
constexpr int kFirstStylePicture = 7;

void setBackground(QWidget *widget, TColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, WinColor::toQColor(color));
    palette.setColor(QPalette::Base, WinColor::toQColor(color));
    widget->setPalette(palette);
}

} // namespace

QList<TFarbButton *> TForm1::toolbarButtons() const
{
    static const QRegularExpression name(QStringLiteral("^FarbButton\\d+$"));
    return findChildren<TFarbButton *>(name);
}

ToggleState TForm1::toggleState() const
{
    return {m_settings.DisplayNP, m_settings.DisplayAlarm, PasswordsHidden};
}

// Off screen, never seen: they hold the style pictures in the current
// colours for the style buttons to show.
void TForm1::createStylePictures()
{
    for (int i = 0; i < int(std::size(kStylePictureSlots)); ++i) {
        auto *picture = new QLabel(this);
        picture->setObjectName(QStringLiteral("Image%1").arg(kFirstStylePicture + i));
        m_stylePictures.append(picture);
        m_styleArtwork.append(
            Bitmaps::stylePicture(kStylePictureSlots[i].style, kStylePictureSlots[i].on));
    }
}

void TForm1::SpracheOk()
{
    LanguageIndex = LanguageTables::languageIndexFor(m_settings.Language);
    setHandlePictures();
    ControlTexts::applyHints(this, LanguageTables::mainWindowHints(), LanguageIndex);
    for (TFarbButton *button : toolbarButtons()) {
        const ToolbarFace face = toolbarFace(button->objectName(), toggleState());
        if (face.stateHint)
            HintDisplay::setHint(button, StateHint(LanguageIndex, *face.stateHint));
    }
    UpdateHandleHints();
    AlarmOk();
    setGridHeading();
    StringGrid1->setLanguage(LanguageIndex);
    StringGrid1->setReadOnlyReason(m_passPages.readOnlyReason(LanguageIndex));
    m_search->setTexts(LanguageIndex);
    m_alarms->setLanguage(LanguageIndex);
    QtTexts::follow(LanguageIndex);
}

void TForm1::setHandlePictures()
{
    const QPixmap handle = Bitmaps::pixmapFor(
        Bitmaps::bitmap(LanguageIndex == LanguageTables::German ? QStringLiteral("LOGOD") : QStringLiteral("LOGOE")),
        devicePixelRatio());
    Image1->setPixmap(handle);
    Image3->setPixmap(handle);
}

// Pictures are made for one device pixel ratio; a screen of another ratio
// needs them made again.
void TForm1::refreshPictures()
{
    setHandlePictures();
    fillStylePictures();
    showStyle();
    AlarmOk();
}

void TForm1::setGridHeading()
{
    QStringList headings;
    for (int column = 0; column < PassColumnCount; ++column)
        headings << LanguageTables::passwordGridHeading(column, LanguageIndex);
    StringGrid1->setHeadings(headings);
}

void TForm1::HintOk()
{
    const bool on = m_settings.DisplayHint == 1;
    for (TFarbButton *button : toolbarButtons())
        HintDisplay::setShowHint(button, on);
    for (QStringView name : kHintedControls) {
        if (auto *control = findChild<QWidget *>(name.toString()))
            HintDisplay::setShowHint(control, on);
    }
}

// All the rolled-in window shows of the scheme.
void TForm1::showFrameColors()
{
    if (const auto scheme = ColorSchemes::schemeFor(m_settings.Palette, m_settings.Color1, m_settings.Color2, m_settings.Color3))
        m_scheme = *scheme;
    setBackground(this, m_scheme.BackColor);
    setBackground(Panel1, m_scheme.BarColor);
}

void TForm1::FarbeOk()
{
    showFrameColors();
    for (QWidget *page : std::initializer_list<QWidget *>{RichEdit1, Edit2})
        setBackground(page, m_scheme.BackColor);
    StringGrid1->setColors(WinColor::toQColor(m_scheme.BackColor), WinColor::toQColor(m_scheme.BarColor));
    for (QWidget *bar : std::initializer_list<QWidget *>{Label1, Label2, Label3})
        setBackground(bar, m_scheme.BarColor);
    // A button builds its glyph images on its colour: assign the glyph
    // again after the colour so that none keeps the old background.
    for (TFarbButton *button : toolbarButtons()) {
        button->setColor(m_scheme.ButtonColor);
        const QString glyph = toolbarFace(button->objectName(), toggleState()).glyph;
        if (!glyph.isEmpty())
            button->setGlyph(Bitmaps::bitmap(glyph));
    }
    fillStylePictures();
    RichEditFontBitOk();
    m_alarms->setColors(m_scheme);
}

// Always from the artwork: once filled in black, a picture would stop
// every later fill at its first pixel.
void TForm1::fillStylePictures()
{
    for (int i = 0; i < m_styleArtwork.size(); ++i) {
        const StylePictureSlot &slot = kStylePictureSlots[i];
        const TColor color = slot.on ? m_scheme.BackColor : m_scheme.ButtonColor;
        m_stylePictures[i]->setPixmap(Bitmaps::pixmapFor(
            ColorSchemes::filledStylePicture(m_styleArtwork[i], color, slot.style == TextStyle::Italic),
            devicePixelRatio()));
    }
}
