#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TFieldLink;
class TTable;
namespace Ui {
class Tfrm_addlibrary;
}

// The record dialog: one card typed in or changed. Its three edits are bound to the
// current row of dm->tb_library, which the caller has put into insert or edit mode;
// the dialog never posts, cancels or moves the row. Result mrOk or mrCancel.
class Tfrm_addlibrary : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_addlibrary(QWidget *parent = nullptr);
    ~Tfrm_addlibrary() override;

    void FormShow();
    void bt_saveClick();
    void bt_cancelClick();

    QLineEdit *EditWord = nullptr;
    QLineEdit *EditImportance = nullptr;
    QPlainTextEdit *EditDefinition = nullptr;
    QPushButton *bt_save = nullptr;
    QPushButton *bt_cancel = nullptr;

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BindEdits();

    Ui::Tfrm_addlibrary *ui;
    QPointer<TTable> boundTable;
    QList<TFieldLink *> links;
};

extern Tfrm_addlibrary *frm_addlibrary;
