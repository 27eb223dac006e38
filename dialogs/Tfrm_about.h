#pragma once

#include <QDialog>
#include <QString>

// The About dialog: logo, the presenting company and its link from
// elements/about.txt, and the maker's banner and contact link.
class QFrame;
class QLabel;
class TBitBtnWithColor;
namespace Ui {
class Tfrm_about;
}

class Tfrm_about : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_about(QWidget *parent = nullptr);
    ~Tfrm_about() override;

    void Label6Click();
    void Label2Click();
    void BitBtnWithColor1Click();

    QLabel *Image3 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label6 = nullptr;
    TBitBtnWithColor *BitBtnWithColor1 = nullptr;
    QFrame *Panel1 = nullptr;
    QLabel *Image2 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

public slots:
    void reject() override;

private:
    void FormCreate();
    void FormShow();

    Ui::Tfrm_about *ui;
};

extern Tfrm_about *frm_about;

// Link targets from lines 3 and 4 of elements/about.txt, web addresses without
// their scheme; filled when the dialog is created.
extern QString AboutLinkTarget;
extern QString ContactLinkTarget;
