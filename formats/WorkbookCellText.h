#pragma once

#include <QString>

// How every workbook reader turns a stored value into the text a card receives, so
// that the same cell reads alike from .xls, .xlsx, .ods and .csv.
namespace WorkbookCellText {

// The shortest of %.15g, %.16g and %.17g that reads back to the same double:
// 12, 3.5, 1e-07, 0.1.
QString Number(double value);

// A date serial as yyyy-mm-dd (the time of day dropped). The 1900 system counts
// its phantom 29 February 1900 as the spreadsheet shows it. Serials outside the
// years 1900 (1904) to 9999 come back as numbers.
QString Date(double serial, bool date1904);

// Whether a number format shows a date: built-in formats 14-17 and 22, or a format
// code with d, m or y outside quotes, brackets and escapes.
bool IsDateFormat(int formatId, const QString &formatCode);
bool IsBuiltInDateFormat(int formatId);
bool IsDateFormatCode(const QString &formatCode);

// Errors and booleans as a spreadsheet shows them.
QString Boolean(bool value);
QString BiffError(int code); // "#DIV/0!" for 0x07; empty for an unknown code

} // namespace WorkbookCellText
