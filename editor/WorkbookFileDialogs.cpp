#include "editor/WorkbookFileDialogs.h"

#include "widgets/FileDialogLayout.h"

#include <QDir>
#include <QFileDialog>

namespace WorkbookFileDialogs {

namespace {
const QString ExcelFile = QStringLiteral("Excel File (*.xls *.xlsx)");
const QString Spreadsheets = QStringLiteral("Spreadsheets (*.ods *.csv *.tsv)");
const QString ExcelFileXls = QStringLiteral("Excel File (*.xls)");
const QString ExcelWorkbook = QStringLiteral("Excel Workbook (*.xlsx)");
const QString AllFiles = QStringLiteral("All Files (*)");

QString LibraryFolder() {
    const QDir library(QDir::current().filePath(QStringLiteral("library")));
    return library.exists() ? library.absolutePath() : QDir::currentPath();
}

QString Run(QFileDialog &dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    ShowFileDetailsWhole(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
} // namespace

QString ChooseWorkbookToImport(QWidget *parent) {
    QFileDialog dialog(parent, QStringLiteral("&Open..."), LibraryFolder());
    dialog.setObjectName(QStringLiteral("FileOpen2"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({ExcelFile, Spreadsheets, AllFiles});
    return Run(dialog);
}

QString ChooseExportTarget(QWidget *parent, bool preferXlsx, const QString &suggested) {
    QFileDialog dialog(parent, QStringLiteral("Save &As..."), LibraryFolder());
    dialog.setObjectName(QStringLiteral("FileSaveAs2"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({ExcelFileXls, ExcelWorkbook, AllFiles});
    dialog.setDefaultSuffix(preferXlsx ? "xlsx" : "xls");
    if (preferXlsx)
        dialog.selectNameFilter(ExcelWorkbook);
    if (!suggested.isEmpty())
        dialog.selectFile(suggested);
    // The entry chosen gives a name without an extension its format.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString &filter) {
                         dialog.setDefaultSuffix(filter == ExcelWorkbook ? "xlsx" : "xls");
                     });
    return Run(dialog);
}

} // namespace WorkbookFileDialogs
