#include "dialogs/Tfrm_showpackage.h"

#include <QLabel>

Tfrm_showpackage *frm_showpackage = nullptr;

// Shell until the dialog lands.
Tfrm_showpackage::Tfrm_showpackage(QWidget *parent) : QDialog(parent) {
    setObjectName("frm_showpackage");
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
}
Tfrm_showpackage::~Tfrm_showpackage() = default;
