#include "editor/Tfrm_sheet.h"

Tfrm_sheet *frm_sheet = nullptr;

// Shell until the editor lands.
Tfrm_sheet::Tfrm_sheet(QWidget *parent) : QDialog(parent) {
    setObjectName("frm_sheet");
}
Tfrm_sheet::~Tfrm_sheet() = default;
