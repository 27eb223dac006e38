#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

struct sqlite3;

// Writes every card of a library (ID order, whatever a dataset's search and sort)
// into a new workbook with one worksheet "Sheet1": row 1 "Word" and "Definition",
// then one row per card; into a KVTML vocabulary file with those two identifiers, one
// entry per card; or into a .csv or .tsv text list with those titles. Vocabulary files
// and text lists hold every text whole. The file is written to a temporary file in the
// target's folder and renamed over the target only when complete and flushed, so a
// failure leaves an existing file as it was and no temporary file behind. The library
// itself is never a target.
namespace LibraryExport {
enum class Format { Xls, Xlsx, Kvtml, Csv, Tsv };

struct Outcome {
    int64_t cards = 0;
    int cut = 0;          // definitions cut to the cell limit
    QStringList cutWords; // their words, the first ten
    bool cancelled = false;
    QString Message() const; // empty when there is nothing to say
};

constexpr int ListedCuts = 10;

// .xlsx, .kvtml, .csv or .tsv by the file's extension, else .xls.
Format FormatOf(const QString &path);
// Cards an .xls takes below its column names.
int64_t XlsCardLimit();
int64_t CardCount(sqlite3 *db);

// Called now and then with done cards of total; returning false cancels (nothing
// is written then).
using Progress = std::function<bool(int64_t done, int64_t total)>;

// Throws LexomatError (the reason for the line under "Error at exporting data!!!").
Outcome Run(sqlite3 *db, const QString &path, Format format, const Progress &progress = {});

QString FailedMessage(const QString &reason);
QString TooManyForXlsQuestion(int64_t cards);
} // namespace LibraryExport
