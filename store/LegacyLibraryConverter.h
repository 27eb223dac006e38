#pragma once

#include "platform/LexomatError.h"
#include <QList>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

struct JetCard;

// A card of the older library that the copy could not take, and why.
struct LeftOutCard {
    std::optional<qint64> id; // empty when the row had no ID
    QString reason;
};

struct ConversionResult {
    int converted = 0;
    QList<LeftOutCard> leftOut; // in the order of the original file
    qint64 totalTime = 0;
};

// Thrown when the caller's progress step asked to stop; nothing was written.
class ConversionCancelled : public LexomatError {
public:
    ConversionCancelled() : LexomatError(QStringLiteral("The conversion was cancelled.")) {}
};

// Copies a library in the older Access format into a new library file of the
// program's own format, keeping every ID, word, level and definition and the study
// time. The copy is written under a temporary name beside it in one transaction and
// gets its name only when complete; on any failure nothing is left behind. The
// original is only read.
namespace LegacyLibraryConverter {
// done and total count cards; returning false stops the conversion.
using Progress = std::function<bool(int done, int total)>;

// Throws LexomatError when the original cannot be converted or the copy cannot be
// written, ConversionCancelled when progress said stop. newPath must not exist.
ConversionResult Convert(const QString &oldPath, const QString &newPath,
                         const Progress &progress = {});

// Looks into the original before anything is asked: the number of its cards. Throws
// LexomatError when it cannot be converted (no table Library, damaged, not an older
// library), ConversionCancelled when progress said stop. Nothing is written.
int Inspect(const QString &oldPath, const Progress &progress = {});

// The copy an earlier conversion made beside the original ("NAME (Lexomat).mdb"),
// when it is there and a library; empty otherwise.
QString EarlierCopy(const QString &oldPath);

// Empty when the card fits a library file; otherwise the reason it is left out.
QString LeftOutReason(const JetCard &card);

// "NAME (Lexomat).mdb" beside the original, or with " 2", " 3", ... when taken.
QString FreeCopyPath(const QString &oldPath);

// "K cards converted; M left out: IDs 17, 204, ..." (the first IDs only).
QString Summary(const ConversionResult &result);
} // namespace LegacyLibraryConverter
