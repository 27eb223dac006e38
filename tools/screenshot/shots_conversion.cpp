#include "dialogs/LegacyLibraryConversion.h"
#include "dialogs/Tfrm_message.h"
#include "tools/screenshot/Shot.h"
#include "widgets/TBitBtnWithColor.h"
#include <QLabel>

// The question before an older Access library is opened, as the main window asks it.
static ShotRegistration conversionQuestion(
    "Tfrm_message-convert",
    [] {
        frm_message->setWindowTitle("Convert Library");
        frm_message->Label1->setText(
            "\n\r" + LegacyLibraryConversion::QuestionText("/home/learner/library/French.mdb",
                                                           "/home/learner/library/French "
                                                           "(Lexomat).mdb"));
        frm_message->Set2Buttons();
        frm_message->Left_BitBtnWithColor->setText("Convert");
        frm_message->Center_BitBtnWithColor->setText("Cancel");
        return static_cast<QWidget *>(frm_message);
    },
    [] { frm_message->Label1->setText("\n\rSave current session ?"); });
