#include "exchange/LibraryExport.h"

#include "formats/KvtmlWriter.h"
#include "formats/TextListWriter.h"
#include "formats/WorkbookWriter.h"
#include "platform/LexomatError.h"
#include "store/CardReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace LibraryExport {

namespace {
// A definition cut to the cell limit, never between the halves of a surrogate pair,
// with line breaks as LF alone.
QByteArray Fitted(const char *utf8, int size, bool *cut) {
    QString text = QString::fromUtf8(utf8, size);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    *cut = text.size() > CellMaxChars;
    if (*cut)
        text.truncate(text[CellMaxChars - 1].isHighSurrogate() ? CellMaxChars - 1 : CellMaxChars);
    return text.toUtf8();
}

bool NeedsFitting(const char *utf8, int size) {
    // A text of at most CellMaxChars bytes has at most that many UTF-16 units.
    return size > CellMaxChars || std::memchr(utf8, '\r', size_t(size)) != nullptr;
}

void Flush(const QString &path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        throw LexomatError(QString("The file \"%1\" cannot be written: %2").arg(path, reason));
    }
    ::close(fd);
}

// True when `path` names the file of the library's main database, by any name.
bool IsLibraryFile(sqlite3 *db, const QString &path) {
    const char *library = sqlite3_db_filename(db, "main");
    struct stat a {
    }, b{};
    return library && *library && ::stat(library, &a) == 0 &&
           ::stat(QFile::encodeName(path).constData(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

// The permissions a new file gets from the user's umask, or the replaced file's own.
void SetPermissions(const QString &temp, const QString &target) {
    struct stat st {};
    mode_t mode;
    if (::stat(QFile::encodeName(target).constData(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::chmod(QFile::encodeName(temp).constData(), mode);
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

Format FormatOf(const QString &path) {
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare("xlsx", Qt::CaseInsensitive) == 0)
        return Format::Xlsx;
    if (suffix.compare("kvtml", Qt::CaseInsensitive) == 0)
        return Format::Kvtml;
    if (suffix.compare("csv", Qt::CaseInsensitive) == 0)
        return Format::Csv;
    if (suffix.compare("tsv", Qt::CaseInsensitive) == 0)
        return Format::Tsv;
    return Format::Xls;
}

int64_t XlsCardLimit() {
    return XlsMaxRows - 1;
}

int64_t CardCount(sqlite3 *db) {
    return CardReader::Count(db);
}

Outcome Run(sqlite3 *db, const QString &path, Format format, const Progress &progress) {
    Outcome outcome;
    const int64_t total = CardReader::Count(db);
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
    // Renamed over the library, the export would put a workbook in its place.
    if (IsLibraryFile(db, path))
        throw LexomatError(
            QString("\"%1\" is the library being exported; choose another file.").arg(path));

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
            std::unique_ptr<WorkbookWriter> writer =
                format == Format::Kvtml  ? CreateKvtmlWriter(temp, target.completeBaseName())
                : format == Format::Csv  ? CreateTextListWriter(temp, ',')
                : format == Format::Tsv  ? CreateTextListWriter(temp, '\t')
                : format == Format::Xlsx ? CreateXlsxWriter(temp, "Sheet1")
                                         : CreateXlsWriter(temp, "Sheet1");
            // Vocabulary files and text lists have no cell limit: their texts go out whole.
            const bool fitCells = format == Format::Xls || format == Format::Xlsx;
            writer->AddRow("Word", "Definition");
            int64_t done = 0;
            CardReader::ForEach(db, [&](const CardText &card) {
                std::string_view word(card.word, size_t(card.wordSize));
                std::string_view definition(card.definition, size_t(card.definitionSize));
                QByteArray fittedWord, fittedDefinition;
                bool cut = false;
                if (fitCells && NeedsFitting(card.word, card.wordSize)) {
                    fittedWord = Fitted(card.word, card.wordSize, &cut);
                    word = std::string_view(fittedWord.constData(), size_t(fittedWord.size()));
                }
                if (fitCells && NeedsFitting(card.definition, card.definitionSize)) {
                    fittedDefinition = Fitted(card.definition, card.definitionSize, &cut);
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
        Flush(temp);
        SetPermissions(temp, path);
        if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) !=
            0)
            throw LexomatError(QString("The file \"%1\" cannot be replaced: %2")
                                   .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        // The new name reaches the disk with the folder.
        Flush(target.absolutePath());
    } catch (const LexomatError &error) {
        QFile::remove(temp);
        // The learner chose the target; the temporary name means nothing to them.
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
