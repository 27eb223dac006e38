#pragma once

#include <QDialog>

class QLabel;
class TBitBtnWithColor;

// The program's own message box: caption, one text, one to three coloured buttons;
// exec() answers mrYes (left), mrNo (centre) or mrCancel (right, or the title bar).
class Tfrm_message : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_message(QWidget *parent = nullptr);
    ~Tfrm_message() override;

    void Set1Button();
    void Set2Buttons();
    void Set3Buttons();

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    TBitBtnWithColor *Left_BitBtnWithColor = nullptr;
    TBitBtnWithColor *Center_BitBtnWithColor = nullptr;
    TBitBtnWithColor *Right_BitBtnWithColor = nullptr;
};

extern Tfrm_message *frm_message;
