#include "tests/support/TestWorkspace.h"

#include <QDir>
#include <QtTest>
#include <sndfile.h>
#include <sqlite3.h>

// The files shipped in data/: sample libraries that open for study as they are, and
// a sound the player can decode.
class TestBundledData : public QObject {
    Q_OBJECT
private slots:
    void sampleLibrariesAreReadyToStudy();
    void germanSampleKeepsItsLetters();
    void wrongSoundIsAShortAuFile();
};

namespace {
QStringList libraries() {
    QStringList paths;
    const QDir dir(TestWorkspace::dataDir() + "/library");
    for (const QString &name : dir.entryList({"*.mdb"}, QDir::Files))
        paths << dir.filePath(name);
    return paths;
}

QList<QStringList> rows(const QString &path, const char *sql) {
    sqlite3 *db = nullptr;
    QList<QStringList> result;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return result;
    }
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)));
        result << row;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return result;
}
} // namespace

void TestBundledData::sampleLibrariesAreReadyToStudy() {
    const QStringList paths = libraries();
    QVERIFY(paths.size() >= 2);
    for (const QString &path : paths) {
        const auto cards = rows(path, "SELECT Word, Definition, ImportanceField FROM Library");
        QVERIFY2(cards.size() >= 40, qPrintable(path));
        QSet<QString> words;
        for (const QStringList &card : cards) {
            QVERIFY2(!card[0].trimmed().isEmpty() && !card[1].trimmed().isEmpty(),
                     qPrintable(path));
            QVERIFY(card[0].size() <= 100);
            QCOMPARE(card[2], QString("0"));
            words.insert(card[0]);
        }
        QCOMPARE(words.size(), cards.size());
        QCOMPARE(rows(path, "SELECT COUNT(*) FROM TotalTime").value(0).value(0), QString("0"));
    }
}

void TestBundledData::germanSampleKeepsItsLetters() {
    const auto words =
        rows(TestWorkspace::dataDir() + "/library/German-English.mdb", "SELECT Word FROM Library");
    QString all;
    for (const QStringList &w : words)
        all += w[0];
    for (const QString &letter : {QString("ä"), QString("ö"), QString("ü"), QString("ß")})
        QVERIFY2(all.contains(letter), qPrintable(letter));
}

void TestBundledData::wrongSoundIsAShortAuFile() {
    SF_INFO info{};
    SNDFILE *file = sf_open(QFile::encodeName(TestWorkspace::dataDir() + "/wrong.au").constData(),
                            SFM_READ, &info);
    QVERIFY(file);
    sf_close(file);
    QCOMPARE(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_AU);
    const double seconds = double(info.frames) / info.samplerate;
    QVERIFY(seconds > 0.1 && seconds < 1.0);
}

QTEST_GUILESS_MAIN(TestBundledData)
#include "tst_BundledData.moc"
