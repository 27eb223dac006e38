#include "dialogs/Tfrm_message.h"

#include "ui_Tfrm_message.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"
#include "widgets/WindowPlacement.h"
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

Tfrm_message *frm_message = nullptr;

// Resources of a static library are registered only when asked for by name.
static void InitMessageResources() {
    Q_INIT_RESOURCE(message);
}

namespace {
const QSize DesignedSize(282, 119);
const QPoint LabelPos(80, 24);
constexpr int ButtonTop = 80;
constexpr int RightMargin = 24;   // as wide as the margin left of the picture
constexpr int TextToButtons = 16; // room between the last line and the buttons
constexpr int MaximumWidth = 640;
constexpr int ScreenMargin = 32;

// The callers' texts separate lines with LF CR; the CR adds nothing to the break.
QString DisplayedText(QString text) {
    return text.remove(QLatin1Char('\r'));
}

// Text for QTextLayout: explicit line breaks, and break opportunities after path
// separators so that a long file name wraps at a folder rather than mid-word.
QString WrappableText(const QString &text) {
    QString result = DisplayedText(text);
    result.replace(QLatin1Char('\n'), QChar::LineSeparator);
    result.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
    result.replace(QLatin1Char('\\'), QStringLiteral("\\\u200B"));
    return result;
}

// Lays out the lines top to bottom, wrapped to width (no wrapping when width <= 0);
// returns the size they take. A word longer than the width breaks anywhere.
QSize LayOut(QTextLayout &layout, int width) {
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(width > 0 ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    layout.setTextOption(option);
    const qreal leading = std::max<qreal>(0, QFontMetricsF(layout.font()).leading());
    qreal y = 0;
    qreal widest = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width > 0 ? width : 1e6);
        if (line.lineNumber() > 0)
            y += leading;
        line.setPosition(QPointF(0, std::round(y))); // whole pixels: crisp glyphs
        y += line.height();
        widest = std::max(widest, line.naturalTextWidth());
    }
    layout.endLayout();
    return QSize(int(std::ceil(widest)), int(std::ceil(y)));
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
    ShiftButtons(QPoint()); // the designed places, whatever the last text did
    Left_BitBtnWithColor->move(104, Left_BitBtnWithColor->y());
    Left_BitBtnWithColor->setVisible(true);
    Left_BitBtnWithColor->setText(tr("OK"));
    Center_BitBtnWithColor->setVisible(false);
    Right_BitBtnWithColor->setVisible(false);
}

void Tfrm_message::Set2Buttons() {
    ShiftButtons(QPoint());
    Left_BitBtnWithColor->move(56, Left_BitBtnWithColor->y());
    Left_BitBtnWithColor->setVisible(true);
    Left_BitBtnWithColor->setText(tr("Yes"));
    Center_BitBtnWithColor->move(152, Center_BitBtnWithColor->y());
    Center_BitBtnWithColor->setVisible(true);
    Center_BitBtnWithColor->setText(tr("No"));
    Right_BitBtnWithColor->setVisible(false);
}

void Tfrm_message::Set3Buttons() {
    ShiftButtons(QPoint());
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

void Tfrm_message::setVisible(bool visible) {
    // Sized before it appears, so the window system maps it at its final size.
    if (visible && !isVisible()) {
        ensurePolished();
        FitToText();
    }
    QDialog::setVisible(visible);
}

void Tfrm_message::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    FormShow();
}

void Tfrm_message::FormShow() {
    // A box captioned "Error" reports a failure, and shows the error icon instead of
    // the program's emblem.
    if (designedPicture.isNull())
        designedPicture = Image1->pixmap();
    const bool error = windowTitle() == QLatin1String("Error");
    Image1->setPixmap(error ? style()
                                  ->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, this)
                                  .pixmap(Image1->size())
                            : designedPicture);
    Image1->setProperty("errorIcon", error);
    const bool left = !Left_BitBtnWithColor->isHidden();
    const bool center = !Center_BitBtnWithColor->isHidden();
    const bool right = !Right_BitBtnWithColor->isHidden();
    if (left && center && right)
        Left_BitBtnWithColor->setFocus();
    else if (left && center)
        Center_BitBtnWithColor->setFocus();
    else if (left && !center && !right)
        Left_BitBtnWithColor->setFocus();
    CentreOnScreen();
}

void Tfrm_message::CentreOnScreen() {
    WindowPlacement::CentreOnScreen(this);
}

// The designed box when the text fits it; otherwise wider (up to a limit), then
// wrapped and taller, with the buttons kept below the text and centred.
void Tfrm_message::FitToText() {
    QTextLayout natural(WrappableText(Label1->text()), Label1->font(), Label1);
    const QSize textSize = LayOut(natural, 0);
    if (LabelPos.x() + textSize.width() <= DesignedSize.width() &&
        LabelPos.y() + textSize.height() <= ButtonTop) {
        if (Label1->wordWrap())
            Label1->setWordWrap(false);
        Label1->adjustSize();
        setFixedSize(DesignedSize);
        ShiftButtons(QPoint());
        return;
    }

    const QRect area = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    const int maxWidth =
        std::max(std::min(MaximumWidth, area.width() - 2 * ScreenMargin), DesignedSize.width());
    const int maxTextWidth = maxWidth - LabelPos.x() - RightMargin;
    const bool wrap = textSize.width() > maxTextWidth;
    if (Label1->wordWrap() != wrap)
        Label1->setWordWrap(wrap);
    QSize label = textSize;
    if (wrap) {
        QTextLayout wrapped(WrappableText(Label1->text()), Label1->font(), Label1);
        label = QSize(maxTextWidth, LayOut(wrapped, maxTextWidth).height());
        // Never shorter than the label itself would ask for at this width.
        label.setHeight(std::max(label.height(), Label1->heightForWidth(maxTextWidth)));
    } else {
        label.setHeight(std::max(label.height(), Label1->sizeHint().height()));
    }
    // Whatever the text, the buttons stay on the screen.
    const int maxTextHeight = area.height() - 2 * ScreenMargin - LabelPos.y() - TextToButtons -
                              (DesignedSize.height() - ButtonTop);
    label.setHeight(std::max(std::min(label.height(), maxTextHeight), 0));
    Label1->setGeometry(QRect(LabelPos, label));

    const int width = std::max(DesignedSize.width(), LabelPos.x() + label.width() + RightMargin);
    const int growth = std::max(0, LabelPos.y() + label.height() + TextToButtons - ButtonTop);
    setFixedSize(width, DesignedSize.height() + growth);
    ShiftButtons(QPoint((width - DesignedSize.width()) / 2, growth));
}

void Tfrm_message::ShiftButtons(QPoint shift) {
    const QPoint by = shift - buttonShift;
    if (by.isNull())
        return;
    for (QWidget *button : {static_cast<QWidget *>(Left_BitBtnWithColor),
                            static_cast<QWidget *>(Center_BitBtnWithColor),
                            static_cast<QWidget *>(Right_BitBtnWithColor)})
        button->move(button->pos() + by);
    buttonShift = shift;
}

bool Tfrm_message::event(QEvent *event) {
    // A new text of Label1 while the box is shown asks for a new layout here.
    if (event->type() == QEvent::LayoutRequest && isVisible()) {
        const QSize before = size();
        FitToText();
        if (size() != before)
            CentreOnScreen();
    }
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
    if (Label1->wordWrap()) {
        QTextLayout layout(WrappableText(Label1->text()), Label1->font(), Label1);
        LayOut(layout, Label1->width());
        painter.setPen(Label1->palette().color(Label1->foregroundRole()));
        layout.draw(&painter, Label1->contentsRect().topLeft());
        return;
    }
    Label1->style()->drawItemText(&painter, Label1->contentsRect(), int(Label1->alignment()),
                                  Label1->palette(), Label1->isEnabled(),
                                  DisplayedText(Label1->text()), Label1->foregroundRole());
}
