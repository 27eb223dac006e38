#include "editor/WorkbookFileDialogs.h"

#include "widgets/FileQuestion.h"

#include <QDir>

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

} // namespace

QString ChooseWorkbookToImport(QWidget *parent) {
    FileQuestion question;
    question.objectName = QStringLiteral("FileOpen2");
    question.caption = QStringLiteral("&Open...");
    question.folder = LibraryFolder();
    question.filters = {ExcelFile, Spreadsheets, Vocabulary, AllFiles};
    return question.Ask(parent);
}

QString ChooseExportTarget(QWidget *parent, bool preferXlsx, const QString &suggested) {
    FileQuestion question;
    question.objectName = QStringLiteral("FileSaveAs2");
    question.caption = QStringLiteral("Save &As...");
    question.folder = LibraryFolder();
    question.save = true;
    // The entry chosen gives a name without an extension its format.
    for (const auto &[filter, suffix] : ExportFormats) {
        question.filters << filter;
        question.filterSuffixes << suffix;
    }
    question.filters << AllFiles;
    question.filterSuffixes << QString();
    question.defaultSuffix = preferXlsx ? "xlsx" : "xls";
    if (preferXlsx)
        question.selectedFilter = ExcelWorkbook;
    question.suggested = suggested;
    return question.Ask(parent);
}

} // namespace WorkbookFileDialogs
