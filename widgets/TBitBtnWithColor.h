#pragma once

#include <QColor>
#include <QPixmap>
#include <QPushButton>
#include <memory>

enum TBitBtnWithColorKind {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };

// The push button of every dialog: it paints itself completely, with its face in
// Color, an optional glyph strip beside the caption, and standard kinds. A click
// hands ModalResult to the dialog it sits on (a non-zero result closes it).
class TBitBtnWithColor : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
public:
    explicit TBitBtnWithColor(QWidget *parent = nullptr);
    ~TBitBtnWithColor() override;

    QColor Color() const;
    void SetColor(const QColor &color);
    QPixmap Glyph() const;
    void SetGlyph(const QPixmap &glyph);
    TBitBtnWithColorKind Kind();
    void SetKind(TBitBtnWithColorKind kind);
    TButtonLayout Layout() const;
    void SetLayout(TButtonLayout layout);
    int Margin() const;
    void SetMargin(int margin);
    int ModalResult() const;
    void SetModalResult(int result);
    int NumGlyphs() const;
    void SetNumGlyphs(int n);
    int Spacing() const;
    void SetSpacing(int spacing);
    TButtonStyle Style() const;
    void SetStyle(TButtonStyle style);
    bool Default() const;
    void SetDefault(bool on);
    bool Cancel() const;
    void SetCancel(bool on);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
