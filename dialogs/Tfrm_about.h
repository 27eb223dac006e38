#pragma once

#include <QDialog>

// The About dialog.
class Tfrm_about : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_about(QWidget *parent = nullptr);
    ~Tfrm_about() override;
};

extern Tfrm_about *frm_about;
