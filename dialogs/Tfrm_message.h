#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPoint>

class QLabel;
class TBitBtnWithColor;
namespace Ui {
class Tfrm_message;
}

// The program's own message box: caption, one text, one to three coloured buttons;
// exec() answers mrYes (left), mrNo (centre) or mrCancel (right, or the title bar).
// Escape does nothing. Texts may begin with LF CR; each such pair is one line break.
// A text too long for the designed 282 x 119 box widens it and then wraps; the buttons
// move with the growth. A text that fits leaves the designed box as it is.
class Tfrm_message : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_message(QWidget *parent = nullptr);
    ~Tfrm_message() override;

    void Set1Button();
    void Set2Buttons();
    void Set3Buttons();

    void Left_BitBtnWithColorClick();
    void Center_BitBtnWithColorClick();
    void Right_BitBtnWithColorClick();

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    TBitBtnWithColor *Left_BitBtnWithColor = nullptr;
    TBitBtnWithColor *Center_BitBtnWithColor = nullptr;
    TBitBtnWithColor *Right_BitBtnWithColor = nullptr;

    void setVisible(bool visible) override;

public slots:
    void reject() override;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void PaintLabel1();
    void FitToText();
    void ShiftButtons(QPoint shift);
    void CentreOnScreen();

    Ui::Tfrm_message *ui;
    QPoint buttonShift;      // how far the buttons are from where Set1Button..Set3Buttons put them
    QPixmap designedPicture; // the emblem, shown unless the box reports an error
};

extern Tfrm_message *frm_message;
