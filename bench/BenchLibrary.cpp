#include "bench/BenchLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <random>
#include <sqlite3.h>
#include <stdexcept>

namespace {
// Bump when the contents change, so that an old cache is not taken for the new one.
constexpr const char *FileName = "bench_library_1m_v3.mdb";

void Exec(sqlite3 *db, const char *sql) {
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "unknown";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

class CardMaker {
public:
    QString Word() {
        static const QString plain = "abcdefghijklmnopqrstuvwxyz";
        static const QString accented = QString::fromUtf8("äöüéèçñßøåÄÖÜÉ");
        const int length = std::uniform_int_distribution<int>(5, 12)(rng);
        QString word;
        for (int i = 0; i < length; ++i)
            word += plain[std::uniform_int_distribution<int>(0, int(plain.size()) - 1)(rng)];
        if (std::uniform_int_distribution<int>(0, 9)(rng) == 0)
            word[std::uniform_int_distribution<int>(0, length - 1)(rng)] =
                accented[std::uniform_int_distribution<int>(0, int(accented.size()) - 1)(rng)];
        if (std::uniform_int_distribution<int>(0, 4)(rng) == 0)
            word[0] = word[0].toUpper();
        return word;
    }
    // Most definitions of a real library begin with a few common words.
    QString Definition() {
        static const QStringList openings = {"a person whose job is to",
                                             "a person who is very good at",
                                             "to make something become more",
                                             "to make something or someone",
                                             "the state or quality of being",
                                             "the act or process of making",
                                             "a word used to describe something that is",
                                             "relating to or characteristic of the",
                                             "to move from one place to another by",
                                             "a small piece of something that",
                                             "a large area of land that is",
                                             "someone who has a lot of",
                                             "something that you use in order to",
                                             "in a way that shows that you are",
                                             "used for saying that something is",
                                             "a building or room where people go to"};
        const int length = std::uniform_int_distribution<int>(60, 200)(rng);
        QString text;
        if (std::uniform_int_distribution<int>(0, 9)(rng) < 8)
            text = openings[std::uniform_int_distribution<int>(0, int(openings.size()) - 1)(rng)];
        while (text.size() < length) {
            if (!text.isEmpty())
                text += ' ';
            text += Word().left(std::uniform_int_distribution<int>(2, 9)(rng)).toLower();
        }
        text[0] = text[0].toUpper();
        return text.left(length - 1) + '.';
    }
    int Level() { return std::uniform_int_distribution<int>(-2, 4)(rng); }

private:
    std::mt19937 rng{20261207};
};

void Generate(const QString &path) {
    sqlite3 *db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        throw std::runtime_error("cannot create " + path.toStdString());
    try {
        Exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
        Exec(db, "CREATE TABLE Library ([ID] INTEGER CONSTRAINT [Index1] PRIMARY KEY "
                 "AUTOINCREMENT, [Word] VARCHAR(100) NOT NULL, [ImportanceField] INTEGER NOT "
                 "NULL, [Definition] TEXT NOT NULL);"
                 "CREATE TABLE TotalTime ([TotalTime] INTEGER NOT NULL);");
        Exec(db, "BEGIN");
        sqlite3_stmt *insert = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO Library (Word, ImportanceField, Definition) "
                           "VALUES (?, ?, ?)",
                           -1, &insert, nullptr);
        CardMaker maker;
        for (int i = 0; i < BenchLibraryCards; ++i) {
            const QByteArray word = maker.Word().toUtf8();
            const QByteArray definition = maker.Definition().toUtf8();
            sqlite3_bind_text(insert, 1, word.constData(), int(word.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 2, maker.Level());
            sqlite3_bind_text(insert, 3, definition.constData(), int(definition.size()),
                              SQLITE_TRANSIENT);
            if (sqlite3_step(insert) != SQLITE_DONE)
                throw std::runtime_error(sqlite3_errmsg(db));
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        Exec(db, "INSERT INTO TotalTime VALUES (123456); COMMIT;");
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
}
} // namespace

QString BenchLibraryPath() {
    QString folder = qEnvironmentVariable("LEXOMAT_BENCH_CACHE");
    if (folder.isEmpty())
        folder = LEXOMAT_BENCH_DEFAULT_CACHE;
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(FileName);
    if (QFileInfo::exists(path))
        return path;
    // Made under another name and renamed, so an interrupted run leaves no half file.
    const QString partial = path + QString(".partial-%1").arg(QCoreApplication::applicationPid());
    QFile::remove(partial);
    std::fprintf(stderr, "making the benchmark library %s ...\n", qPrintable(path));
    Generate(partial);
    if (!QFile::rename(partial, path))
        throw std::runtime_error("cannot rename " + partial.toStdString());
    return path;
}

double SqliteOrderBySeconds(const QString &library, const QString &column) {
    QProcess shell;
    shell.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    shell.start("sqlite3", {library, QString("SELECT ID FROM Library ORDER BY %1;").arg(column)});
    if (!shell.waitForFinished(600000) || shell.exitStatus() != QProcess::NormalExit ||
        shell.exitCode() != 0)
        return -1;
    return clock.nsecsElapsed() / 1e9;
}
