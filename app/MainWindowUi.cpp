#include "app/MainWindowUi.h"

#include "alarms/Alarm.h"
#include "app/Captions.h"
#include "app/MainWindowLayout.h"
#include "app/VaultLockPanel.h"
#include "controls/ClickLabel.h"
#include "controls/ControlAccessibility.h"
#include "controls/FarbButton.h"
#include "options/ControlTexts.h"
#include "options/HintDisplay.h"
#include "options/LanguageTables.h"
#include "passwords/PassCellField.h"
#include "passwords/PassGrid.h"
#include "resources/Bitmaps.h"

#include <QLabel>

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

QFont captionFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    font.setBold(true);
    return font;
}

QLabel *createCaption(QWidget *parent, const char *name, Qt::Alignment alignment)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1StringView(name));
    label->setFont(captionFont());
    label->setAlignment(alignment | Qt::AlignVCenter);
    // Titles are the user's text: a "<b>" in one is shown, not obeyed.
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(true);
    return label;
}

void setBackground(QWidget *widget, TColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, WinColor::toQColor(color));
    palette.setColor(QPalette::Base, WinColor::toQColor(color));
    widget->setPalette(palette);
}

} // namespace

void MainWindowUi::setupFrame(QWidget &form, QObject &handleFilter)
{
    Panel1 = new QWidget(&form);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAutoFillBackground(true);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image3 = new QLabel(Panel1);
    Image3->setObjectName(QStringLiteral("Image3"));
    for (QLabel *handle : {Image1, Image3}) {
        handle->setCursor(Qt::PointingHandCursor);
        handle->installEventFilter(&handleFilter);
        // Its click that matters is the right one: it rolls the window.
        ControlAccessibility::describe(handle, ControlAccessibility::Role::Button, Qt::RightButton);
    }
    for (QWidget *control : std::initializer_list<QWidget *>{Panel1, Image1, Image3})
        control->setGeometry(MainWindowLayout::placeOf(control->objectName()));
}

void MainWindowUi::setupPageArea(QWidget &form, QObject &editorFilter)
{
    Label1 = createCaption(&form, "Label1", Qt::AlignLeft);
    Label2 = createCaption(&form, "Label2", Qt::AlignRight);

    RichEdit1 = new NoteEditor(&form);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->hide();
    RichEdit1->installEventFilter(&editorFilter);
    RichEdit1->viewport()->installEventFilter(&editorFilter);

    Edit2 = new PassCellField(&form);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setFont(QFont(QStringLiteral("Arial"), 10, QFont::Bold));
    Edit2->hide();

    StringGrid1 = new PassGrid(Edit2, &form);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->hide();

    VaultLock = new VaultLockPanel(&form);
    VaultLock->hide();
}

// Colours and glyphs come from paint, hints from setTexts, places from the
// layout; the alarm area's buttons sit in the window.
void MainWindowUi::setupToolbar(QWidget &form)
{
    for (int number = 1; number <= ToolbarButtonCount; ++number) {
        const bool inAlarmArea = number == 12 || number == 13;
        auto *button = new TFarbButton(inAlarmArea ? &form : Panel1);
        button->setObjectName(QStringLiteral("FarbButton%1").arg(number));
        m_toolbar[number - 1] = button;
    }
    FarbButton1 = toolbarButton(1);
    FarbButton7 = toolbarButton(7);
    FarbButton16 = toolbarButton(16);
    FarbButton17 = toolbarButton(17);
    FarbButton17->setCaption(QStringLiteral("?"));
    ControlAccessibility::describe(FarbButton16, ControlAccessibility::Role::CheckBox);

    Label3 = createCaption(Panel1, "Label3", Qt::AlignHCenter);
    Label3->setFont(QFont(QStringLiteral("Arial"), 8, QFont::Bold));

    ClickLabel *pictures[3] = {};
    for (int i = 0; i < 3; ++i) {
        pictures[i] = new ClickLabel(Panel1);
        pictures[i]->setObjectName(QStringLiteral("Image%1").arg(4 + i));
        ControlAccessibility::describe(pictures[i], ControlAccessibility::Role::CheckBox);
    }
    Image4 = pictures[0];
    Image5 = pictures[1];
    Image6 = pictures[2];
}

void MainWindowUi::setupStylePictures(QWidget &form)
{
    for (int i = 0; i < int(std::size(kStylePictureSlots)); ++i) {
        auto *picture = new QLabel(&form);
        picture->setObjectName(QStringLiteral("Image%1").arg(kFirstStylePicture + i));
        m_stylePictures.append(picture);
        m_styleArtwork.append(Bitmaps::stylePicture(kStylePictureSlots[i].style, kStylePictureSlots[i].on));
    }
}

void MainWindowUi::showLateControls(QWidget &form)
{
    QList<QWidget *> parents{&form};
    while (!parents.isEmpty()) {
        for (QObject *child : parents.takeFirst()->children()) {
            auto *control = qobject_cast<QWidget *>(child);
            if (!control || control->isWindow())
                continue;
            if (control->isVisible())
                parents.append(control);
            else if (!control->testAttribute(Qt::WA_WState_ExplicitShowHide))
                control->show();
        }
    }
}

void MainWindowUi::showView(bool notes, bool locked)
{
    for (QWidget *noteControl : std::initializer_list<QWidget *>{RichEdit1, Image4, Image5, Image6, toolbarButton(8),
                                                                  toolbarButton(10), toolbarButton(12),
                                                                  toolbarButton(13)})
        noteControl->setVisible(notes);
    for (QWidget *passwordControl : std::initializer_list<QWidget *>{StringGrid1, Edit2, FarbButton16})
        passwordControl->setVisible(!notes && !locked);
    VaultLock->setVisible(!notes && locked);
    if (notes)
        RichEdit1->setFocus();
    else if (locked)
        VaultLock->focusField();
    else
        StringGrid1->setFocus();
}

void MainWindowUi::setHandlePictures(int languageIndex)
{
    const QPixmap handle = Bitmaps::pixmapFor(
        Bitmaps::bitmap(languageIndex == LanguageTables::German ? QStringLiteral("LOGOD") : QStringLiteral("LOGOE")),
        Image1->devicePixelRatio());
    Image1->setPixmap(handle);
    Image3->setPixmap(handle);
}

void MainWindowUi::setTexts(QWidget &form, int languageIndex, const ToggleState &toggles)
{
    setHandlePictures(languageIndex);
    ControlTexts::applyHints(&form, LanguageTables::mainWindowHints(), languageIndex);
    for (TFarbButton *button : m_toolbar) {
        const ToolbarFace face = toolbarFace(button->objectName(), toggles);
        if (face.stateHint)
            HintDisplay::setHint(button, StateHint(languageIndex, *face.stateHint));
    }
    QStringList headings;
    for (int column = 0; column < PassColumnCount; ++column)
        headings << LanguageTables::passwordGridHeading(column, languageIndex);
    StringGrid1->setHeadings(headings);
    StringGrid1->setLanguage(languageIndex);
    VaultLock->setLanguage(languageIndex);
}

void MainWindowUi::setShowHints(QWidget &form, bool on)
{
    for (TFarbButton *button : m_toolbar)
        HintDisplay::setShowHint(button, on);
    for (QStringView name : kHintedControls) {
        if (auto *control = form.findChild<QWidget *>(name.toString()))
            HintDisplay::setShowHint(control, on);
    }
}

// All the rolled-in window shows of the scheme.
void MainWindowUi::paintFrame(QWidget &form, const ColorScheme &scheme)
{
    setBackground(&form, scheme.BackColor);
    setBackground(Panel1, scheme.BarColor);
}

void MainWindowUi::paint(QWidget &form, const ColorScheme &scheme, const ToggleState &toggles)
{
    paintFrame(form, scheme);
    for (QWidget *page : std::initializer_list<QWidget *>{RichEdit1, Edit2})
        setBackground(page, scheme.BackColor);
    StringGrid1->setColors(WinColor::toQColor(scheme.BackColor), WinColor::toQColor(scheme.BarColor));
    VaultLock->setColors(WinColor::toQColor(scheme.BackColor), Qt::black);
    for (QWidget *bar : std::initializer_list<QWidget *>{Label1, Label2, Label3})
        setBackground(bar, scheme.BarColor);
    // A button builds its glyph images on its colour: assign the glyph
    // again after the colour so that none keeps the old background.
    for (TFarbButton *button : m_toolbar) {
        button->setColor(scheme.ButtonColor);
        const QString glyph = toolbarFace(button->objectName(), toggles).glyph;
        if (!glyph.isEmpty())
            button->setGlyph(Bitmaps::bitmap(glyph));
    }
    fillStylePictures(scheme);
}

// Each picture shows its style on or off, in the colours of the pictures
// the scheme last filled.
void MainWindowUi::showStyle(const CharStyle &style)
{
    const std::pair<ClickLabel *, bool> shown[] = {
        {Image4, style.bold}, {Image5, style.italic}, {Image6, style.underline}};
    for (int i = 0; i < 3; ++i) {
        shown[i].first->setPixmap(m_stylePictures[2 * i + (shown[i].second ? 1 : 0)]->pixmap());
        ControlAccessibility::setChecked(shown[i].first, shown[i].second);
    }
}

// Always from the artwork: once filled in black, a picture would stop
// every later fill at its first pixel.
void MainWindowUi::fillStylePictures(const ColorScheme &scheme)
{
    for (int i = 0; i < m_styleArtwork.size(); ++i) {
        const StylePictureSlot &slot = kStylePictureSlots[i];
        const TColor color = slot.on ? scheme.BackColor : scheme.ButtonColor;
        m_stylePictures[i]->setPixmap(Bitmaps::pixmapFor(
            ColorSchemes::filledStylePicture(m_styleArtwork[i], color, slot.style == TextStyle::Italic),
            m_stylePictures[i]->devicePixelRatio()));
    }
}

// Past 999 the text outgrows its 40 pixels; it widens about its centre
// rather than lose digits.
void MainWindowUi::showPosition(const QString &text)
{
    Label3->setText(text);
    const QRect place = MainWindowLayout::placeOf(u"Label3");
    const int needed = Label3->fontMetrics().horizontalAdvance(Label3->text()) + 4;
    const int width = std::max(place.width(), needed);
    Label3->setGeometry(place.center().x() + 1 - width / 2, place.y(), width, place.height());
}

void MainWindowUi::showNoteCaptions(const WindowSettings &settings)
{
    Label1->setText(Captions::pageCaption(settings.Note, settings.NoteTitle[settings.Note]));
    Label2->setText(Captions::alarmCaption(Alarm::shownText(settings.AlarmText[settings.Note])));
}

void MainWindowUi::showPassCaptions(const WindowSettings &settings)
{
    Label1->setText(Captions::pageCaption(settings.Pass, settings.PassTitle[settings.Pass]));
    Label2->clear();
}

void MainWindowUi::showCaptions(const WindowSettings &settings)
{
    if (settings.DisplayNP == 0)
        showNoteCaptions(settings);
    else
        showPassCaptions(settings);
}
