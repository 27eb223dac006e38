// Which kind of file the open commands are given, judged by content, not by name.
#include "platform/LibraryFileKind.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

Q_DECLARE_METATYPE(LibraryFileKind)

namespace {
// A Jet/ACE header start: four bytes of page type and version, then the name.
QByteArray AccessHeader(const char *name) {
    return QByteArray("\x00\x01\x00\x00", 4) + name + QByteArray(2048, '\0');
}
} // namespace

class TestLibraryFileKind : public QObject {
    Q_OBJECT
private slots:
    void kindComesFromTheFirstBytes_data() {
        QTest::addColumn<QByteArray>("content"); // empty name: no file at all
        QTest::addColumn<LibraryFileKind>("kind");
        QTest::newRow("Jet 4") << AccessHeader("Standard Jet DB") << LibraryFileKind::Jet;
        QTest::newRow("ACE") << AccessHeader("Standard ACE DB") << LibraryFileKind::Ace;
        QTest::newRow("SQLite") << QByteArray("sqlite") << LibraryFileKind::SQLite;
        QTest::newRow("SQLite magic without its zero")
            << QByteArray("SQLite format 3 and more text") << LibraryFileKind::Other;
        QTest::newRow("Jet name at the wrong place")
            << QByteArray("Standard Jet DB and more") << LibraryFileKind::Other;
        QTest::newRow("Jet name cut short")
            << AccessHeader("Standard Jet DB").left(12) << LibraryFileKind::Other;
        QTest::newRow("empty file") << QByteArray("") << LibraryFileKind::Other;
        QTest::newRow("text") << QByteArray("word;definition\n") << LibraryFileKind::Other;
        QTest::newRow("missing") << QByteArray("missing") << LibraryFileKind::Missing;
        QTest::newRow("folder") << QByteArray("folder") << LibraryFileKind::Missing;
    }
    void kindComesFromTheFirstBytes() {
        QFETCH(QByteArray, content);
        QFETCH(LibraryFileKind, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath("library.mdb");
        if (content == "sqlite") {
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
            QCOMPARE(sqlite3_exec(db, "CREATE TABLE t (x)", nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        } else if (content == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (content != "missing") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QCOMPARE(DetectLibraryFileKind(path), kind);
    }

    void everySharedJet4TestFileIsJet() {
        const QStringList names = QDir(LEXOMAT_JET4_DIR).entryList({"*.mdb"});
        QCOMPARE(names.size(), 5);
        for (const QString &name : names)
            QCOMPARE(DetectLibraryFileKind(QDir(LEXOMAT_JET4_DIR).filePath(name)),
                     LibraryFileKind::Jet);
    }
};

QTEST_GUILESS_MAIN(TestLibraryFileKind)
#include "tst_LibraryFileKind.moc"
