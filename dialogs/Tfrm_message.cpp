#include "dialogs/Tfrm_message.h"

#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"
#include <QLabel>

Tfrm_message *frm_message = nullptr;

// Shell until the message box lands.
Tfrm_message::Tfrm_message(QWidget *parent) : QDialog(parent) {
    setObjectName("frm_message");
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Left_BitBtnWithColor = new TBitBtnWithColor(this);
    Left_BitBtnWithColor->setObjectName("Left_BitBtnWithColor");
    Left_BitBtnWithColor->SetModalResult(mrYes);
    Center_BitBtnWithColor = new TBitBtnWithColor(this);
    Center_BitBtnWithColor->setObjectName("Center_BitBtnWithColor");
    Center_BitBtnWithColor->SetModalResult(mrNo);
    Right_BitBtnWithColor = new TBitBtnWithColor(this);
    Right_BitBtnWithColor->setObjectName("Right_BitBtnWithColor");
    Right_BitBtnWithColor->SetModalResult(mrCancel);
}
Tfrm_message::~Tfrm_message() = default;
void Tfrm_message::Set1Button() {}
void Tfrm_message::Set2Buttons() {}
void Tfrm_message::Set3Buttons() {}
