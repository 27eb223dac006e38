#pragma once

#include <QDialog>

// The last-question dialog.
class QLabel;

class Tfrm_lastq : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_lastq(QWidget *parent = nullptr);
    ~Tfrm_lastq() override;

    QLabel *Label2 = nullptr;
};

extern Tfrm_lastq *frm_lastq;
