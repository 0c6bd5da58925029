#include "controls/FarbButton.h"

#include "controls/ButtonPlacement.h"
#include "controls/PixelFrame.h"

#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QVariant>

namespace {

constexpr int kLightPercent = 10;
constexpr int kShadowPercent = -35;
constexpr int kDarkPercent = -55;

QRect paintRing(QPainter &painter, const QRect &r, TColor topLeft, TColor bottomRight)
{
    return PixelFrame::paintRing(painter, r, WinColor::toQColor(topLeft), WinColor::toQColor(bottomRight));
}

} // namespace

TFarbButton::TFarbButton(QWidget *parent)
    : QWidget(parent)
    , m_glyph([this] { update(); })
{
    setGeometry(0, 0, 20, 20);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Mouse moves are reported also while no button is held.
    setMouseTracking(true);
    updateDerivedColors();
}

TFarbButton::~TFarbButton() = default;

void TFarbButton::setAllowAllUp(bool allow)
{
    if (allow == m_allowAllUp)
        return;
    m_allowAllUp = allow;
    notifyGroup();
}

void TFarbButton::setBorderStyle(TBorderStyle style)
{
    if (style == m_borderStyle)
        return;
    m_borderStyle = style;
    update();
}

void TFarbButton::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    updateAccelerator();
    update();
}

void TFarbButton::setColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    updateDerivedColors();
    // The built glyph images carry the old colour as their background.
    m_glyph.discardImages();
    update();
}

void TFarbButton::setDown(bool down)
{
    if (m_groupIndex == 0)
        down = false;
    if (down == m_down)
        return;
    if (m_down && !m_allowAllUp)
        return;
    m_down = down;
    m_faceState = down ? FaceState::Latched : FaceState::Up;
    update();
    if (down)
        notifyGroup();
}

void TFarbButton::setGlyph(const QImage &bitmap)
{
    // The holder's change callback invalidates the button.
    m_glyph.setBitmap(bitmap);
}

void TFarbButton::setGroupIndex(int index)
{
    if (index == m_groupIndex)
        return;
    m_groupIndex = index;
    // Only a button of a group can stay down.
    if (index == 0 && m_down) {
        m_down = false;
        m_faceState = FaceState::Up;
        update();
    }
    notifyGroup();
}

void TFarbButton::setButtonLayout(TButtonLayout layout)
{
    if (layout == m_layout)
        return;
    m_layout = layout;
    update();
}

void TFarbButton::setMargin(int margin)
{
    if (margin < -1 || margin == m_margin)
        return;
    m_margin = margin;
    update();
}

void TFarbButton::setNumGlyphs(int count)
{
    m_glyph.setNumGlyphs(count);
}

bool TFarbButton::parentFont() const
{
    return !testAttribute(Qt::WA_SetFont);
}

void TFarbButton::setParentFont(bool inherit)
{
    if (inherit == parentFont())
        return;
    if (inherit) {
        setFont(QFont());
    } else {
        QFont own = font();
        own.setResolveMask(QFont::AllPropertiesResolved);
        setFont(own);
    }
}

bool TFarbButton::showHint() const
{
    if (!m_parentShowHint)
        return m_showHint;
    const QVariant inherited = parentWidget() ? parentWidget()->property("ShowHint") : QVariant();
    return inherited.isValid() ? inherited.toBool() : true;
}

void TFarbButton::setShowHint(bool show)
{
    m_showHint = show;
    m_parentShowHint = false;
}

void TFarbButton::setParentShowHint(bool inherit)
{
    m_parentShowHint = inherit;
}

void TFarbButton::setSpacing(int spacing)
{
    if (spacing == m_spacing)
        return;
    m_spacing = spacing;
    update();
}

QSize TFarbButton::sizeHint() const
{
    return QSize(20, 20);
}

void TFarbButton::click()
{
    emit clicked();
}

bool TFarbButton::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Shortcut:
        if (triggerAccelerator(event))
            return true;
        break;
    case QEvent::ToolTip:
        if (!showHint()) {
            event->accept();
            return true;
        }
        break;
    case QEvent::Polish:
    case QEvent::EnabledChange:
        // Have the image ready before the first paint in the new state.
        m_glyph.buildImage(isEnabled() ? FaceState::Up : FaceState::Disabled, glyphColors());
        update();
        break;
    case QEvent::FontChange:
        update();
        break;
    case QEvent::PaletteChange:
        // Sent to every widget that takes its colours from the application
        // when the system colours change, and on a palette of its own.
        systemColorsChanged();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TFarbButton::paintEvent(QPaintEvent *)
{
    resolveFaceState();
    QPainter painter(this);
    QRect content = paintFrame(painter);
    if (m_faceState == FaceState::Down)
        content.translate(1, 1);
    const ButtonPlacement placement = ButtonPlacement::compute(
        content, m_glyph.imageSize(), captionSize(content), m_layout, m_margin, m_spacing);
    m_glyph.draw(painter, placement.glyphPos, m_faceState, glyphColors());
    paintCaption(painter, placement.textRect);
}

void TFarbButton::mousePressEvent(QMouseEvent *event)
{
    emit mouseDown(event->button(), event->modifiers(), event->position().toPoint());
    if (event->button() == Qt::LeftButton && isEnabled())
        pressLeft();
}

void TFarbButton::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMove(event->modifiers(), event->position().toPoint());
    if (!m_dragging)
        return;
    FaceState state = FaceState::Up;
    if (m_down)
        state = FaceState::Latched;
    else if (isInside(event->position()))
        state = FaceState::Down;
    if (state != m_faceState) {
        m_faceState = state;
        repaint();
    }
}

void TFarbButton::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseUp(event->button(), event->modifiers(), event->position().toPoint());
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    const bool inside = isInside(event->position());
    if (inside && m_groupIndex != 0)
        setDown(!m_down);
    // A down button whose group refused to let it up shows latched again.
    m_faceState = m_down ? FaceState::Latched : FaceState::Up;
    repaint();
    if (inside)
        click();
}

void TFarbButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click is a press like the first.
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton && m_down)
        emit doubleClicked();
}

void TFarbButton::pressLeft()
{
    if (!m_down) {
        m_faceState = FaceState::Down;
        repaint();
    }
    m_dragging = true;
}

bool TFarbButton::isInside(QPointF pos) const
{
    return pos.x() >= 0 && pos.x() < width() && pos.y() >= 0 && pos.y() < height();
}

void TFarbButton::resolveFaceState()
{
    if (!isEnabled()) {
        m_faceState = FaceState::Disabled;
        m_dragging = false;
    } else if (m_faceState == FaceState::Disabled) {
        m_faceState = m_down ? FaceState::Latched : FaceState::Up;
    }
}

// The optional black outline, the two bevel rings and the face; returns the
// content rectangle, which keeps one pixel of face on its left and top and
// two on its right and bottom.
QRect TFarbButton::paintFrame(QPainter &painter) const
{
    QRect r = rect();
    if (m_borderStyle == bsSingle)
        r = paintRing(painter, r, WinColor::Black, WinColor::Black);
    if (m_faceState == FaceState::Down) {
        r = paintRing(painter, r, m_darkColor, WinColor::White);
        r = paintRing(painter, r, m_shadowColor, m_lightColor);
    } else {
        r = paintRing(painter, r, WinColor::White, m_darkColor);
        r = paintRing(painter, r, m_lightColor, m_shadowColor);
    }
    painter.fillRect(r, WinColor::toQColor(m_color));
    return QRect(r.left() + 1, r.top() + 1, r.width() - 3, r.height() - 3);
}

void TFarbButton::paintCaption(QPainter &painter, const QRect &textRect) const
{
    if (m_caption.isEmpty())
        return;
    QFont canvasFont = font();
    canvasFont.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(canvasFont);
    if (m_faceState == FaceState::Disabled) {
        painter.setPen(WinColor::toQColor(WinColor::White));
        painter.drawText(textRect.translated(1, 1), Qt::TextShowMnemonic, m_caption);
        painter.setPen(WinColor::toQColor(WinColor::Gray));
        painter.drawText(textRect, Qt::TextShowMnemonic, m_caption);
    } else {
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic,
                         m_caption);
    }
}

// The caption's extent in the button's font; lines break only at line
// breaks, so it may be wider than the content.
QSize TFarbButton::captionSize(const QRect &content) const
{
    if (m_caption.isEmpty())
        return QSize(0, 0);
    return fontMetrics().boundingRect(QRect(0, 0, content.width(), 0), Qt::TextShowMnemonic, m_caption).size();
}

GlyphColors TFarbButton::glyphColors() const
{
    return GlyphColors{m_color, m_shadowColor};
}

void TFarbButton::updateDerivedColors()
{
    m_lightColor = ShadeColor(m_color, kLightPercent);
    m_shadowColor = ShadeColor(m_color, kShadowPercent);
    m_darkColor = ShadeColor(m_color, kDarkPercent);
}

void TFarbButton::systemColorsChanged()
{
    // A system colour as Color now stands for another value.
    updateDerivedColors();
    m_glyph.discardImages();
    m_glyph.buildImage(m_faceState, glyphColors());
    update();
}

void TFarbButton::updateAccelerator()
{
    if (m_acceleratorId != 0)
        releaseShortcut(m_acceleratorId);
    m_acceleratorId = 0;
    const QKeySequence accelerator = QKeySequence::mnemonic(m_caption);
    if (!accelerator.isEmpty())
        m_acceleratorId = grabShortcut(accelerator);
}

bool TFarbButton::triggerAccelerator(QEvent *event)
{
    const auto *shortcut = static_cast<QShortcutEvent *>(event);
    if (m_acceleratorId == 0 || shortcut->shortcutId() != m_acceleratorId || !isEnabled())
        return false;
    click();
    return true;
}

void TFarbButton::notifyGroup()
{
    if (!parentWidget())
        return;
    const auto siblings = parentWidget()->findChildren<TFarbButton *>(Qt::FindDirectChildrenOnly);
    for (TFarbButton *sibling : siblings) {
        if (sibling != this)
            sibling->receiveGroupNotification(m_groupIndex, this);
    }
}

void TFarbButton::receiveGroupNotification(int groupIndex, const TFarbButton *sender)
{
    if (groupIndex != m_groupIndex)
        return;
    if (sender->isDown() && m_down) {
        m_down = false;
        m_faceState = FaceState::Up;
        update();
    }
    m_allowAllUp = sender->allowAllUp();
}
