#pragma once

#include <QDialog>

// The record dialog: one card typed in or changed.
class Tfrm_addlibrary : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_addlibrary(QWidget *parent = nullptr);
    ~Tfrm_addlibrary() override;
};

extern Tfrm_addlibrary *frm_addlibrary;
