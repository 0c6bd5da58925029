#pragma once

#include "controls/ButtonGlyph.h"
#include "controls/ButtonTypes.h"
#include "controls/WinColor.h"

#include <QImage>
#include <QWidget>

// A push button drawn in any colour: a two-ring bevel in white and three
// shades of its colour, an optional glyph and caption. Buttons of one parent
// that share a non-zero GroupIndex latch like radio buttons. It never takes
// the keyboard focus and clicks when the left button is released over it.
class TFarbButton : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool AllowAllUp READ allowAllUp WRITE setAllowAllUp)
    Q_PROPERTY(TBorderStyle BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(TColor Color READ color WRITE setColor)
    Q_PROPERTY(bool Down READ isDown WRITE setDown)
    Q_PROPERTY(QImage Glyph READ glyph WRITE setGlyph)
    Q_PROPERTY(int GroupIndex READ groupIndex WRITE setGroupIndex)
    Q_PROPERTY(TButtonLayout Layout READ buttonLayout WRITE setButtonLayout)
    Q_PROPERTY(int Margin READ margin WRITE setMargin)
    Q_PROPERTY(int NumGlyphs READ numGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(bool ParentFont READ parentFont WRITE setParentFont)
    Q_PROPERTY(bool ParentShowHint READ parentShowHint WRITE setParentShowHint)
    Q_PROPERTY(bool ShowHint READ showHint WRITE setShowHint)
    Q_PROPERTY(int Spacing READ spacing WRITE setSpacing)

public:
    explicit TFarbButton(QWidget *parent = nullptr);
    ~TFarbButton() override;

    bool allowAllUp() const { return m_allowAllUp; }
    void setAllowAllUp(bool allow);

    TBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle style);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    TColor color() const { return m_color; }
    void setColor(TColor color);

    bool isDown() const { return m_down; }
    void setDown(bool down);

    QImage glyph() const { return m_glyph.bitmap(); }
    void setGlyph(const QImage &bitmap);

    int groupIndex() const { return m_groupIndex; }
    void setGroupIndex(int index);

    TButtonLayout buttonLayout() const { return m_layout; }
    void setButtonLayout(TButtonLayout layout);

    int margin() const { return m_margin; }
    void setMargin(int margin);

    int numGlyphs() const { return m_glyph.numGlyphs(); }
    void setNumGlyphs(int count);

    bool parentFont() const;
    void setParentFont(bool inherit);

    bool showHint() const;
    void setShowHint(bool show);
    bool parentShowHint() const { return m_parentShowHint; }
    void setParentShowHint(bool inherit);

    int spacing() const { return m_spacing; }
    void setSpacing(int spacing);

    FaceState faceState() const { return m_faceState; }

    QSize sizeHint() const override;

public slots:
    // Fires clicked(), as a release over the button does.
    void click();

signals:
    void clicked();
    // A double click; only while the button is down.
    void doubleClicked();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseMove(Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void pressLeft();
    bool isInside(QPointF pos) const;
    void resolveFaceState();
    QRect paintFrame(QPainter &painter) const;
    void paintCaption(QPainter &painter, const QRect &textRect) const;
    QSize captionSize(const QRect &content) const;
    GlyphColors glyphColors() const;
    void updateDerivedColors();
    void systemColorsChanged();
    void updateAccelerator();
    bool triggerAccelerator(QEvent *event);
    bool showToolTip(QEvent *event);
    void notifyGroup();
    void receiveGroupNotification(int groupIndex, const TFarbButton *sender);

    TColor m_color = WinColor::ButtonFace;
    TColor m_lightColor = 0;
    TColor m_shadowColor = 0;
    TColor m_darkColor = 0;
    TButtonGlyph m_glyph;
    QString m_caption;
    TBorderStyle m_borderStyle = bsNone;
    TButtonLayout m_layout = blGlyphLeft;
    int m_margin = -1;
    int m_spacing = 4;
    int m_groupIndex = 0;
    bool m_allowAllUp = false;
    bool m_down = false;
    bool m_dragging = false;
    bool m_showHint = true;
    bool m_parentShowHint = true;
    FaceState m_faceState = FaceState::Up;
    int m_acceleratorId = 0;
};
