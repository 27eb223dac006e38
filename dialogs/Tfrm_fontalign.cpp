#include "dialogs/Tfrm_fontalign.h"

#include "dialogs/LearnerDialogSupport.h"
#include "dialogs/ui_Tfrm_fontalign.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"

Tfrm_fontalign *frm_fontalign = nullptr;
unsigned char ChosenAlignment = 2;

Tfrm_fontalign::Tfrm_fontalign(QWidget *parent) : QDialog(parent), ui(new Ui::Tfrm_fontalign) {
    LoadLearnerDialogResources();
    ui->setupUi(this);
    Image1 = ui->Image1;
    Image2 = ui->Image2;
    Image3 = ui->Image3;
    OK = ui->OK;
    Cancel = ui->Cancel;
    PaintWhite(this);

    for (const char *name : {"align_left", "align_left_on", "align_centre", "align_centre_on",
                             "align_right", "align_right_on"})
        ImageList1.append(QPixmap(QStringLiteral(":/learner_dialogs/images/%1.png").arg(name)));

    OK->SetModalResult(mrYes);
    OK->SetColor(Qt::white);
    Cancel->SetModalResult(mrNo);
    Cancel->SetColor(Qt::white);
    setTabOrder(OK, Cancel);

    OnClick(Image1, [this] { Image1Click(); });
    OnClick(Image2, [this] { Image2Click(); });
    OnClick(Image3, [this] { Image3Click(); });
}

Tfrm_fontalign::~Tfrm_fontalign() {
    delete ui;
}

void Tfrm_fontalign::showEvent(QShowEvent *event) {
    CentreOverMainWindow(this);
    FormShow();
    QDialog::showEvent(event);
    OK->setFocus();
}

void Tfrm_fontalign::FormShow() {
    switch (ChosenAlignment) {
    case 0:
        ShowPictures(1, 2, 4);
        break;
    case 2:
        ShowPictures(0, 3, 4);
        break;
    case 1:
        ShowPictures(0, 2, 5);
        break;
    default:
        break; // an unknown value leaves the pictures as they were
    }
}

void Tfrm_fontalign::ShowPictures(int left, int centre, int right) {
    Image1->setPixmap(ImageList1.value(left));
    Image2->setPixmap(ImageList1.value(centre));
    Image3->setPixmap(ImageList1.value(right));
}

void Tfrm_fontalign::Image1Click() {
    ChosenAlignment = 0;
    ShowPictures(1, 2, 4);
}

void Tfrm_fontalign::Image2Click() {
    ChosenAlignment = 2;
    ShowPictures(0, 3, 4);
}

void Tfrm_fontalign::Image3Click() {
    ChosenAlignment = 1;
    ShowPictures(0, 2, 5);
}

void Tfrm_fontalign::reject() {
    done(mrCancel);
}
