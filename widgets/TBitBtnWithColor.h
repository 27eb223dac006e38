#pragma once

#include "widgets/ButtonTypes.h"
#include <QColor>
#include <QPixmap>
#include <QPushButton>
#include <memory>

class TButtonGlyph;

// The push button of every dialog: it paints itself completely, with its face in
// Color, an optional glyph strip beside the caption, and standard kinds. A click
// hands ModalResult to the dialog it sits on (a non-zero result closes it), then
// emits clicked. Escape presses a Cancel button; Enter presses the active button
// (the focused button, or the Default one while the focus is not on a button).
class TBitBtnWithColor : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(QPixmap Glyph READ Glyph WRITE SetGlyph)
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

    // Whether Enter in the window presses this button now.
    bool IsActive() const;
    // The button's glyph object, whose state images are built on first paint.
    const TButtonGlyph &ButtonGlyph() const;

    // The help context of a widget: its dynamic property "HelpContext" (non-zero).
    static const char *HelpContextProperty;

signals:
    // A bkHelp button found a help context on itself or a parent; the text shown
    // is the whatsThis of that widget.
    void HelpRequested(int helpContext, QWidget *owner);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void nextCheckState() override;

private:
    void UpdateActive(QWidget *focused);
    void WatchWindow();
    bool ClickByKind();
    void SuppressClickSignals();
    void RestoreClickSignals();
    void DrawCaption(QPainter &painter, const QRect &bounds, TButtonState state);
    QSize CaptionSize() const;

    struct Impl;
    std::unique_ptr<Impl> d;
};
