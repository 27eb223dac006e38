#pragma once

#include <QDialog>

// The sheet chooser of the workbook import.
class Tfrm_sheet : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_sheet(QWidget *parent = nullptr);
    ~Tfrm_sheet() override;
};

extern Tfrm_sheet *frm_sheet;
