#pragma once

#include <QDialog>

// The library editor.
class Tfrm_admin : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_admin(QWidget *parent = nullptr);
    ~Tfrm_admin() override;
};

extern Tfrm_admin *frm_admin;
