#include "editor/Tfrm_sheet.h"
#include "tools/screenshot/Shot.h"

#include <QComboBox>

// The chooser as an import shows it, with the sheets of a teacher's workbook.
static ShotRegistration sheetChooser("Tfrm_sheet", [] {
    frm_sheet->ComboBox1->clear();
    frm_sheet->ComboBox1->addItems({"Unit 1 - Animals", "Unit 2 - Food", "Verbs"});
    return static_cast<QWidget *>(frm_sheet);
});
