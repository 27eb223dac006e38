#include "store/LegacyLibraryConverter.h"

#include "formats/JetReaderProcess.h"
#include "formats/LibraryFileKind.h"
#include "platform/DurableFiles.h"
#include "platform/FileIdentity.h"
#include "store/LibraryConnection.h"
#include "store/SqliteStatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <limits>
#include <sqlite3.h>

namespace {
constexpr int MaximumWordLength = 100; // the width of the column Word
constexpr int ProgressEvery = 64;      // cards between two progress steps
constexpr int ListedIds = 20;          // IDs named in the summary

bool Fits32Bits(qint64 value) {
    return value >= std::numeric_limits<int32_t>::min() &&
           value <= std::numeric_limits<int32_t>::max();
}

[[noreturn]] void Refuse(const QString &oldPath, const QString &reason) {
    throw LexomatError(QString("The library \"%1\" cannot be converted: %2")
                           .arg(QFileInfo(oldPath).fileName(), reason));
}

// A name beside the copy that nobody else uses; the copy is written there first.
QString TemporaryPathFor(const QString &newPath) {
    const QFileInfo target(newPath);
    QString path;
    do {
        path = target.dir().filePath(
            QString(".%1.%2.part")
                .arg(target.fileName())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
    } while (QFileInfo::exists(path));
    return path;
}

void RemoveWithJournal(const QString &path) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

// Cards done of total, shared with the wait for the reader.
struct Counts {
    int done = 0;
    int total = 0;
};

// Makes the copy and fills it in one transaction; an unfinished transaction ends
// unwritten when the connection closes, and the file goes anyway.
ConversionResult WriteCopy(JetReaderProcess &reader, const QString &path,
                           const LegacyLibraryConverter::Progress &progress, Counts &counts) {
    ConversionResult result;
    LibraryConnection copy(path, LibraryConnection::Mode::CreateNew);
    copy.Begin(QStringLiteral("Writing the copy"));
    {
        SqliteStatement insert(copy.Handle(),
                               "INSERT INTO Library (ID, Word, ImportanceField, Definition) "
                               "VALUES (?, ?, ?, ?)",
                               QStringLiteral("Writing a card"));
        const int total = counts.total = reader.CardCount();
        int &done = counts.done;
        JetCard card;
        QSet<qint64> ids; // a file without its key may repeat an ID; the first card keeps it
        while (reader.NextCard(card)) {
            QString reason = LegacyLibraryConverter::LeftOutReason(card);
            if (reason.isEmpty() && ids.contains(*card.id))
                reason = QStringLiteral("its ID belongs to an earlier card");
            if (reason.isEmpty()) {
                ids.insert(*card.id);
                insert.BindInt(1, *card.id);
                insert.BindText(2, *card.word);
                insert.BindInt(3, *card.level);
                insert.BindText(4, *card.definition);
                insert.Step();
                ++result.converted;
            } else {
                result.leftOut.append({card.id, reason});
            }
            if (++done % ProgressEvery == 0 && progress && !progress(done, total))
                throw ConversionCancelled();
        }
        if (progress && !progress(total, total))
            throw ConversionCancelled();
    }
    result.totalTime = reader.TotalTime();
    if (!Fits32Bits(result.totalTime) || result.totalTime < 0)
        result.totalTime = 0; // no study time a learner could have spent
    SqliteStatement time(copy.Handle(), "INSERT INTO TotalTime (TotalTime) VALUES (?)",
                         QStringLiteral("Writing the study time"));
    time.BindInt(1, result.totalTime);
    time.Step();
    copy.Commit(QStringLiteral("Writing the copy"));
    return result;
}
} // namespace

namespace LegacyLibraryConverter {

QString LeftOutReason(const JetCard &card) {
    if (!card.id)
        return QStringLiteral("it has no ID");
    if (!Fits32Bits(*card.id))
        return QStringLiteral("its ID is outside 32 bits");
    if (!card.word)
        return QStringLiteral("its word is empty (NULL)");
    if (card.word->size() > MaximumWordLength)
        return QStringLiteral("its word is longer than %1 characters").arg(MaximumWordLength);
    if (!card.level)
        return QStringLiteral("its level is empty (NULL) or not a whole number");
    if (!Fits32Bits(*card.level))
        return QStringLiteral("its level is outside 32 bits");
    if (!card.definition)
        return QStringLiteral("its definition is empty (NULL)");
    if (card.textCut)
        return QStringLiteral("its text is too long to read whole");
    return {};
}

// Refuses an original that is no older Access library.
static void RequireLegacyKind(const QString &oldPath) {
    switch (DetectLibraryFileKind(oldPath)) {
    case LibraryFileKind::Missing:
        Refuse(oldPath, QStringLiteral("the file does not exist or cannot be read."));
    case LibraryFileKind::SQLite:
        Refuse(oldPath, QStringLiteral("it is already a library in Lexomat's own format."));
    case LibraryFileKind::Other:
        Refuse(oldPath, QStringLiteral("it is not an Access database."));
    case LibraryFileKind::Jet:
    case LibraryFileKind::Ace:
        break;
    }
}

int Inspect(const QString &oldPath, const Progress &progress) {
    RequireLegacyKind(oldPath);
    const JetReaderProcess reader(oldPath, [&progress] {
        if (progress && !progress(0, 0))
            throw ConversionCancelled();
    });
    return reader.CardCount();
}

QString EarlierCopy(const QString &oldPath) {
    const QFileInfo original(oldPath);
    const QString copy =
        original.dir().filePath(original.completeBaseName() + QStringLiteral(" (Lexomat).mdb"));
    return DetectLibraryFileKind(copy) == LibraryFileKind::SQLite ? copy : QString();
}

ConversionResult Convert(const QString &oldPath, const QString &newPath, const Progress &progress) {
    RequireLegacyKind(oldPath);
    // The file itself, not the path: a link to the original is the original.
    if (SameFile(oldPath, newPath))
        Refuse(oldPath, QString("\"%1\" is the library being converted; the copy needs a "
                                "name of its own.")
                            .arg(newPath));
    if (QFileInfo::exists(newPath) || QFileInfo(newPath).isSymLink())
        Refuse(oldPath, QString("the file \"%1\" already exists.").arg(newPath));
    const QFileInfo folder(QFileInfo(newPath).absolutePath());
    if (!folder.isDir())
        Refuse(oldPath, QString("the folder of \"%1\" does not exist.").arg(newPath));
    if (!folder.isWritable())
        Refuse(oldPath, QString("the folder \"%1\" cannot be written to.").arg(folder.filePath()));

    // Everything that can refuse the original does so before anything is written. The
    // original is read in a child process, whose wait shows progress with Cancel.
    Counts counts;
    JetReaderProcess reader(oldPath, [&progress, &counts] {
        if (progress && !progress(counts.done, counts.total))
            throw ConversionCancelled();
    });
    const QString temporary = TemporaryPathFor(newPath);
    try {
        const ConversionResult result = WriteCopy(reader, temporary, progress, counts);
        // Never over a file that appeared meanwhile; the name is on disk when it returns.
        if (!DurableFiles::MoveToFreeName(temporary, newPath))
            throw LexomatError(QString("The copy \"%1\" cannot be given its name: the file "
                                       "already exists.")
                                   .arg(newPath));
        return result;
    } catch (const ConversionCancelled &) {
        RemoveWithJournal(temporary);
        throw;
    } catch (const JetReadError &) { // the original, not the copy, is at fault
        RemoveWithJournal(temporary);
        throw;
    } catch (const LexomatError &error) {
        RemoveWithJournal(temporary);
        throw LexomatError(QString("The copy \"%1\" could not be written; nothing was kept. %2")
                               .arg(QFileInfo(newPath).fileName(), error.message()));
    } catch (...) {
        RemoveWithJournal(temporary);
        throw;
    }
}

QString FreeCopyPath(const QString &oldPath) {
    const QFileInfo original(oldPath);
    const QString name = original.completeBaseName() + QStringLiteral(" (Lexomat)");
    QString path = original.dir().filePath(name + QStringLiteral(".mdb"));
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = original.dir().filePath(QString("%1 %2.mdb").arg(name).arg(n));
    return path;
}

QString Summary(const ConversionResult &result) {
    QString text = result.converted == 1 ? QStringLiteral("1 card converted")
                                         : QString("%1 cards converted").arg(result.converted);
    if (result.leftOut.isEmpty())
        return text + QLatin1Char('.');
    QStringList ids;
    for (const LeftOutCard &card :
         result.leftOut.first(std::min<qsizetype>(ListedIds, result.leftOut.size())))
        ids << (card.id ? QString::number(*card.id) : QStringLiteral("(none)"));
    if (result.leftOut.size() > ListedIds)
        ids << QStringLiteral("…");
    return text +
           QString("; %1 left out: %2 %3")
               .arg(result.leftOut.size())
               .arg(result.leftOut.size() == 1 ? QStringLiteral("ID") : QStringLiteral("IDs"),
                    ids.join(QStringLiteral(", ")));
}

} // namespace LegacyLibraryConverter
