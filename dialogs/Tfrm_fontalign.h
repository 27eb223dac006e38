#pragma once

#include <QDialog>
#include <QList>
#include <QPixmap>

// The alignment chooser for the definition texts: three picture buttons with the
// current choice highlighted, "OK" (mrYes) and "Cancel" (mrNo). It only records the
// choice in ChosenAlignment; the main window applies it when the answer is mrYes.
class QLabel;
class TBitBtnWithColor;
namespace Ui {
class Tfrm_fontalign;
}

class Tfrm_fontalign : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_fontalign(QWidget *parent = nullptr);
    ~Tfrm_fontalign() override;

    void Image1Click();
    void Image2Click();
    void Image3Click();

    QLabel *Image1 = nullptr;
    QLabel *Image2 = nullptr;
    QLabel *Image3 = nullptr;
    TBitBtnWithColor *OK = nullptr;
    TBitBtnWithColor *Cancel = nullptr;
    // Left, left highlighted, centred, centred highlighted, right, right highlighted.
    QList<QPixmap> ImageList1;

protected:
    void showEvent(QShowEvent *event) override;

public slots:
    void reject() override;

private:
    void FormShow();
    void ShowPictures(int left, int centre, int right);

    Ui::Tfrm_fontalign *ui;
};

extern Tfrm_fontalign *frm_fontalign;

// The alignment picked in the dialog: 0 left, 1 right, 2 centre.
extern unsigned char ChosenAlignment;
