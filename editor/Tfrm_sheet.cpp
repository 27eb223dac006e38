#include "editor/Tfrm_sheet.h"

#include "dialogs/LearnerDialogSupport.h"
#include "editor/ui_Tfrm_sheet.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"

#include <QComboBox>

Tfrm_sheet *frm_sheet = nullptr;

Tfrm_sheet::Tfrm_sheet(QWidget *parent) : QDialog(parent), ui(new Ui::Tfrm_sheet) {
    ui->setupUi(this);
    Label1 = ui->Label1;
    ComboBox1 = ui->ComboBox1;
    BitBtnWithColor1 = ui->BitBtnWithColor1;

    // A fixed frame with close and minimise boxes only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(265, 142);
    setAutoFillBackground(true);
    QPalette infoTip = palette();
    infoTip.setColor(QPalette::Window, palette().color(QPalette::ToolTipBase));
    setPalette(infoTip);
    BitBtnWithColor1->SetDefault(true);

    connect(BitBtnWithColor1, &QPushButton::clicked, this, &Tfrm_sheet::BitBtnWithColor1Click);
}

Tfrm_sheet::~Tfrm_sheet() {
    delete ui;
}

void Tfrm_sheet::showEvent(QShowEvent *event) {
    FormShow();
    QDialog::showEvent(event);
}

void Tfrm_sheet::FormShow() {
    CentreOnScreen(this);
    BitBtnWithColor1->SetColor(Qt::white);
    ChosenSheetName.clear();
    if (ComboBox1->count() > 0)
        ComboBox1->setCurrentIndex(0);
    ComboBox1->setFocus();
}

void Tfrm_sheet::BitBtnWithColor1Click() {
    if (ComboBox1->count() > 0)
        ChosenSheetName = ComboBox1->currentText();
    // Closing a modal window answers mrCancel, whichever way; callers read the name.
    close();
}

void Tfrm_sheet::reject() {
    // The close box and Escape leave ChosenSheetName empty.
    done(mrCancel);
}
