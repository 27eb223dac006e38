#pragma once

#include <QDialog>

// The last-question dialog: the word and definition of the last answered card in
// Label2, which alone follows the dialog's font; the headline and the button keep
// their own fonts.
class QFrame;
class QLabel;
class TBitBtnWithColor;
namespace Ui {
class Tfrm_lastq;
}

class Tfrm_lastq : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_lastq(QWidget *parent = nullptr);
    ~Tfrm_lastq() override;

    void BitBtnWithColor1Click();

    QLabel *Image1 = nullptr;
    QFrame *Panel2 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QFrame *Panel3 = nullptr;
    TBitBtnWithColor *BitBtnWithColor1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

public slots:
    void reject() override;

private:
    void FormCreate();

    Ui::Tfrm_lastq *ui;
};

extern Tfrm_lastq *frm_lastq;
