#include "dialogs/Tfrm_about.h"

Tfrm_about *frm_about = nullptr;

// Shell until the dialog lands.
Tfrm_about::Tfrm_about(QWidget *parent) : QDialog(parent) { setObjectName("frm_about"); }
Tfrm_about::~Tfrm_about() = default;
