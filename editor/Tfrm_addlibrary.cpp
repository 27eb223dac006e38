#include "editor/Tfrm_addlibrary.h"

Tfrm_addlibrary *frm_addlibrary = nullptr;

// Shell until the editor lands.
Tfrm_addlibrary::Tfrm_addlibrary(QWidget *parent) : QDialog(parent) {
    setObjectName("frm_addlibrary");
}
Tfrm_addlibrary::~Tfrm_addlibrary() = default;
