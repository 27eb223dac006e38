#pragma once

#include <QString>

class QWidget;

// The file dialogs of the workbook import and export (non-native, so tests can
// answer them). Both start in the library folder. Empty text when cancelled.
namespace WorkbookFileDialogs {
// FileOpen2: an existing workbook.
QString ChooseWorkbookToImport(QWidget *parent);
// FileSaveAs2: where to export; asks before replacing a file. With preferXlsx the
// "Excel Workbook (*.xlsx)" entry is chosen first and `suggested` prefilled.
QString ChooseExportTarget(QWidget *parent, bool preferXlsx = false,
                           const QString &suggested = QString());
} // namespace WorkbookFileDialogs
