// The main window's texts, hints and colours: SpracheOk, HintOk, FarbeOk.
#include "app/TForm1.h"

#include "app/QtTexts.h"
#include "passwords/PassGrid.h"

ToggleState TForm1::toggleState() const
{
    return {m_settings.DisplayNP, m_settings.DisplayAlarm, PasswordsHidden};
}

void TForm1::SpracheOk()
{
    LanguageIndex = LanguageTables::languageIndexFor(m_settings.Language);
    setTexts(*this, LanguageIndex, toggleState());
    UpdateHandleHints();
    AlarmOk();
    StringGrid1->setReadOnlyReason(m_passPages.readOnlyReason(LanguageIndex));
    m_search->setTexts(LanguageIndex);
    m_alarms->setLanguage(LanguageIndex);
    QtTexts::follow(LanguageIndex);
}

// Pictures are made for one device pixel ratio; a screen of another ratio
// needs them made again.
void TForm1::refreshPictures()
{
    setHandlePictures(LanguageIndex);
    fillStylePictures(m_scheme);
    showStyle(m_style);
    AlarmOk();
}

void TForm1::HintOk()
{
    setShowHints(*this, m_settings.DisplayHint == 1);
}

// A palette outside 1-6 keeps the scheme there was.
void TForm1::showFrameColors()
{
    if (const auto scheme = ColorSchemes::schemeFor(m_settings.Palette, m_settings.Color1, m_settings.Color2,
                                                    m_settings.Color3))
        m_scheme = *scheme;
    paintFrame(*this, m_scheme);
}

void TForm1::FarbeOk()
{
    showFrameColors();
    paint(*this, m_scheme, toggleState());
    RichEditFontBitOk();
    m_alarms->setColors(m_scheme);
}
