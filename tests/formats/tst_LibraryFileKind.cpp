// Which kind of file the open commands are given, judged by content, not by name.
#include "formats/LibraryFileKind.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

Q_DECLARE_METATYPE(LibraryFileKind)

class TestLibraryFileKind : public QObject {
    Q_OBJECT
private slots:
    void kindComesFromTheFirstBytes_data() {
        QTest::addColumn<QByteArray>("content"); // or "sqlite", "folder", "missing"
        QTest::addColumn<LibraryFileKind>("kind");
        const QByteArray page = QByteArray("\x00\x01\x00\x00", 4);
        QTest::newRow("Jet 4") << page + "Standard Jet DB" + QByteArray(64, 0)
                               << LibraryFileKind::Jet;
        QTest::newRow("ACE") << page + "Standard ACE DB" << LibraryFileKind::Ace;
        QTest::newRow("SQLite") << QByteArray("sqlite") << LibraryFileKind::SQLite;
        QTest::newRow("SQLite's text without its zero")
            << QByteArray("SQLite format 3 and more") << LibraryFileKind::Other;
        QTest::newRow("Jet's name at the wrong place")
            << QByteArray("Standard Jet DB") << LibraryFileKind::Other;
        QTest::newRow("Jet's name cut short") << page + "Standard Jet" << LibraryFileKind::Other;
        QTest::newRow("empty file") << QByteArray("") << LibraryFileKind::Other;
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
};

QTEST_GUILESS_MAIN(TestLibraryFileKind)
#include "tst_LibraryFileKind.moc"
