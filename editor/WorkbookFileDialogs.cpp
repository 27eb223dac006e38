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
const QString Vocabulary = QStringLiteral("Vocabulary Files (*.kvtml *.txt)");
// The formats of the export, in the order offered, with the extension each gives.
const std::pair<QString, QString> ExportFormats[] = {
    {ExcelFileXls, "xls"},
    {ExcelWorkbook, "xlsx"},
    {QStringLiteral("KVTML Vocabulary (*.kvtml)"), "kvtml"},
    {QStringLiteral("CSV Text, UTF-8 (*.csv)"), "csv"},
    {QStringLiteral("Tab-Separated Text (*.tsv)"), "tsv"}};
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
    dialog.setNameFilters({ExcelFile, Spreadsheets, Vocabulary, AllFiles});
    return Run(dialog);
}

QString ChooseExportTarget(QWidget *parent, bool preferXlsx, const QString &suggested) {
    QFileDialog dialog(parent, QStringLiteral("Save &As..."), LibraryFolder());
    dialog.setObjectName(QStringLiteral("FileSaveAs2"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const auto &[filter, suffix] : ExportFormats)
        filters << filter;
    dialog.setNameFilters(filters << AllFiles);
    dialog.setDefaultSuffix(preferXlsx ? "xlsx" : "xls");
    if (preferXlsx)
        dialog.selectNameFilter(ExcelWorkbook);
    if (!suggested.isEmpty())
        dialog.selectFile(suggested);
    // The entry chosen gives a name without an extension its format.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString &filter) {
                         for (const auto &[name, suffix] : ExportFormats)
                             if (filter == name)
                                 dialog.setDefaultSuffix(suffix);
                     });
    return Run(dialog);
}

} // namespace WorkbookFileDialogs
