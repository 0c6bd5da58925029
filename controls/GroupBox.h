#pragma once

#include <QGroupBox>

// A group box whose title sits on its frame's top line, so that controls
// placed at fixed positions just below the title keep clear of the frame.
class TGroupBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit TGroupBox(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
