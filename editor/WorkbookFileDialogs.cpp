#include "editor/WorkbookFileDialogs.h"

#include "widgets/FileQuestion.h"

#include <QDir>

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

} // namespace

QString ChooseWorkbookToImport(QWidget *parent) {
    FileQuestion question;
    question.objectName = QStringLiteral("FileOpen2");
    question.caption = QStringLiteral("&Open...");
    question.folder = LibraryFolder();
    question.filters = {ExcelFile, Spreadsheets, AllFiles};
    return question.Ask(parent);
}

QString ChooseExportTarget(QWidget *parent, bool preferXlsx, const QString &suggested) {
    FileQuestion question;
    question.objectName = QStringLiteral("FileSaveAs2");
    question.caption = QStringLiteral("Save &As...");
    question.folder = LibraryFolder();
    question.save = true;
    question.filters = {ExcelFileXls, ExcelWorkbook, AllFiles};
    // The entry chosen gives a name without an extension its format.
    question.filterSuffixes = {"xls", "xlsx", "xls"};
    question.defaultSuffix = preferXlsx ? "xlsx" : "xls";
    if (preferXlsx)
        question.selectedFilter = ExcelWorkbook;
    question.suggested = suggested;
    return question.Ask(parent);
}

} // namespace WorkbookFileDialogs
