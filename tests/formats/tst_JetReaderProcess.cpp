#include "formats/JetReaderProcess.h"
#include "tests/store/Jet4Files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <sys/wait.h>

// An older Access library is read in a child process under limits: whatever the child
// does wrong (crash, runaway memory or time, silence, nonsense) reaches the program
// as a damaged library, the child is gone afterwards, and the program goes on. The
// child here is a stand-in that misbehaves as the file's name says.
class TestJetReaderProcess : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void misbehavingReaderMeansADamagedLibrary_data();
    void misbehavingReaderMeansADamagedLibrary();
    void waitingCanStopTheRead();
    void missingReaderIsNoDamagedLibrary();
    void soundLibraryReadThroughTheChild();

private:
    QString file(const QString &name);
    QTemporaryDir dir;
};

namespace {
// Limits small enough for a test; memory as the program has it.
JetReadLimits testLimits() {
    JetReadLimits limits;
    limits.cpuSeconds = 2;
    limits.silentSeconds = 3;
    return limits;
}

bool noChildLeft() {
    return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}
} // namespace

void TestJetReaderProcess::initTestCase() {
    QVERIFY(dir.isValid());
    JetReaderProcess::SetProgram(QStringLiteral(LEXOMAT_JET_STANDIN));
}

QString TestJetReaderProcess::file(const QString &name) {
    QFile library(dir.filePath(name + ".mdb"));
    if (library.open(QIODevice::WriteOnly))
        library.write(QByteArray(64, 'j')); // room for eight cards at most
    return library.fileName();
}

void TestJetReaderProcess::misbehavingReaderMeansADamagedLibrary_data() {
    QTest::addColumn<QString>("behaviour");
    QTest::addColumn<QString>("reason");
    QTest::newRow("crash before a word") << "crash"
                                         << "signal 11";
    QTest::newRow("crash after a card") << "crash-midway"
                                        << "signal 11";
    QTest::newRow("memory without end") << "hog"
                                        << "";
    QTest::newRow("processor without end") << "spin"
                                           << "seconds";
    QTest::newRow("silence") << "sleep"
                             << "seconds";
    QTest::newRow("nonsense") << "garbage"
                              << "makes no sense";
    QTest::newRow("ends without a word") << "quiet"
                                         << "before the end";
    QTest::newRow("ends inside a card") << "cut"
                                        << "before the end";
    QTest::newRow("cards in circles") << "endless"
                                      << "more cards than its size";
}

void TestJetReaderProcess::misbehavingReaderMeansADamagedLibrary() {
    QFETCH(QString, behaviour);
    QFETCH(QString, reason);
    QString message;
    try {
        JetReaderProcess reader(file(behaviour), {}, testLimits());
        JetCard card;
        while (reader.NextCard(card)) {
        }
        reader.TotalTime();
    } catch (const JetReadError &error) {
        message = error.message();
    }
    QVERIFY2(message.startsWith(QString("The library \"%1.mdb\" is damaged and cannot be "
                                        "converted")
                                    .arg(behaviour)),
             qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY(noChildLeft());
}

void TestJetReaderProcess::waitingCanStopTheRead() {
    struct Stopped {};
    int waits = 0;
    QVERIFY_THROWS_EXCEPTION(Stopped, JetReaderProcess(
                                          file("sleep"),
                                          [&waits] {
                                              if (++waits == 5)
                                                  throw Stopped();
                                          },
                                          testLimits()));
    QCOMPARE(waits, 5);
    QVERIFY(noChildLeft());
}

void TestJetReaderProcess::missingReaderIsNoDamagedLibrary() {
    JetReaderProcess::SetProgram(dir.filePath("no-such-program"));
    QString message;
    try {
        JetReaderProcess reader(file("library"), {}, testLimits());
    } catch (const JetReadError &error) {
        message = error.message();
    }
    JetReaderProcess::SetProgram(QStringLiteral(LEXOMAT_JET_STANDIN));
    QVERIFY2(message.startsWith("Lexomat cannot start its reader for older libraries"),
             qPrintable(message));
    QVERIFY(noChildLeft());
}

void TestJetReaderProcess::soundLibraryReadThroughTheChild() {
    JetReaderProcess reader(Jet4Files::original("lib_nulls.mdb"));
    QCOMPARE(reader.CardCount(), 10);
    QList<qint64> ids;
    int nullDefinitions = 0;
    for (JetCard card; reader.NextCard(card);) {
        ids << card.id.value_or(-1);
        nullDefinitions += !card.definition;
    }
    QCOMPARE(ids.size(), 10);
    QCOMPARE(nullDefinitions, 1);
    QCOMPARE(reader.TotalTime(), 0);
    QVERIFY(noChildLeft());

    QString refusal;
    try {
        JetReaderProcess other(Jet4Files::original("not_library.mdb"));
    } catch (const JetReadError &error) {
        refusal = error.message();
    }
    QVERIFY2(refusal.contains("it has no table Library"), qPrintable(refusal));
}

QTEST_GUILESS_MAIN(TestJetReaderProcess)
#include "tst_JetReaderProcess.moc"
