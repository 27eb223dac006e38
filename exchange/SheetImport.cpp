#include "exchange/SheetImport.h"

#include "formats/WorkbookReader.h"
#include "platform/CountedNoun.h"
#include "store/CardBatch.h"
#include "store/LibraryConnection.h"
#include "store/LibraryWords.h"

#include <QScopeGuard>
#include <QStringList>
#include <exception>
#include <memory>
#include <sqlite3.h>
#include <thread>
#include <unordered_set>
#include <vector>

namespace {
// A sheet row that may become a card: the first row of its word that the library can
// take, or a row it cannot take (definition empty) before any such row of its word.
struct Candidate {
    int rowNumber;
    QString word;
    QString definition; // empty for a row that is skipped unless the word is known
};

QString WithReason(const QString &message, const QString &reason) {
    return reason.isEmpty() ? message : message + "\n" + reason;
}
} // namespace

QString ImportOutcome::Message() const {
    if (result == Result::TooFewRows)
        return QStringLiteral("Add more records in Sheet!!!");
    if (result == Result::Cancelled)
        return QString();
    QString text = added > 0 ? Counted(added, "new record", "new records") + " added."
                             : QStringLiteral("NO records added.");
    if (skipped > 0) {
        QStringList rows;
        for (int row : skippedRows)
            rows << QString::number(row);
        text += QString("\n%1 %2 skipped (empty word or definition, or a word over %3 "
                        "characters): %4 %5%6")
                    .arg(skipped)
                    .arg(skipped == 1 ? "row was" : "rows were")
                    .arg(SheetImport::MaxWordLength)
                    .arg(skipped == 1 ? "row" : "rows", rows.join(", "),
                         skipped > skippedRows.size() ? QStringLiteral("…") : QString());
    }
    return text;
}

namespace SheetImport {

ImportOutcome Run(WorkbookReader &reader, const QString &sheet, LibraryConnection &library,
                  const Progress &progress) {
    // The sheet is read without the library's write lock; the library's words are read
    // at the same time on a thread of their own. Which words are new is decided once the
    // write lock is held, with the words read again if the file changed meanwhile, so
    // that an import running at the same moment in another program or window cannot
    // make a word go in twice.
    ImportOutcome outcome;
    std::unique_ptr<LibraryWords> words;
    std::exception_ptr wordsFailure;
    auto readWords = [&] {
        try {
            words = std::make_unique<LibraryWords>(library);
        } catch (...) {
            wordsFailure = std::current_exception();
        }
    };
    // A connection that does not serialise its calls is used by this thread alone.
    std::thread wordReader;
    if (sqlite3_db_mutex(library.Handle()))
        wordReader = std::thread(readWords);
    const auto joined = qScopeGuard([&] {
        if (wordReader.joinable())
            wordReader.join();
    });
    std::vector<Candidate> candidates;
    std::unordered_set<QString> taken; // words with a row the library can take
    int dataRows = 0;
    bool cancelled = false;
    const int firstDataRow = reader.FirstDataRow();
    try {
        reader.ReadRows(sheet, [&](int rowNumber, const QStringList &cells) {
            if (rowNumber < firstDataRow)
                return true; // the column names
            dataRows = std::max(dataRows, rowNumber - firstDataRow + 1);
            const QString word = cells.value(0);
            if (!taken.count(word)) {
                const QString definition = cells.value(1);
                if (word.isEmpty() || definition.isEmpty() || word.size() > MaxWordLength) {
                    candidates.push_back({rowNumber, word, QString()});
                } else {
                    taken.insert(word);
                    candidates.push_back({rowNumber, word, definition});
                }
            }
            if (progress && rowNumber % 512 == 0 && !progress(rowNumber, 0)) {
                cancelled = true;
                return false;
            }
            return true;
        });
    } catch (const LexomatError &e) {
        throw SheetReadError(e.message());
    } catch (const std::exception &e) {
        throw SheetReadError(QString::fromUtf8(e.what()));
    }
    taken = {};
    if (cancelled) {
        outcome.result = ImportOutcome::Result::Cancelled;
        return outcome;
    }
    if (dataRows < 2) {
        outcome.result = ImportOutcome::Result::TooFewRows;
        return outcome;
    }
    if (candidates.empty())
        return outcome;

    if (wordReader.joinable())
        wordReader.join();
    else
        readWords();
    CardBatch batch(library); // BEGIN IMMEDIATE: the write lock
    if (wordsFailure || !words->StillCurrent())
        words = std::make_unique<LibraryWords>(library);
    const int total = int(candidates.size());
    for (int i = 0; i < total; ++i) {
        const Candidate &row = candidates[size_t(i)];
        if (!words->Contains(row.word)) {
            if (row.definition.isEmpty()) {
                if (outcome.skippedRows.size() < ListedSkips)
                    outcome.skippedRows << row.rowNumber;
                ++outcome.skipped;
            } else {
                batch.Add(row.word, row.definition);
                ++outcome.added;
            }
        }
        if (progress && i % 512 == 0 && !progress(i, total)) {
            batch.Rollback();
            outcome = ImportOutcome();
            outcome.result = ImportOutcome::Result::Cancelled;
            return outcome;
        }
    }
    batch.Commit();
    return outcome;
}

QString UnableToConnectMessage(const QString &reason) {
    return WithReason("Unable to connect to Excel, make sure the workbook exist and is valid!!!",
                      reason);
}

QString UnableToReadMessage(const QString &sheet, const QString &reason) {
    // The statement as the classic query held it, with its line break.
    return WithReason("Unable to read data from Excel, make sure the query 'Select * From [" +
                          sheet + "]\n' is meaningful!",
                      reason);
}

QString SheetFailureMessage(const WorkbookReader &reader, const QString &sheet,
                            const QString &reason) {
    return reader.SheetNames().contains(sheet) ? UnableToConnectMessage(reason)
                                               : UnableToReadMessage(sheet, reason);
}

QString WriteFailedMessage(const QString &reason) {
    return WithReason("Unable to add the records to the library; nothing was imported.", reason);
}

} // namespace SheetImport
