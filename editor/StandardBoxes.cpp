#include "editor/StandardBoxes.h"

#include <QMessageBox>

namespace StandardBoxes {

namespace {
int Show(QWidget *parent, QMessageBox::Icon icon, const char *title, const char *name,
         const QString &text, QMessageBox::StandardButtons buttons,
         const QString &detail = QString()) {
    QMessageBox box(icon, QString::fromLatin1(title), text, buttons, parent);
    box.setObjectName(QString::fromLatin1(name));
    box.setTextFormat(Qt::PlainText);
    box.setDetailedText(detail);
    return box.exec();
}
} // namespace

void Error(QWidget *parent, const QString &text, const QString &detail) {
    Show(parent, QMessageBox::Critical, "Error", "ErrorBox", text, QMessageBox::Ok, detail);
}

void Information(QWidget *parent, const QString &text) {
    Show(parent, QMessageBox::Information, "Information", "InformationBox", text, QMessageBox::Ok);
}

bool Confirm(QWidget *parent, const QString &text) {
    return Show(parent, QMessageBox::Question, "Confirm", "ConfirmationBox", text,
                QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace StandardBoxes
