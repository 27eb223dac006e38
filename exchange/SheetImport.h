#pragma once

#include "platform/LexomatError.h"

#include <QList>
#include <QString>
#include <functional>

class LibraryConnection;
class WorkbookReader;

// What one import did, and the message that tells the user.
struct ImportOutcome {
    enum class Result { Added, TooFewRows, Cancelled };
    Result result = Result::Added;
    int added = 0;
    int skipped = 0;
    QList<int> skippedRows; // sheet row numbers, the first ten
    QString Message() const;
};

// The sheet could not be read (as opposed to the library refusing the write).
class SheetReadError : public LexomatError {
public:
    using LexomatError::LexomatError;
};

// Takes the new cards of one sheet into a library, without any window: row 1 holds
// the column names (unless the file has none), column A the word, column B the
// definition. A row is added when
// its word (the whole value, exactly) is neither in the library nor added earlier
// in the same import; a row the library cannot take (empty word or definition, a
// word over 100 characters) is skipped and reported. All new cards are written in
// one transaction, or none.
namespace SheetImport {
constexpr int MaxWordLength = 100;
constexpr int ListedSkips = 10;

// Called now and then: done rows of total (total 0 while the sheet is being read).
// Returning false cancels the import, which then writes nothing.
using Progress = std::function<bool(int done, int total)>;

// Throws SheetReadError when the sheet cannot be read, LexomatError when the library
// refuses the write (nothing is written then).
ImportOutcome Run(WorkbookReader &reader, const QString &sheet, LibraryConnection &library,
                  const Progress &progress = {});

QString UnableToConnectMessage(const QString &reason);
QString UnableToReadMessage(const QString &sheet, const QString &reason);
// A sheet that could not be read: a sheet the workbook lists was refused as damaged or
// hostile ("Unable to connect..."); one it does not list is "Unable to read data...".
QString SheetFailureMessage(const WorkbookReader &reader, const QString &sheet,
                            const QString &reason);
QString WriteFailedMessage(const QString &reason);
} // namespace SheetImport
