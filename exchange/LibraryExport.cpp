#include "exchange/LibraryExport.h"

#include "formats/KvtmlWriter.h"
#include "formats/LibraryFileKind.h"
#include "formats/WorkbookWriter.h"
#include "platform/DurableFiles.h"
#include "platform/LexomatError.h"
#include "store/CardReader.h"
#include "store/LibraryConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryFile>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace LibraryExport {

namespace {
// A text cut to the cell limit, never between the halves of a surrogate pair, with line
// breaks as LF alone.
QByteArray Fitted(const char *utf8, int size, int limit, bool *cut) {
    QString text = QString::fromUtf8(utf8, size);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    *cut = text.size() > limit;
    if (*cut)
        text.truncate(text[limit - 1].isHighSurrogate() ? limit - 1 : limit);
    return text.toUtf8();
}

bool NeedsFitting(const char *utf8, int size, int limit) {
    // A text of at most `limit` bytes has at most that many UTF-16 units.
    return size > limit || std::memchr(utf8, '\r', size_t(size)) != nullptr;
}

// The one place that names each format's writer; `target` is the file the export makes.
std::unique_ptr<WorkbookWriter> CreateWriter(Format format, const QString &path,
                                             const QFileInfo &target) {
    switch (format) {
    case Format::Xls:
        return CreateXlsWriter(path, QStringLiteral("Sheet1"));
    case Format::Xlsx:
        return CreateXlsxWriter(path, QStringLiteral("Sheet1"));
    case Format::Kvtml:
        return CreateKvtmlWriter(path, target.completeBaseName());
    case Format::Csv:
        return CreateCsvWriter(path);
    case Format::Tsv:
        return CreateTsvWriter(path);
    }
    throw LexomatError(QStringLiteral("No writer for that kind of file."));
}

// The permissions a new file gets from the user's umask, or the replaced file's own.
void SetPermissions(const QString &temp, const QString &target) {
    ::chmod(QFile::encodeName(temp).constData(), DurableFiles::ModeFor(target));
}
} // namespace

QString Outcome::Message() const {
    if (cancelled)
        return QString();
    if (cards == 0)
        return QStringLiteral("No records added.");
    if (cut == 0)
        return QString();
    return QString("%1 %2 longer than %3 characters and %4 cut to that length: %5%6")
        .arg(cut)
        .arg(cut == 1 ? "definition was" : "definitions were")
        .arg(QLocale(QLocale::English).toString(CellMaxChars))
        .arg(cut == 1 ? "was" : "were")
        .arg(cutWords.join(", "), cut > cutWords.size() ? QStringLiteral("…") : QString());
}

std::optional<Format> FormatOf(const QString &path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"xls")
        return Format::Xls;
    if (suffix == u"xlsx")
        return Format::Xlsx;
    if (suffix == u"kvtml")
        return Format::Kvtml;
    if (suffix == u"csv")
        return Format::Csv;
    if (suffix == u"tsv")
        return Format::Tsv;
    return std::nullopt;
}

void RefuseTarget(const LibraryConnection &library, const QString &path) {
    const QString name = QFileInfo(path).fileName();
    // The file itself, not the path: a link to the library, or the library under another
    // spelling of its path, is the library.
    if (library.IsFile(path))
        throw LexomatError(
            QString("\"%1\" is the library being exported; nothing was written.").arg(name));
    if (IsLibraryFile(path))
        throw LexomatError(QString("\"%1\" is a library file; the export never writes over a "
                                   "library.")
                               .arg(name));
    if (!FormatOf(path))
        throw LexomatError(
            QString("\"%1\" is not a kind of file the export writes: name the file with the "
                    "extension .xls, .xlsx, .kvtml, .csv or .tsv.")
                .arg(name));
}

int64_t XlsCardLimit() {
    return XlsMaxRows - 1;
}

int64_t CardCount(LibraryConnection &library) {
    return CardReader::Count(library);
}

Outcome Run(LibraryConnection &library, const QString &path, const Progress &progress) {
    RefuseTarget(library, path);
    const Format format = *FormatOf(path);
    Outcome outcome;
    const int64_t total = CardReader::Count(library);
    if (format == Format::Xls && total > XlsCardLimit())
        throw LexomatError(QString("The library holds %1 cards; an Excel 97-2003 workbook (.xls) "
                                   "holds at most %2.")
                               .arg(total)
                               .arg(XlsCardLimit()));
    const QFileInfo target(path);
    if (!target.absoluteDir().exists())
        throw LexomatError(QString("The folder \"%1\" does not exist.").arg(target.absolutePath()));
    if (target.isDir())
        throw LexomatError(QString("\"%1\" is a folder.").arg(path));
    // The new file is renamed over the old one, which a folder allows whatever the file's
    // own mode: a file marked read-only for everyone is kept (even from root).
    if (target.exists() &&
        (!target.isWritable() ||
         !(target.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther))))
        throw LexomatError(QString("The file \"%1\" is read-only.").arg(path));

    // Only the name is reserved here; the writer makes the file again.
    QString temp;
    {
        QTemporaryFile reserve(
            target.absoluteDir().filePath("." + target.fileName() + ".XXXXXX.part"));
        reserve.setAutoRemove(false);
        if (!reserve.open())
            throw LexomatError(
                QString("The file \"%1\" cannot be written: %2").arg(path, reserve.errorString()));
        temp = reserve.fileName();
    }
    try {
        {
            std::unique_ptr<WorkbookWriter> writer = CreateWriter(format, temp, target);
            // Formats without a cell limit (vocabulary files, text lists) get every text
            // whole, line breaks as they are.
            const int limit = writer->MaxCellChars();
            const bool fitCells = limit < std::numeric_limits<int>::max();
            writer->AddRow("Word", "Definition");
            int64_t done = 0;
            CardReader::ForEach(library, [&](const CardText &card) {
                std::string_view word(card.word, size_t(card.wordSize));
                std::string_view definition(card.definition, size_t(card.definitionSize));
                QByteArray fittedWord, fittedDefinition;
                bool cut = false;
                if (fitCells && NeedsFitting(card.word, card.wordSize, limit)) {
                    fittedWord = Fitted(card.word, card.wordSize, limit, &cut);
                    word = std::string_view(fittedWord.constData(), size_t(fittedWord.size()));
                }
                if (fitCells && NeedsFitting(card.definition, card.definitionSize, limit)) {
                    fittedDefinition = Fitted(card.definition, card.definitionSize, limit, &cut);
                    definition = std::string_view(fittedDefinition.constData(),
                                                  size_t(fittedDefinition.size()));
                    if (cut) {
                        if (outcome.cutWords.size() < ListedCuts)
                            outcome.cutWords << QString::fromUtf8(card.word, card.wordSize);
                        ++outcome.cut;
                    }
                }
                writer->AddRow(word, definition);
                ++done;
                if (progress && done % 1024 == 0 && !progress(done, total)) {
                    outcome.cancelled = true;
                    return false;
                }
                return true;
            });
            outcome.cards = done;
            if (outcome.cancelled) {
                writer.reset();
                QFile::remove(temp);
                return outcome;
            }
            writer->Finish();
        }
        DurableFiles::FlushFile(temp);
        SetPermissions(temp, path);
        // Looked at again at the last moment: a library put there meanwhile stays.
        RefuseTarget(library, path);
        // The new name reaches the disk with the folder.
        DurableFiles::MoveOver(temp, path);
    } catch (const LexomatError &error) {
        QFile::remove(temp);
        // The learner chose the target; the temporary name beside it means nothing to them.
        throw LexomatError(QString(error.message()).replace(temp, path));
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    return outcome;
}

QString FailedMessage(const QString &reason) {
    return reason.isEmpty() ? QStringLiteral("Error at exporting data!!!")
                            : "Error at exporting data!!!\n" + reason;
}

QString TooManyForXlsQuestion(int64_t cards) {
    const QLocale english(QLocale::English);
    return QString("The library holds %1 cards; an Excel 97-2003 workbook (.xls) holds at most "
                   "%2 below its column names, so nothing was exported.\n"
                   "Export to an Excel Workbook (.xlsx) instead?")
        .arg(english.toString(qlonglong(cards)), english.toString(qlonglong(XlsCardLimit())));
}

} // namespace LibraryExport
