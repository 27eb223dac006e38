#include "dialogs/Tfrm_lastq.h"

#include "dialogs/LearnerDialogSupport.h"
#include "dialogs/ui_Tfrm_lastq.h"
#include "platform/BesideFiles.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"

Tfrm_lastq *frm_lastq = nullptr;

Tfrm_lastq::Tfrm_lastq(QWidget *parent) : QDialog(parent), ui(new Ui::Tfrm_lastq) {
    ui->setupUi(this);
    Image1 = ui->Image1;
    Panel2 = ui->Panel2;
    Label1 = ui->Label1;
    Label2 = ui->Label2;
    Panel3 = ui->Panel3;
    BitBtnWithColor1 = ui->BitBtnWithColor1;

    resize(590, 474);
    PaintWhite(this);
    PaintWhite(Panel2);
    PaintWhite(Panel3);
    KeepOwnFont(Label1);
    KeepOwnFont(BitBtnWithColor1);
    BitBtnWithColor1->SetColor(Qt::white);
    Label2->clear();

    connect(BitBtnWithColor1, &QPushButton::clicked, this, &Tfrm_lastq::BitBtnWithColor1Click);

    FormCreate();
}

Tfrm_lastq::~Tfrm_lastq() {
    delete ui;
}

void Tfrm_lastq::FormCreate() {
    Image1->setPixmap(LoadBesidePicture(BesidePath("elements/logo.bmp")));
    setWindowTitle(ReadScrambledLines(BesidePath("elements/main.txt"), 1).value(0));
}

void Tfrm_lastq::showEvent(QShowEvent *event) {
    CentreOverMainWindow(this);
    QDialog::showEvent(event);
}

void Tfrm_lastq::BitBtnWithColor1Click() {
    close();
}

void Tfrm_lastq::reject() {
    done(mrCancel);
}
