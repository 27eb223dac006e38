#pragma once

#include <QDialog>

// The alignment chooser for the definition texts.
class Tfrm_fontalign : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_fontalign(QWidget *parent = nullptr);
    ~Tfrm_fontalign() override;
};

extern Tfrm_fontalign *frm_fontalign;

// The alignment picked in the dialog: 0 left, 1 right, 2 centre.
extern unsigned char ChosenAlignment;
