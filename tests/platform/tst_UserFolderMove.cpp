#include "tests/support/TestWorkspace.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// scripts/run moves what older versions kept in ~/.lexomat into the per-user
// folder: no library may be lost, whatever the new folder already holds.
using Files = QMap<QString, QByteArray>; // relative path -> content

class TestUserFolderMove : public QObject {
    Q_OBJECT
private slots:
    void everyLibraryArrives_data();
    void everyLibraryArrives();
};

namespace {
void writeFiles(const QString &root, const Files &files) {
    for (auto it = files.begin(); it != files.end(); ++it) {
        const QString path = root + "/" + it.key();
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(it.value());
    }
}

Files readFiles(const QString &root) {
    Files files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files.insert(QDir(root).relativeFilePath(path), file.readAll());
    }
    return files;
}
} // namespace

void TestUserFolderMove::everyLibraryArrives_data() {
    QTest::addColumn<Files>("old");
    QTest::addColumn<Files>("existing"); // in the new folder; empty: no new folder yet
    QTest::addColumn<Files>("expected");
    const Files old{
        {"library/A.mdb", "mine"}, {"12345.mdb", "untitled"}, {"elements/main.txt", "m"}};
    QTest::newRow("no new folder yet: moved whole") << old << Files() << old;
    QTest::newRow("the same library in both")
        << Files{{"library/A.mdb", "same"}} << Files{{"library/A.mdb", "same"}}
        << Files{{"library/A.mdb", "same"}};
    QTest::newRow("another library of the same name")
        << Files{{"library/A.mdb", "old"}} << Files{{"library/A.mdb", "new"}}
        << Files{{"library/A.mdb", "new"}, {"library/A (from .lexomat).mdb", "old"}};
    QTest::newRow("that name taken too")
        << Files{{"library/A.mdb", "old"}}
        << Files{{"library/A.mdb", "new"}, {"library/A (from .lexomat).mdb", "x"}}
        << Files{{"library/A.mdb", "new"},
                 {"library/A (from .lexomat).mdb", "x"},
                 {"library/A (from .lexomat 2).mdb", "old"}};
    QTest::newRow("libraries in a subfolder and beside the program")
        << Files{{"library/French/B.mdb", "b"}, {"987.mdb", "t"}, {"notes", "n"}}
        << Files{{"library/C.mdb", "c"}}
        << Files{{"library/French/B.mdb", "b"},
                 {"987.mdb", "t"},
                 {"notes", "n"},
                 {"library/C.mdb", "c"}};
    QTest::newRow("beside-files stay those of the new folder")
        << Files{{"elements/main.txt", "old"}, {"wrong.au", "old"}}
        << Files{{"elements/main.txt", "new"}} << Files{{"elements/main.txt", "new"}};
}

void TestUserFolderMove::everyLibraryArrives() {
    QFETCH(Files, old);
    QFETCH(Files, existing);
    QFETCH(Files, expected);
    QTemporaryDir home;
    const QString oldDir = home.filePath(".lexomat");
    const QString newDir = home.filePath(".local/share/lexomat");
    writeFiles(oldDir, old);
    if (!existing.isEmpty())
        writeFiles(newDir, existing);
    const QString script = TestWorkspace::dataDir() + "/../scripts/lib/user_folder.sh";
    QProcess bash;
    bash.start("bash",
               {"-euo", "pipefail", "-c", "source \"$1\" && move_old_user_folder \"$2\" \"$3\"",
                "_", script, oldDir, newDir});
    QVERIFY(bash.waitForFinished(30000));
    QVERIFY2(bash.exitCode() == 0, bash.readAllStandardError().constData());
    QCOMPARE(readFiles(newDir), expected);
    QVERIFY(!QFileInfo::exists(oldDir));
}

QTEST_GUILESS_MAIN(TestUserFolderMove)
#include "tst_UserFolderMove.moc"
