#include "dialogs/Tfrm_about.h"

#include "dialogs/LearnerDialogSupport.h"
#include "dialogs/ui_Tfrm_about.h"
#include "platform/BesideFiles.h"
#include "platform/LinkOpener.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"

Tfrm_about *frm_about = nullptr;
QString AboutLinkTarget;
QString ContactLinkTarget;

Tfrm_about::Tfrm_about(QWidget *parent) : QDialog(parent), ui(new Ui::Tfrm_about) {
    LoadLearnerDialogResources();
    ui->setupUi(this);
    Image3 = ui->Image3;
    Label5 = ui->Label5;
    Label7 = ui->Label7;
    Label8 = ui->Label8;
    Label6 = ui->Label6;
    BitBtnWithColor1 = ui->BitBtnWithColor1;
    Panel1 = ui->Panel1;
    Image2 = ui->Image2;
    Label1 = ui->Label1;
    Label2 = ui->Label2;

    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(418, 329);
    PaintWhite(this);
    // Labels without a stored size take the size of their text.
    for (QLabel *label : {Label5, Label8, Label1, Label2})
        label->adjustSize();

    connect(BitBtnWithColor1, &QPushButton::clicked, this, &Tfrm_about::BitBtnWithColor1Click);
    OnClick(Label6, [this] { Label6Click(); });
    OnClick(Label2, [this] { Label2Click(); });

    FormCreate();
}

Tfrm_about::~Tfrm_about() {
    delete ui;
}

void Tfrm_about::FormCreate() {
    // Proportional: a larger logo shrinks to fit without distortion; a smaller one
    // keeps its size.
    QPixmap logo = LoadBesidePicture(BesidePath("elements/logo.bmp"));
    if (logo.width() > Image3->width() || logo.height() > Image3->height())
        logo = logo.scaled(Image3->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    Image3->setPixmap(logo);
    const QStringList lines = ReadScrambledLines(BesidePath("elements/about.txt"), 4);
    Label7->setText(lines.value(0));
    Label6->setText(lines.value(1));
    AboutLinkTarget = lines.value(2);
    ContactLinkTarget = lines.value(3);
}

void Tfrm_about::showEvent(QShowEvent *event) {
    FormShow();
    QDialog::showEvent(event);
}

void Tfrm_about::FormShow() {
    CentreOnScreen(this);
    BitBtnWithColor1->SetColor(Qt::white);
}

void Tfrm_about::Label6Click() {
    OpenLink(QStringLiteral("http://") + AboutLinkTarget);
}

void Tfrm_about::Label2Click() {
    OpenLink(QStringLiteral("http://") + ContactLinkTarget);
}

void Tfrm_about::BitBtnWithColor1Click() {
    close();
}

void Tfrm_about::reject() {
    done(mrCancel);
}
