#pragma once

#include <QLabel>

// A picture that works as a button: the bold, italic and underline
// switches. It never takes the focus, so the editor keeps it.
class StylePicture : public QLabel
{
    Q_OBJECT

public:
    explicit StylePicture(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

// Gives the colour buttons and the style pictures the accessible role of
// a button; their name is their hint. Safe to call more than once.
void installButtonAccessibility();
