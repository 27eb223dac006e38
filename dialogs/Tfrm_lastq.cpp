#include "dialogs/Tfrm_lastq.h"

#include <QLabel>

Tfrm_lastq *frm_lastq = nullptr;

// Shell until the dialog lands.
Tfrm_lastq::Tfrm_lastq(QWidget *parent) : QDialog(parent) {
    setObjectName("frm_lastq");
    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
}
Tfrm_lastq::~Tfrm_lastq() = default;
