#include "editor/EditorMessages.h"

#include "widgets/ModalResult.h"
#include <QMessageBox>

namespace EditorMessages {

namespace {
QMessageBox::StandardButton Ask(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                const QString &text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton escape,
                                const QString &detail = QString()) {
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDetailedText(detail);
    box.setObjectName(QStringLiteral("EditorMessage"));
    // Words and file names are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(escape);
    const int answer = box.exec();
    // Closed from the title bar: the escape button's answer.
    return box.clickedButton() ? box.standardButton(box.clickedButton())
                               : QMessageBox::StandardButton(answer == 0 ? escape : answer);
}
} // namespace

void Plain(QWidget *parent, const QString &text) {
    Ask(parent, QMessageBox::NoIcon, QStringLiteral("Lexomat"), text, QMessageBox::Ok,
        QMessageBox::Ok);
}

void Error(QWidget *parent, const QString &text, const QString &detail) {
    Ask(parent, QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok,
        QMessageBox::Ok, detail);
}

int YesNo(QWidget *parent, const QString &text) {
    return Ask(parent, QMessageBox::Question, QStringLiteral("Confirm"), text,
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes
               ? mrYes
               : mrNo;
}

int YesNoCancel(QWidget *parent, const QString &text) {
    switch (Ask(parent, QMessageBox::Question, QStringLiteral("Confirm"), text,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return mrYes;
    case QMessageBox::No:
        return mrNo;
    default:
        return mrCancel;
    }
}

bool OkCancel(QWidget *parent, const QString &text) {
    return Ask(parent, QMessageBox::Question, QStringLiteral("Confirm"), text,
               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Ok;
}

} // namespace EditorMessages
