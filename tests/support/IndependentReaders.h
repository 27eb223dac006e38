#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Readers that are not ours, for checking what the program writes: Python's xlrd and
// Perl's Spreadsheet::ParseExcel for .xls, Python's openpyxl and Perl's
// Spreadsheet::ParseXLSX for .xlsx, Python's csv module for .csv and .tsv.
enum class IndependentReader { Xlrd, ParseExcel, Openpyxl, ParseXlsx, PythonCsv };

struct ReadBack {
    QString error; // empty when the reader read the file
    QStringList sheets;
    QList<QStringList> rows; // columns A and B of each row of the first sheet
};

namespace IndependentReaders {
QString Name(IndependentReader reader);
ReadBack Read(IndependentReader reader, const QString &path);
} // namespace IndependentReaders
