// A library that gets its name at the end of its making (a converted copy, a library
// made by an import) has its name on disk, its folder flushed, when the work returns:
// a pulled plug a moment later does not take it away.
#include "store/LegacyLibraryConverter.h"
#include "store/NewLibraryFile.h"
#include "tests/store/Jet4Files.h"
#include "tests/support/FileCallLog.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestFileDurability : public QObject {
    Q_OBJECT
private slots:
    void madeLibraryHasItsNameOnDisk_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("converted copy") << "convert";
        QTest::newRow("new library of an import") << "new library";
    }
    void madeLibraryHasItsNameOnDisk() {
        QFETCH(QString, how);
        QTemporaryDir dir;
        const QString made = dir.filePath("Lesson 12.mdb");
        const QString original = Jet4Files::copyInto(dir.path(), "lib_small.mdb");
        FileCallLog log;
        if (how == "convert") {
            LegacyLibraryConverter::Convert(original, made);
        } else {
            NewLibraryFile library(made);
            QVERIFY(library.Publish());
        }
        const QStringList calls = log.calls();
        int renamed = -1;
        for (int i = 0; i < calls.size() && renamed < 0; ++i)
            if (calls[i].startsWith("rename ") && calls[i].endsWith("-> " + made))
                renamed = i;
        QVERIFY2(renamed >= 0, qPrintable(calls.join('\n')));
        QVERIFY2(log.find("fsync " + QFileInfo(made).absolutePath(), renamed) > renamed,
                 qPrintable(calls.join('\n')));
        QVERIFY(QFileInfo(made).isFile());
    }
};

QTEST_GUILESS_MAIN(TestFileDurability)
#include "tst_FileDurability.moc"
