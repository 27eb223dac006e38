#include "dialogs/Tfrm_message.h"
#include "tools/screenshot/Shot.h"
#include "widgets/TBitBtnWithColor.h"
#include <QLabel>

static ShotRegistration messageBox("Tfrm_message", [] {
    frm_message->setWindowTitle("Save");
    frm_message->Label1->setText("\n\rSave current session ?");
    frm_message->Set3Buttons();
    return static_cast<QWidget *>(frm_message);
});

// An error as the main window words it: a full path and the reason, wider than the box.
static ShotRegistration longMessage(
    "Tfrm_message-long",
    [] {
        frm_message->setWindowTitle("Error");
        frm_message->Label1->setText(
            "\n\rThe file \"/home/learner/.lexomat/library/Some long library name.mdb\" cannot "
            "be opened as a library: file is not a database");
        frm_message->Set1Button();
        return static_cast<QWidget *>(frm_message);
    },
    [] { frm_message->Label1->setText("\n\rSave current session ?"); });

// The questions when another running copy has the library open, and when a save would
// write over what another program changed.
static ShotRegistration openAnyway(
    "Tfrm_message-open-anyway",
    [] {
        frm_message->setWindowTitle("Open");
        frm_message->Label1->setText(
            "\n\r\"Lesson 12.mdb\" is open in another Lexomat window. Open it anyway?");
        frm_message->Set2Buttons();
        return static_cast<QWidget *>(frm_message);
    },
    [] { frm_message->Label1->setText("\n\rSave current session ?"); });

static ShotRegistration overwrite(
    "Tfrm_message-overwrite",
    [] {
        frm_message->setWindowTitle("Save");
        frm_message->Label1->setText(
            "\n\rSince this window read \"Lesson 12.mdb\", another program has changed the "
            "levels of 3 cards and the study time.\n\rOverwrite them with this session's?");
        frm_message->Set3Buttons();
        return static_cast<QWidget *>(frm_message);
    },
    [] { frm_message->Label1->setText("\n\rSave current session ?"); });

namespace {
QWidget *buttonStates = nullptr;

TBitBtnWithColor *AddButton(QWidget *parent, const QString &caption, int x) {
    auto *button = new TBitBtnWithColor(parent);
    button->setGeometry(x, 16, 75, 25);
    button->setText(caption);
    button->SetColor(Qt::white);
    button->setFocusPolicy(Qt::NoFocus); // only the active one takes the focus
    return button;
}

// Normal, active, pressed, disabled, and a kind with its glyph, on a white window.
QWidget *ButtonStates() {
    buttonStates = new QWidget;
    buttonStates->setFixedSize(5 * 85 + 10, 57);
    QPalette palette = buttonStates->palette();
    palette.setColor(QPalette::Window, Qt::white);
    buttonStates->setPalette(palette);
    buttonStates->setAutoFillBackground(true);
    buttonStates->setFont(QFont("MS Sans Serif", 8));
    AddButton(buttonStates, "Normal", 10);
    TBitBtnWithColor *active = AddButton(buttonStates, "&Active", 95);
    active->setFocusPolicy(Qt::StrongFocus);
    active->setFocus();
    AddButton(buttonStates, "Pressed", 180)->setDown(true);
    AddButton(buttonStates, "Disabled", 265)->setEnabled(false);
    AddButton(buttonStates, QString(), 350)->SetKind(bkOK);
    return buttonStates;
}
} // namespace

static ShotRegistration buttons("TBitBtnWithColor-states", ButtonStates, [] {
    delete buttonStates;
    buttonStates = nullptr;
});
