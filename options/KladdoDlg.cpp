#include "options/KladdoDlg.h"

#include "controls/ClickLabel.h"
#include "controls/ControlPlaces.h"
#include "controls/GroupBox.h"
#include "controls/UpDown.h"
#include "options/AtHandTexts.h"
#include "options/ColorSchemes.h"
#include "options/ColumnBoundary.h"
#include "options/ControlTexts.h"
#include "options/LanguageTables.h"
#include "options/MainWindowLink.h"
#include "resources/Bitmaps.h"
#include "settings/WindowSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>

#include <cmath>

using namespace LanguageTables;

namespace {

using ControlPlaces::Place;

constexpr Place kPlaces[] = {
    {u"OKBtn", QRect(147, 317, 75, 25)},
    {u"PageControl1", QRect(2, 2, 367, 309)},
    // Settings page
    {u"GroupBox2", QRect(8, 8, 169, 65)},
    {u"RadioButton1", QRect(8, 20, 81, 17)},
    {u"RadioButton2", QRect(8, 40, 73, 17)},
    {u"GroupBox1", QRect(184, 8, 169, 65)},
    {u"RadioButton3", QRect(8, 20, 113, 17)},
    {u"RadioButton4", QRect(8, 40, 113, 17)},
    {u"GroupBox3", QRect(8, 80, 345, 121)},
    {u"Label1", QRect(8, 20, 329, 13)},
    {u"TrackBar1", QRect(4, 36, 337, 17)},
    {u"ComboBoxEx1", QRect(8, 59, 161, 22)},
    {u"ComboBoxEx2", QRect(8, 59, 161, 22)},
    {u"CheckBox1", QRect(184, 64, 145, 17)},
    {u"Label3", QRect(8, 96, 49, 13)},
    {u"Label4", QRect(64, 96, 49, 13)},
    {u"Label5", QRect(120, 96, 49, 13)},
    {u"GroupBox7", QRect(8, 208, 169, 65)},
    {u"Label11", QRect(8, 18, 38, 13)},
    {u"Label14", QRect(53, 18, 38, 13)},
    {u"UpDown1", QRect(8, 35, 38, 21)},
    {u"UpDown2", QRect(53, 35, 38, 21)},
    {u"Button1", QRect(100, 35, 59, 21)},
    {u"GroupBox5", QRect(183, 208, 169, 65)},
    {u"ComboBox1", QRect(8, 35, 152, 21)},
    // Info page
    {u"VaultText", QRect(8, 8, 343, 65)},
    {u"VaultButton", QRect(8, 80, 169, 25)},
    // Key and start page
    {u"GroupBox8", QRect(8, 8, 345, 97)},
    {u"Label15", QRect(8, 18, 329, 28)},
    {u"KeyEdit", QRect(8, 52, 161, 21)},
    {u"KeyState", QRect(176, 50, 161, 40)},
    {u"GroupBox9", QRect(8, 112, 345, 89)},
    {u"CheckBox2", QRect(8, 20, 329, 17)},
    {u"LoginState", QRect(8, 42, 329, 40)},
    {u"Label9", QRect(8, 8, 343, 85)},
    {u"Label10", QRect(8, 96, 343, 35)},
};

constexpr int kMinTransparency = 10;
constexpr int kMaxTransparency = 100;
constexpr TColor kBlackReplacement = WinColor::Gray;
constexpr int kUserPaletteItem = ColorSchemes::UserPalette - 1;
constexpr int WindowSettings::*kUserColors[] = {&WindowSettings::Color1, &WindowSettings::Color2,
                                               &WindowSettings::Color3};
constexpr const char *kColorLabelNames[] = {"Label3", "Label4", "Label5"};

template <typename Control>
Control *named(Control *control, const char *name)
{
    control->setObjectName(QLatin1StringView(name));
    return control;
}

QFont pixelFont(const QString &family, int pixels, bool underline = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(true);
    font.setUnderline(underline);
    return font;
}

// The list item's swatch: the palette's bar colour, white for the user's,
// framed in black, drawn for each common device pixel ratio so that the
// list stays sharp on whichever screen it opens.
QIcon paletteSwatch(int palette)
{
    QImage swatch(16, 16, QImage::Format_RGB32);
    swatch.fill(palette == ColorSchemes::UserPalette
                    ? Qt::white
                    : WinColor::toQColor(ColorSchemes::FixedPalettes[std::size_t(palette - 1)].BarColor));
    QPainter(&swatch).drawRect(0, 0, 15, 15);
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0, 3.0})
        icon.addPixmap(Bitmaps::pixmapFor(swatch, ratio));
    return icon;
}

QComboBox *paletteList(QWidget *parent, const char *name, int languageIndex)
{
    auto *list = named(new QComboBox(parent), name);
    list->setIconSize(QSize(16, 16));
    list->setMaxVisibleItems(8);
    const QStringList names = paletteNames(languageIndex);
    for (int item = 0; item < names.size(); ++item)
        list->addItem(paletteSwatch(item + 1), names[item]);
    return list;
}

// Alpha and track bar position in percent, truncated toward zero.
int transparencyPosition(int alpha)
{
    return std::clamp(int(std::trunc(alpha * 100.0 / 255.0)), kMinTransparency, kMaxTransparency);
}

int alphaFor(int position)
{
    return int(std::trunc(position * 255.0 / 100.0));
}

} // namespace

template <typename Sender, typename Signal>
void TKladdoDlg::connectGuarded(const Sender *sender, Signal signal, void (TKladdoDlg::*handler)())
{
    connect(sender, signal, this, [this, handler] {
        m_mainWindow.runGuarded([this, handler] { (this->*handler)(); });
    });
}

TKladdoDlg::TKladdoDlg(MainWindowLink &mainWindow, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("KladdoDlg"));
    setModal(true);
    setFixedSize(ClientWidth, ClientHeight);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    createControls();
    const QStringList unplaced = ControlPlaces::apply(this, kPlaces);
    Q_ASSERT_X(unplaced.isEmpty(), "TKladdoDlg", qPrintable(unplaced.join(u' ')));
    connectHandlers();
    FormCreate();
}

void TKladdoDlg::createControls()
{
    auto *pages = named(new QTabWidget(this), "PageControl1");
    auto *settingsPage = named(new QWidget, "TabSheet1");
    auto *vaultPage = named(new QWidget, "TabSheet2");
    auto *atHandPage = named(new QWidget, "TabSheet4");
    auto *infoPage = named(new QWidget, "TabSheet3");
    pages->addTab(settingsPage, QString());
    pages->addTab(vaultPage, QString());
    pages->addTab(atHandPage, QString());
    pages->addTab(infoPage, QStringLiteral("Info"));
    createSettingsPage(settingsPage);
    named(new QLabel(vaultPage), "VaultText")->setWordWrap(true);
    VaultButton = named(new QPushButton(vaultPage), "VaultButton");
    createAtHandPage(atHandPage);
    createInfoPage(infoPage);
    OKBtn = named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    OKBtn->setDefault(true);
}

void TKladdoDlg::createSettingsPage(QWidget *page)
{
    auto *language = named(new TGroupBox(page), "GroupBox2");
    RadioButton1 = named(new QRadioButton(QStringLiteral("Deutsch"), language), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("English"), language), "RadioButton2");
    auto *hints = named(new TGroupBox(page), "GroupBox1");
    RadioButton3 = named(new QRadioButton(hints), "RadioButton3");
    RadioButton4 = named(new QRadioButton(hints), "RadioButton4");

    createDesignGroup(page);

    auto *columns = named(new TGroupBox(page), "GroupBox7");
    named(new QLabel(columns), "Label11")->setAlignment(Qt::AlignCenter);
    named(new QLabel(columns), "Label14")->setAlignment(Qt::AlignCenter);
    m_upDowns = {named(new TUpDown(columns), "UpDown1"), named(new TUpDown(columns), "UpDown2")};
    Button1 = named(new QPushButton(columns), "Button1");

    auto *roll = named(new TGroupBox(page), "GroupBox5");
    // Not editable: a typed name would give no roll effect to store.
    ComboBox1 = named(new QComboBox(roll), "ComboBox1");
    ComboBox1->addItems(rollEffectNames(German));
}

void TKladdoDlg::createDesignGroup(QWidget *page)
{
    auto *design = named(new TGroupBox(page), "GroupBox3");
    design->setTitle(QStringLiteral(" Design "));
    Label1 = named(new QLabel(design), "Label1");
    TrackBar1 = named(new QSlider(Qt::Horizontal, design), "TrackBar1");
    TrackBar1->setRange(kMinTransparency, kMaxTransparency);
    TrackBar1->setPageStep(2);
    TrackBar1->setTickPosition(QSlider::NoTicks);
    ComboBoxEx1 = paletteList(design, "ComboBoxEx1", German);
    ComboBoxEx2 = paletteList(design, "ComboBoxEx2", English);
    CheckBox1 = named(new QCheckBox(design), "CheckBox1");
    for (std::size_t i = 0; i < m_colorLabels.size(); ++i) {
        ClickLabel *label = named(new ClickLabel(design), kColorLabelNames[i]);
        label->setAlignment(Qt::AlignCenter);
        label->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
        label->setCursor(Qt::PointingHandCursor);
        m_colorLabels[i] = label;
    }
}

void TKladdoDlg::createAtHandPage(QWidget *page)
{
    auto *key = named(new TGroupBox(page), "GroupBox8");
    named(new QLabel(key), "Label15")->setWordWrap(true);
    KeyEdit = named(new QKeySequenceEdit(key), "KeyEdit");
    KeyEdit->setClearButtonEnabled(true);
    KeyState = named(new QLabel(key), "KeyState");
    KeyState->setWordWrap(true);
    auto *login = named(new TGroupBox(page), "GroupBox9");
    CheckBox2 = named(new QCheckBox(login), "CheckBox2");
    LoginState = named(new QLabel(login), "LoginState");
    LoginState->setWordWrap(true);
}

void TKladdoDlg::createInfoPage(QWidget *page)
{
    auto *name = named(new QLabel(QStringLiteral("Kladdo"), page), "Label9");
    name->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    name->setFont(pixelFont(QStringLiteral("Comic Sans MS"), 64, true));
    auto *version = named(new QLabel(QStringLiteral("Version 2.0.4.1"), page), "Label10");
    version->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    version->setFont(pixelFont(QStringLiteral("Comic Sans MS"), 21));
}

// Only the user's actions reach the handlers: what the program sets itself
// is set with the signals blocked or through signals users alone cause.
void TKladdoDlg::connectHandlers()
{
    connectGuarded(RadioButton1, &QRadioButton::clicked, &TKladdoDlg::RadioButton1Click);
    connectGuarded(RadioButton2, &QRadioButton::clicked, &TKladdoDlg::RadioButton2Click);
    connectGuarded(TrackBar1, &QSlider::valueChanged, &TKladdoDlg::TrackBar1Change);
    connectGuarded(ComboBoxEx1, &QComboBox::currentIndexChanged, &TKladdoDlg::ComboBoxEx1Change);
    connectGuarded(ComboBoxEx2, &QComboBox::currentIndexChanged, &TKladdoDlg::ComboBoxEx2Change);
    connectGuarded(m_colorLabels[0], &ClickLabel::clicked, &TKladdoDlg::Label3Click);
    connectGuarded(m_colorLabels[1], &ClickLabel::clicked, &TKladdoDlg::Label4Click);
    connectGuarded(m_colorLabels[2], &ClickLabel::clicked, &TKladdoDlg::Label5Click);
    for (int boundary = 0; boundary < int(m_upDowns.size()); ++boundary) {
        connect(m_upDowns[std::size_t(boundary)], &TUpDown::stepRequested, this,
                [this, boundary](int direction) {
                    m_mainWindow.runGuarded([=, this] { moveColumnBoundary(boundary, direction); });
                });
    }
    connectGuarded(Button1, &QPushButton::clicked, &TKladdoDlg::Button1Click);
    connectGuarded(VaultButton, &QPushButton::clicked, &TKladdoDlg::VaultButtonClick);
    connectGuarded(ComboBox1, &QComboBox::currentIndexChanged, &TKladdoDlg::ComboBox1Change);
    connectGuarded(KeyEdit, &QKeySequenceEdit::editingFinished, &TKladdoDlg::KeyEditChange);
    connect(KeyEdit, &QKeySequenceEdit::keySequenceChanged, this, [this](const QKeySequence &sequence) {
        if (sequence.isEmpty())
            m_mainWindow.runGuarded([this] { KeyEditChange(); });
    });
    connectGuarded(CheckBox2, &QCheckBox::clicked, &TKladdoDlg::CheckBox2Click);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TKladdoDlg::FormCreate()
{
    move(20, 20);
    WindowSettings &settings = m_mainWindow.windowSettings();
    if (settings.Language == u"Deutsch") {
        RadioButton1->setChecked(true);
    } else {
        RadioButton2->setChecked(true);
        RadioButton2Click();
    }
    (settings.DisplayHint == 1 ? RadioButton3 : RadioButton4)->setChecked(true);
    {
        // Showing the opacity must not change it: 180 shows as 70 % and
        // stays 180 until the user moves the bar.
        const QSignalBlocker quiet(TrackBar1);
        TrackBar1->setValue(transparencyPosition(m_mainWindow.opacityAlpha()));
    }
    showTransparencyText();
    selectPalette(settings.Palette);
    for (std::size_t i = 0; i < m_colorLabels.size(); ++i) {
        int &color = settings.*kUserColors[i];
        if (color == WinColor::Black)
            color = kBlackReplacement;
        showUserColor(int(i), color);
    }
    CheckBox1->setChecked(settings.Adjust == 1);
    m_upDowns[0]->setPosition(settings.ColPos1);
    m_upDowns[1]->setPosition(settings.ColPos2);
    SpracheOk();
    KeepOnTop();
}

void TKladdoDlg::SpracheOk()
{
    const WindowSettings &settings = m_mainWindow.windowSettings();
    const int language = languageIndexFor(settings.Language);
    ControlTexts::applyCaptions(this, optionsDialogCaptions(), language);
    ComboBoxEx1->setVisible(language == German);
    ComboBoxEx2->setVisible(language != German);
    // Filled as the dialog shows, not at the program's start.
    if (isVisible()) {
        showKeyState(m_keyState);
        showLoginEntry();
    }
    showTransparencyText();
    const QStringList rollEffects = rollEffectNames(language);
    for (int item = 0; item < rollEffects.size(); ++item)
        ComboBox1->setItemText(item, rollEffects[item]);
    const QSignalBlocker quiet(ComboBox1);
    ComboBox1->setCurrentIndex(settings.RollEffect);
}

void TKladdoDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    {
        const QSignalBlocker quiet(KeyEdit);
        KeyEdit->setKeySequence(
            QKeySequence::fromString(m_mainWindow.windowSettings().GlobalKey, QKeySequence::PortableText));
    }
    showKeyState(m_mainWindow.globalKeyState());
    showLoginEntry();
}

// Only the first combination counts: a sequence of several is no key to hold.
void TKladdoDlg::KeyEditChange()
{
    const QKeySequence recorded = KeyEdit->keySequence();
    const QKeySequence key = recorded.isEmpty() ? QKeySequence() : QKeySequence(recorded[0]);
    if (key != recorded) {
        const QSignalBlocker quiet(KeyEdit);
        KeyEdit->setKeySequence(key);
    }
    const QString text = key.toString(QKeySequence::PortableText);
    m_mainWindow.windowSettings().GlobalKey = text;
    showKeyState(m_mainWindow.tryGlobalKey(text));
}

void TKladdoDlg::showKeyState(GlobalKey::State state)
{
    m_keyState = state;
    KeyState->setText(AtHandTexts::keyStateText(state, languageIndexFor(m_mainWindow.windowSettings().Language)));
}

// What the entry is after the change shows, whether or not it came about.
void TKladdoDlg::CheckBox2Click()
{
    const auto shown = qScopeGuard([this] { showLoginEntry(); });
    m_mainWindow.setLoginStart(CheckBox2->isChecked());
}

void TKladdoDlg::showLoginEntry()
{
    const LoginStart::Found found = m_mainWindow.loginStart();
    CheckBox2->setChecked(found.state == LoginStart::State::On);
    LoginState->setText(AtHandTexts::loginEntryText(found, languageIndexFor(m_mainWindow.windowSettings().Language)));
}

void TKladdoDlg::VaultButtonClick()
{
    m_mainWindow.manageVault(this);
}

// Stays-on-top is part of its window flags; raising does not activate it.
void TKladdoDlg::KeepOnTop()
{
    raise();
}

void TKladdoDlg::done(int)
{
    m_mainWindow.runGuarded([this] { OKBtnClick(); });
    QDialog::done(Accepted);
}

void TKladdoDlg::RadioButton1Click()
{
    chooseLanguage(RadioButton1->isChecked() ? QStringLiteral("Deutsch") : QStringLiteral("English"));
}

void TKladdoDlg::RadioButton2Click()
{
    chooseLanguage(RadioButton2->isChecked() ? QStringLiteral("English") : QStringLiteral("Deutsch"));
}

// The grid redraws its headings as part of the main window's texts.
void TKladdoDlg::chooseLanguage(const QString &language)
{
    m_mainWindow.windowSettings().Language = language;
    SpracheOk();
    m_mainWindow.SpracheOk();
}

void TKladdoDlg::TrackBar1Change()
{
    showTransparencyText();
    m_mainWindow.setOpacityAlpha(alphaFor(TrackBar1->value()));
}

void TKladdoDlg::showTransparencyText()
{
    Label1->setText(transparencyText(
        TrackBar1->value(), languageIndexFor(m_mainWindow.windowSettings().Language)));
}

void TKladdoDlg::ComboBoxEx1Change()
{
    paletteChosen(ComboBoxEx1, ComboBoxEx2);
}

void TKladdoDlg::ComboBoxEx2Change()
{
    paletteChosen(ComboBoxEx2, ComboBoxEx1);
}

// Choosing another palette keeps the user's colours for a later return.
void TKladdoDlg::paletteChosen(QComboBox *changed, QComboBox *other)
{
    {
        const QSignalBlocker quiet(other);
        other->setCurrentIndex(changed->currentIndex());
    }
    for (ClickLabel *label : m_colorLabels)
        label->setVisible(changed->currentIndex() == kUserPaletteItem);
    WindowSettings &settings = m_mainWindow.windowSettings();
    for (std::size_t i = 0; i < m_colorLabels.size(); ++i)
        settings.*kUserColors[i] = userColor(int(i));
    settings.Palette = ComboBoxEx1->currentIndex() + 1;
    m_mainWindow.FarbeOk();
}

// A palette outside 1-6 leaves both lists without a choice.
void TKladdoDlg::selectPalette(int palette)
{
    const bool known = palette >= ColorSchemes::FirstPalette && palette <= ColorSchemes::UserPalette;
    for (QComboBox *list : {ComboBoxEx1, ComboBoxEx2}) {
        const QSignalBlocker quiet(list);
        list->setCurrentIndex(known ? palette - 1 : -1);
    }
    for (ClickLabel *label : m_colorLabels)
        label->setVisible(ComboBoxEx1->currentIndex() == kUserPaletteItem);
}

void TKladdoDlg::showUserColor(int index, TColor color)
{
    m_userColors[std::size_t(index)] = color;
    ClickLabel *label = m_colorLabels[std::size_t(index)];
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, WinColor::toQColor(color));
    label->setPalette(palette);
}

TColor TKladdoDlg::userColor(int index) const
{
    return m_userColors[std::size_t(index)];
}

// A cancelled picker changes nothing; black is never a user colour.
void TKladdoDlg::pickUserColor(int index)
{
    const std::optional<TColor> picked = m_mainWindow.pickColor(this, userColor(index));
    if (!picked)
        return;
    const TColor color = *picked == WinColor::Black ? kBlackReplacement : *picked;
    showUserColor(index, color);
    m_mainWindow.windowSettings().*kUserColors[index] = color;
    m_mainWindow.FarbeOk();
}

void TKladdoDlg::moveColumnBoundary(int boundary, int direction)
{
    TUpDown *upDown = m_upDowns[std::size_t(boundary)];
    const std::optional<ColumnBoundary::Step> step =
        ColumnBoundary::step(m_mainWindow.passwordColumnWidths(), boundary, direction, upDown->position());
    if (!step)
        return;
    upDown->setPosition(step->position);
    m_mainWindow.setPasswordColumnWidths(step->widths);
}

void TKladdoDlg::Button1Click()
{
    using ColumnBoundary::DefaultWidth;
    m_mainWindow.setPasswordColumnWidths({DefaultWidth, DefaultWidth, DefaultWidth});
    for (TUpDown *upDown : m_upDowns)
        upDown->setPosition(DefaultWidth);
}

void TKladdoDlg::ComboBox1Change()
{
    if (ComboBox1->currentIndex() >= 0)
        m_mainWindow.windowSettings().RollEffect = ComboBox1->currentIndex();
}

void TKladdoDlg::OKBtnClick()
{
    WindowSettings &settings = m_mainWindow.windowSettings();
    settings.DisplayHint = RadioButton3->isChecked() ? 1 : 0;
    settings.Adjust = CheckBox1->isChecked() ? 1 : 0;
    const std::array<int, 3> widths = m_mainWindow.passwordColumnWidths();
    settings.ColWidth1 = widths[0];
    settings.ColWidth2 = widths[1];
    settings.ColWidth3 = widths[2];
    settings.ColPos1 = m_upDowns[0]->position();
    settings.ColPos2 = m_upDowns[1]->position();
    if (ComboBoxEx1->currentIndex() != settings.Palette - 1) {
        selectPalette(settings.Palette);
        m_mainWindow.FarbeOk();
        m_mainWindow.RichEditOk();
        m_mainWindow.RichEditFontBitOk();
    }
    m_mainWindow.SaveSettings();
}
