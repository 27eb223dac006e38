#pragma once

#include <QFrame>

// A panel framed by a lowered outer and a raised inner bevel. The bevel width is
// switched between 1 and 2 to highlight the panel under the mouse.
class TBevelPanel : public QFrame {
    Q_OBJECT
public:
    explicit TBevelPanel(QWidget *parent = nullptr);

    int BevelWidth() const { return bevelWidth; }
    void SetBevelWidth(int width);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int bevelWidth = 1;
};
