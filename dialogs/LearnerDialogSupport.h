#pragma once

#include <QFont>
#include <functional>

class QWidget;

// Small pieces shared by the learner's dialogs (viewer, alignment, last question,
// About).

// Centred on its screen, as WindowPlacement places windows.
void CentreOnScreen(QWidget *window);
// Centred over the parent window if there is one, else over the main window
// ("Form1"), else on the screen.
void CentreOverMainWindow(QWidget *window);

// White window background, as every learner dialog has.
void PaintWhite(QWidget *widget);

// A font that no longer follows its parent's font in any attribute, so a control
// keeps it when the dialog's font changes.
void KeepOwnFont(QWidget *widget);

// Runs onClick when the widget is clicked with the left button (press and release
// over it), as a picture or text label's click event.
void OnClick(QWidget *widget, std::function<void()> onClick);

// The dialogs read their beside-files under the current directory.
QString BesidePath(const QString &relative);

// The pictures stored with the dialogs live in a static library's resources, which
// must be registered before first use.
void LoadLearnerDialogResources();
