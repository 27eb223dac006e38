#include "editor/Tfrm_admin.h"

Tfrm_admin *frm_admin = nullptr;

// Shell until the editor lands.
Tfrm_admin::Tfrm_admin(QWidget *parent) : QDialog(parent) {
    setObjectName("frm_admin");
}
Tfrm_admin::~Tfrm_admin() = default;
