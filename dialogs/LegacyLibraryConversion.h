#pragma once

#include <QString>

class QWidget;

// Which boxes ask and report: the program's own message box (main window) or the
// platform's standard boxes (library editor).
enum class QuestionStyle { ProgramMessageBox, StandardMessageBox };

// Opening a library in the older Access format: the learner is asked, a copy in the
// program's own format is made beside it, and that copy is what gets opened.
namespace LegacyLibraryConversion {
// Looks into the older library at path first (an original that cannot be converted is
// reported at once); when an earlier conversion's copy is beside it, offers to open that
// copy, else asks whether to convert; on Convert writes the copy (with a progress dialog
// when it takes a while) and reports the cards converted and left out. Returns the path
// to open, or empty when the learner cancelled or the conversion failed (already
// reported). The original is never changed.
QString Offer(QWidget *parent, const QString &path, QuestionStyle style);

// The path an Open command should go on with: path itself unless the file is an
// older Access library, whose copy Offer makes; empty when there is nothing to open.
QString PathToOpen(QWidget *parent, const QString &path, QuestionStyle style);

// The question's text for the original and the name its copy will get.
QString QuestionText(const QString &path, const QString &copyPath);
// The question when an earlier copy is beside the original.
QString EarlierCopyText(const QString &path, const QString &copyPath);
} // namespace LegacyLibraryConversion
