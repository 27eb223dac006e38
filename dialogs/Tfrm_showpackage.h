#pragma once

#include <QDialog>

// The box viewer: the cards of one box, or all, under a headline. The caller sets
// the headline (Label1) and the filter of dm->tb_library before showing it; the
// viewer lists whatever rows that table presents and lets the learner sort them.
class TTableModel;
class QFrame;
class QLabel;
class QTableView;
class TBitBtnWithColor;
namespace Ui {
class Tfrm_showpackage;
}

class Tfrm_showpackage : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_showpackage(QWidget *parent = nullptr);
    ~Tfrm_showpackage() override;

    // Toggles the sort of tb_library by the clicked column's field name.
    void DBGrid1TitleClick(const QString &fieldName);
    void BitBtnWithColor1Click();

    QLabel *Image1 = nullptr;
    QFrame *Panel2 = nullptr;
    QLabel *Label1 = nullptr;
    QTableView *DBGrid1 = nullptr;
    QLabel *Panel1 = nullptr;
    QFrame *Panel3 = nullptr;
    TBitBtnWithColor *BitBtnWithColor1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

public slots:
    void reject() override;

private:
    void FormCreate();
    void FormShow();
    void Test_Empty_Grid();
    void BindGrid();
    void HeaderSectionClicked(int logicalIndex);

    Ui::Tfrm_showpackage *ui;
    TTableModel *boundModel = nullptr;
};

extern Tfrm_showpackage *frm_showpackage;
