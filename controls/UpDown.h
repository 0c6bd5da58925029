#pragma once

#include <QWidget>

class QToolButton;

// A horizontal up-down: two arrow buttons, no field. A press asks for one
// step; whoever listens decides and moves the position, so a step that is
// refused leaves everything as it was. Held down, the arrows repeat.
class TUpDown : public QWidget
{
    Q_OBJECT

public:
    explicit TUpDown(QWidget *parent = nullptr);

    int position() const { return m_position; }
    // Does not ask for a step: only the arrows do.
    void setPosition(int position) { m_position = position; }

signals:
    // +1 for the right arrow, -1 for the left one.
    void stepRequested(int direction);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *m_down;
    QToolButton *m_up;
    int m_position = 0;
};
