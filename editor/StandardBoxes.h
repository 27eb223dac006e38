#pragma once

#include <QString>

class QWidget;

// The editor's standard message boxes (one OK button, or Yes and No), each with an
// object name that tests find: "ErrorBox", "InformationBox", "ConfirmationBox".
namespace StandardBoxes {
// `detail`: the words of a library below, behind the box's Show Details... button.
void Error(QWidget *parent, const QString &text, const QString &detail = QString());
void Information(QWidget *parent, const QString &text);
// True for Yes; No and the close box give false.
bool Confirm(QWidget *parent, const QString &text);
} // namespace StandardBoxes
