#pragma once

#include <QString>

class QWidget;

// The library editor's standard boxes: a plain message, the confirmation boxes and the
// error box. Each is a modal QMessageBox titled "Lexomat" (the error box "Error"),
// answering the program's modal codes (widgets/ModalResult.h).
namespace EditorMessages {
void Plain(QWidget *parent, const QString &text);
// `detail`: the words of a library below, behind the box's Show Details... button.
void Error(QWidget *parent, const QString &text, const QString &detail = QString());
int YesNo(QWidget *parent, const QString &text);       // mrYes or mrNo (closed: mrNo)
int YesNoCancel(QWidget *parent, const QString &text); // mrYes, mrNo or mrCancel
bool OkCancel(QWidget *parent, const QString &text);   // true on OK
} // namespace EditorMessages
