#include "widgets/TBitBtnWithColor.h"

#include "widgets/ButtonFace.h"
#include "widgets/ButtonLayout.h"
#include "widgets/KindGlyphs.h"
#include "widgets/TButtonGlyph.h"
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QWhatsThis>

const char *TBitBtnWithColor::HelpContextProperty = "HelpContext";

struct TBitBtnWithColor::Impl {
    QColor color;
    TButtonGlyph glyph;
    TBitBtnWithColorKind kind = bkCustom;
    TButtonLayout layout = blGlyphLeft;
    TButtonStyle style = bsAutoDetect;
    int margin = -1;
    int modalResult = 0;
    int spacing = 4;
    bool isDefault = false;
    bool cancel = false;
    bool active = false;
    bool glyphReplaced = false;
    bool clickSignalsBlocked = false;
    int eventDepth = 0;
    QPointer<QWidget> watchedWindow;
};

TBitBtnWithColor::TBitBtnWithColor(QWidget *parent)
    : QPushButton(parent), d(std::make_unique<Impl>()) {
    d->color = palette().color(QPalette::Button);
    // Enter is taken by the focused button itself; a dialog must not pick its first
    // button as default when the program marked none.
    setAutoDefault(false);
    if (qApp)
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
            if (now && now->window() == window())
                UpdateActive(now);
        });
    WatchWindow();
}

TBitBtnWithColor::~TBitBtnWithColor() {
    if (d->watchedWindow)
        d->watchedWindow->removeEventFilter(this);
}

QColor TBitBtnWithColor::Color() const {
    return d->color;
}

void TBitBtnWithColor::SetColor(const QColor &color) {
    if (color == d->color)
        return;
    d->color = color;
    // Taking the glyph again rebuilds its images in the new colour; it is still the
    // same glyph, so the kind is kept.
    d->glyph.SetGlyph(QImage(d->glyph.Glyph()));
    update();
}

QPixmap TBitBtnWithColor::Glyph() const {
    return QPixmap::fromImage(d->glyph.Glyph());
}

void TBitBtnWithColor::SetGlyph(const QPixmap &glyph) {
    d->glyph.SetGlyph(glyph.toImage());
    d->glyphReplaced = true;
    update();
}

TBitBtnWithColorKind TBitBtnWithColor::Kind() {
    if (d->kind != bkCustom) {
        const TKindSettings &kind = KindSettings(d->kind);
        if (d->isDefault != kind.isDefault || d->cancel != kind.cancel ||
            d->modalResult != kind.modalResult || d->glyphReplaced)
            d->kind = bkCustom;
    }
    return d->kind;
}

void TBitBtnWithColor::SetKind(TBitBtnWithColorKind kind) {
    if (kind == Kind()) // a button that no longer matches its kind takes it again
        return;
    if (kind != bkCustom) {
        const TKindSettings &settings = KindSettings(kind);
        SetDefault(settings.isDefault);
        SetCancel(settings.cancel);
        setText(QString::fromUtf8(settings.caption));
        d->modalResult = settings.modalResult;
        SetGlyph(QPixmap::fromImage(KindGlyphs(kind)));
        SetNumGlyphs(2);
        d->glyphReplaced = false;
    }
    d->kind = kind;
    update();
}

TButtonLayout TBitBtnWithColor::Layout() const {
    return d->layout;
}

void TBitBtnWithColor::SetLayout(TButtonLayout layout) {
    if (layout == d->layout)
        return;
    d->layout = layout;
    update();
}

int TBitBtnWithColor::Margin() const {
    return d->margin;
}

void TBitBtnWithColor::SetMargin(int margin) {
    if (margin < -1 || margin == d->margin)
        return;
    d->margin = margin;
    update();
}

int TBitBtnWithColor::ModalResult() const {
    return d->modalResult;
}
void TBitBtnWithColor::SetModalResult(int result) {
    d->modalResult = result;
}

int TBitBtnWithColor::NumGlyphs() const {
    return d->glyph.NumGlyphs();
}

void TBitBtnWithColor::SetNumGlyphs(int n) {
    const int before = d->glyph.NumGlyphs();
    d->glyph.SetNumGlyphs(n);
    if (d->glyph.NumGlyphs() != before)
        update();
}

int TBitBtnWithColor::Spacing() const {
    return d->spacing;
}

void TBitBtnWithColor::SetSpacing(int spacing) {
    if (spacing == d->spacing)
        return;
    d->spacing = spacing;
    update();
}

TButtonStyle TBitBtnWithColor::Style() const {
    return d->style;
}

void TBitBtnWithColor::SetStyle(TButtonStyle style) {
    if (style == d->style)
        return;
    d->style = style;
    update();
}

bool TBitBtnWithColor::Default() const {
    return d->isDefault;
}

void TBitBtnWithColor::SetDefault(bool on) {
    d->isDefault = on;
    UpdateActive(window()->focusWidget());
}

bool TBitBtnWithColor::Cancel() const {
    return d->cancel;
}
void TBitBtnWithColor::SetCancel(bool on) {
    d->cancel = on;
}

bool TBitBtnWithColor::IsActive() const {
    return d->active;
}
const TButtonGlyph &TBitBtnWithColor::ButtonGlyph() const {
    return d->glyph;
}

void TBitBtnWithColor::UpdateActive(QWidget *focused) {
    const bool active = qobject_cast<QPushButton *>(focused) ? focused == this : d->isDefault;
    if (active != d->active) {
        d->active = active;
        update();
    }
}

// Escape and the Enter of a Default button reach the window, not the button, so the
// button listens on its window (again whenever it moves to another one).
void TBitBtnWithColor::WatchWindow() {
    QWidget *target = window() == this ? nullptr : window();
    if (target == d->watchedWindow)
        return;
    if (d->watchedWindow)
        d->watchedWindow->removeEventFilter(this);
    d->watchedWindow = target;
    if (target)
        target->installEventFilter(this);
}

bool TBitBtnWithColor::event(QEvent *event) {
    switch (event->type()) {
    case QEvent::ParentChange:
    case QEvent::Show:
        WatchWindow();
        UpdateActive(window()->focusWidget());
        if (event->type() == QEvent::Show)
            d->glyph.StateImage(isEnabled() ? bsUp : bsDisabled, d->color, palette());
        break;
    default:
        break;
    }
    ++d->eventDepth;
    const bool result = QPushButton::event(event);
    // The click repaints the button from inside the event; unblock only at the end.
    if (--d->eventDepth == 0)
        RestoreClickSignals();
    return result;
}

bool TBitBtnWithColor::eventFilter(QObject *watched, QEvent *event) {
    if (watched == d->watchedWindow && event->type() == QEvent::KeyPress && isVisible() &&
        isEnabled()) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool plain =
            key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier;
        if (plain && key->key() == Qt::Key_Escape && d->cancel) {
            click();
            RestoreClickSignals();
            return true;
        }
        if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            d->isDefault) {
            QWidget *focused = window()->focusWidget();
            if (!qobject_cast<QPushButton *>(focused) || focused == this) {
                click();
                RestoreClickSignals();
                return true;
            }
        }
    }
    return QPushButton::eventFilter(watched, event);
}

void TBitBtnWithColor::keyPressEvent(QKeyEvent *event) {
    // The focused button is the active one, whatever its autoDefault says.
    const bool plain =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

// Every click, whether by mouse, key, accelerator or click(), passes here just before
// clicked is emitted.
void TBitBtnWithColor::nextCheckState() {
    QPushButton::nextCheckState();
    if (!ClickByKind())
        SuppressClickSignals();
}

// Runs the click by kind; answers whether the ordinary click (clicked) follows.
bool TBitBtnWithColor::ClickByKind() {
    if (d->kind == bkHelp) {
        for (QWidget *w = this; w; w = w->parentWidget()) {
            const int context = w->property(HelpContextProperty).toInt();
            if (context != 0) {
                const QString text =
                    w->whatsThis().isEmpty() ? tr("Help topic %1").arg(context) : w->whatsThis();
                QWhatsThis::showText(mapToGlobal(rect().center()), text, this);
                emit HelpRequested(context, w);
                return false;
            }
        }
    } else if (d->kind == bkClose && parentWidget()) {
        window()->close();
        return false;
    }
    if (d->modalResult != 0)
        if (auto *dialog = qobject_cast<QDialog *>(window()))
            dialog->done(d->modalResult);
    return true;
}

// Qt emits released and clicked right after nextCheckState(); a click that a kind
// took over must not reach them.
void TBitBtnWithColor::SuppressClickSignals() {
    if (signalsBlocked())
        return;
    blockSignals(true);
    d->clickSignalsBlocked = true;
    // click() called from code does not come through event(): unblock from the loop.
    QMetaObject::invokeMethod(
        this, [this] { RestoreClickSignals(); }, Qt::QueuedConnection);
}

void TBitBtnWithColor::RestoreClickSignals() {
    if (!d->clickSignalsBlocked)
        return;
    d->clickSignalsBlocked = false;
    blockSignals(false);
}

QSize TBitBtnWithColor::CaptionSize() const {
    if (text().isEmpty())
        return {0, 0};
    return fontMetrics().size(Qt::TextShowMnemonic, text());
}

void TBitBtnWithColor::DrawCaption(QPainter &painter, const QRect &bounds, TButtonState state) {
    if (text().isEmpty())
        return;
    const int mnemonic = style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this)
                             ? Qt::TextShowMnemonic
                             : Qt::TextHideMnemonic;
    if (state == bsDisabled) {
        const int flags = Qt::AlignLeft | Qt::AlignTop | mnemonic;
        painter.setPen(Qt::white);
        painter.drawText(bounds.translated(1, 1), flags, text());
        painter.setPen(QColor(128, 128, 128));
        painter.drawText(bounds, flags, text());
    } else {
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(bounds, Qt::AlignCenter | Qt::TextSingleLine | mnemonic, text());
    }
}

void TBitBtnWithColor::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const bool pressed = isDown();
    const TButtonState state = !isEnabled() ? bsDisabled : pressed ? bsDown : bsUp;
    QRect r = DrawButtonFace(painter, rect(), palette(), d->color, pressed, d->active, hasFocus());
    painter.setFont(font());
    if (pressed)
        r.translate(1, 1);

    const TButtonPlacement place =
        CalcButtonLayout(r, d->glyph.GlyphSize(), CaptionSize(), d->layout, d->margin, d->spacing);
    const QPixmap image = d->glyph.StateImage(state, d->color, palette());
    if (!image.isNull())
        painter.drawPixmap(place.glyphPos, image);
    DrawCaption(painter, place.textBounds, state);

    if (d->active)
        DrawDottedFocusRect(painter, rect().adjusted(4, 4, -4, -4), d->color);
}
