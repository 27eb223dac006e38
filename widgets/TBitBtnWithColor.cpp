#include "widgets/TBitBtnWithColor.h"

#include <QDialog>

// Placeholder: a plain push button that hands its modal result to its dialog.
struct TBitBtnWithColor::Impl {
    QColor color{Qt::white};
    QPixmap glyph;
    TBitBtnWithColorKind kind = bkCustom;
    TButtonLayout layout = blGlyphLeft;
    TButtonStyle style = bsAutoDetect;
    int margin = -1, modalResult = 0, numGlyphs = 1, spacing = 4;
    bool cancel = false;
};

TBitBtnWithColor::TBitBtnWithColor(QWidget *parent) : QPushButton(parent), d(std::make_unique<Impl>()) {
    connect(this, &QPushButton::clicked, this, [this] {
        if (d->modalResult != 0)
            if (auto *dialog = qobject_cast<QDialog *>(window()))
                dialog->done(d->modalResult);
    });
}
TBitBtnWithColor::~TBitBtnWithColor() = default;
QColor TBitBtnWithColor::Color() const { return d->color; }
void TBitBtnWithColor::SetColor(const QColor &c) { d->color = c; }
QPixmap TBitBtnWithColor::Glyph() const { return d->glyph; }
void TBitBtnWithColor::SetGlyph(const QPixmap &g) { d->glyph = g; }
TBitBtnWithColorKind TBitBtnWithColor::Kind() { return d->kind; }
void TBitBtnWithColor::SetKind(TBitBtnWithColorKind k) { d->kind = k; }
TButtonLayout TBitBtnWithColor::Layout() const { return d->layout; }
void TBitBtnWithColor::SetLayout(TButtonLayout l) { d->layout = l; }
int TBitBtnWithColor::Margin() const { return d->margin; }
void TBitBtnWithColor::SetMargin(int m) { d->margin = m; }
int TBitBtnWithColor::ModalResult() const { return d->modalResult; }
void TBitBtnWithColor::SetModalResult(int r) { d->modalResult = r; }
int TBitBtnWithColor::NumGlyphs() const { return d->numGlyphs; }
void TBitBtnWithColor::SetNumGlyphs(int n) { d->numGlyphs = n; }
int TBitBtnWithColor::Spacing() const { return d->spacing; }
void TBitBtnWithColor::SetSpacing(int s) { d->spacing = s; }
TButtonStyle TBitBtnWithColor::Style() const { return d->style; }
void TBitBtnWithColor::SetStyle(TButtonStyle s) { d->style = s; }
bool TBitBtnWithColor::Default() const { return isDefault(); }
void TBitBtnWithColor::SetDefault(bool on) { setDefault(on); }
bool TBitBtnWithColor::Cancel() const { return d->cancel; }
void TBitBtnWithColor::SetCancel(bool on) { d->cancel = on; }
