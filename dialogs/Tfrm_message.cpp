#include "dialogs/Tfrm_message.h"

#include "ui_Tfrm_message.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QStyle>

Tfrm_message *frm_message = nullptr;

// Resources of a static library are registered only when asked for by name.
static void InitMessageResources() {
    Q_INIT_RESOURCE(message);
}

namespace {
// The callers' texts separate lines with LF CR; the CR adds nothing to the break.
QString DisplayedText(QString text) {
    return text.remove(QLatin1Char('\r'));
}
} // namespace

Tfrm_message::Tfrm_message(QWidget *parent) : QDialog(parent), ui(new Ui::Tfrm_message) {
    InitMessageResources();
    ui->setupUi(this);
    Image1 = ui->Image1;
    Label1 = ui->Label1;
    Left_BitBtnWithColor = ui->Left_BitBtnWithColor;
    Center_BitBtnWithColor = ui->Center_BitBtnWithColor;
    Right_BitBtnWithColor = ui->Right_BitBtnWithColor;

    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(282, 119);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    Label1->installEventFilter(this);

    connect(Left_BitBtnWithColor, &QPushButton::clicked, this,
            &Tfrm_message::Left_BitBtnWithColorClick);
    connect(Center_BitBtnWithColor, &QPushButton::clicked, this,
            &Tfrm_message::Center_BitBtnWithColorClick);
    connect(Right_BitBtnWithColor, &QPushButton::clicked, this,
            &Tfrm_message::Right_BitBtnWithColorClick);
    FormCreate();
}

Tfrm_message::~Tfrm_message() {
    delete ui;
}

void Tfrm_message::FormCreate() {
    Left_BitBtnWithColor->SetColor(Qt::white);
    Center_BitBtnWithColor->SetColor(Qt::white);
    Right_BitBtnWithColor->SetColor(Qt::white);
}

void Tfrm_message::Set1Button() {
    Left_BitBtnWithColor->move(104, Left_BitBtnWithColor->y());
    Left_BitBtnWithColor->setVisible(true);
    Left_BitBtnWithColor->setText(tr("OK"));
    Center_BitBtnWithColor->setVisible(false);
    Right_BitBtnWithColor->setVisible(false);
}

void Tfrm_message::Set2Buttons() {
    Left_BitBtnWithColor->move(56, Left_BitBtnWithColor->y());
    Left_BitBtnWithColor->setVisible(true);
    Left_BitBtnWithColor->setText(tr("Yes"));
    Center_BitBtnWithColor->move(152, Center_BitBtnWithColor->y());
    Center_BitBtnWithColor->setVisible(true);
    Center_BitBtnWithColor->setText(tr("No"));
    Right_BitBtnWithColor->setVisible(false);
}

void Tfrm_message::Set3Buttons() {
    Left_BitBtnWithColor->move(24, Left_BitBtnWithColor->y());
    Left_BitBtnWithColor->setVisible(true);
    Left_BitBtnWithColor->setText(tr("Yes"));
    Center_BitBtnWithColor->move(104, Center_BitBtnWithColor->y());
    Center_BitBtnWithColor->setVisible(true);
    Center_BitBtnWithColor->setText(tr("No"));
    Right_BitBtnWithColor->move(184, Right_BitBtnWithColor->y());
    Right_BitBtnWithColor->setVisible(true);
    Right_BitBtnWithColor->setText(tr("Cancel"));
}

void Tfrm_message::Left_BitBtnWithColorClick() {
    setResult(mrYes);
}
void Tfrm_message::Center_BitBtnWithColorClick() {
    setResult(mrNo);
}
void Tfrm_message::Right_BitBtnWithColorClick() {
    setResult(mrCancel);
}

// The title bar and the system menu close the box with "Cancel".
void Tfrm_message::reject() {
    done(mrCancel);
}

void Tfrm_message::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape || event->matches(QKeySequence::Cancel)) {
        event->accept(); // no button is a cancel button
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tfrm_message::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    FormShow();
}

void Tfrm_message::FormShow() {
    Label1->adjustSize();
    const bool left = !Left_BitBtnWithColor->isHidden();
    const bool center = !Center_BitBtnWithColor->isHidden();
    const bool right = !Right_BitBtnWithColor->isHidden();
    if (left && center && right)
        Left_BitBtnWithColor->setFocus();
    else if (left && center)
        Center_BitBtnWithColor->setFocus();
    else if (left && !center && !right)
        Left_BitBtnWithColor->setFocus();

    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->geometry();
        const QSize size = frameGeometry().size();
        move(area.x() + (area.width() - size.width()) / 2,
             area.y() + (area.height() - size.height()) / 2);
    }
}

bool Tfrm_message::event(QEvent *event) {
    // A new text of Label1 while the box is shown asks for a new layout here.
    if (event->type() == QEvent::LayoutRequest)
        Label1->adjustSize();
    return QDialog::event(event);
}

bool Tfrm_message::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Label1 && event->type() == QEvent::Paint) {
        PaintLabel1();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Label1 keeps the caller's text as given; only its picture leaves out the CRs.
void Tfrm_message::PaintLabel1() {
    QPainter painter(Label1);
    Label1->style()->drawItemText(&painter, Label1->contentsRect(), int(Label1->alignment()),
                                  Label1->palette(), Label1->isEnabled(),
                                  DisplayedText(Label1->text()), Label1->foregroundRole());
}
