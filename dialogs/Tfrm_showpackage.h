#pragma once

#include <QDialog>

// The box viewer: the cards of one box, or all, under a headline.
class QLabel;

class Tfrm_showpackage : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_showpackage(QWidget *parent = nullptr);
    ~Tfrm_showpackage() override;

    QLabel *Label1 = nullptr;
};

extern Tfrm_showpackage *frm_showpackage;
