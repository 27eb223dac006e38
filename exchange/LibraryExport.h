#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

class LibraryConnection;

// Writes every card of a library (ID order, whatever a dataset's search and sort)
// into a new workbook with one worksheet "Sheet1" (or a text list): row 1 "Word" and
// "Definition", then one row per card; or into a KVTML vocabulary file with those two
// identifiers, one entry per card, every text whole. The file is written to a temporary
// file in the target's folder and renamed over the target only when complete and
// flushed, so a failure leaves an existing file as it was and no temporary file behind.
// A target that is the library being exported, or any library, is refused before
// anything is written.
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

// The format a target's extension names (.xls, .xlsx, .kvtml, .csv, .tsv, in any letter
// case); empty for any other extension, or none. The one place that tells formats apart.
std::optional<Format> FormatOf(const QString &path);
// Throws LexomatError (the reason for the line under "Error at exporting data!!!") for
// a target the export must not write: the library being read (the file itself, links
// followed), any other library (by content: the program's own or the older Access
// format), or a name whose extension is no format the export writes.
void RefuseTarget(const LibraryConnection &library, const QString &path);
// Cards an .xls takes below its column names.
int64_t XlsCardLimit();
int64_t CardCount(LibraryConnection &library);

// Called now and then with done cards of total; returning false cancels (nothing
// is written then).
using Progress = std::function<bool(int64_t done, int64_t total)>;

// Throws LexomatError (the reason for the line under "Error at exporting data!!!").
Outcome Run(LibraryConnection &library, const QString &path, const Progress &progress = {});

QString FailedMessage(const QString &reason);
QString TooManyForXlsQuestion(int64_t cards);
} // namespace LibraryExport
