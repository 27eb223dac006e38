#include "dialogs/Tfrm_fontalign.h"

Tfrm_fontalign *frm_fontalign = nullptr;
unsigned char ChosenAlignment = 2;

// Shell until the dialog lands.
Tfrm_fontalign::Tfrm_fontalign(QWidget *parent) : QDialog(parent) { setObjectName("frm_fontalign"); }
Tfrm_fontalign::~Tfrm_fontalign() = default;
