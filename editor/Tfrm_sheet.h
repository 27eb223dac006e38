#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class TBitBtnWithColor;
namespace Ui {
class Tfrm_sheet;
}

// The sheet chooser of the workbook import: the caller fills ComboBox1 with the
// sheet names, shows the window modally and reads ChosenSheetName, which stays
// empty when the window was closed without a choice.
class Tfrm_sheet : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_sheet(QWidget *parent = nullptr);
    ~Tfrm_sheet() override;

    void FormShow();
    void BitBtnWithColor1Click();

    QLabel *Label1 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    TBitBtnWithColor *BitBtnWithColor1 = nullptr;

    QString ChosenSheetName;

protected:
    void showEvent(QShowEvent *event) override;

public slots:
    void reject() override;

private:
    Ui::Tfrm_sheet *ui;
};

extern Tfrm_sheet *frm_sheet;
