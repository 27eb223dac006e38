#include "platform/BesideFiles.h"
#include "platform/LexomatError.h"
#include "tests/support/TestWorkspace.h"

#include <QFile>
#include <QtTest>

class TestBesideFiles : public QObject {
    Q_OBJECT
private slots:
    void scramblingIsItsOwnInverse();
    void scrambledBytesAtTheFirstPosition();
    void linesAreSplitThenUnscrambled();
    void oneLineFileLeavesTheOthersEmpty();
    void missingFileIsReportedByName();
    void bundledFilesReadAsText();
};

namespace {
void writeFile(const QString &path, const QByteArray &content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}
} // namespace

void TestBesideFiles::scramblingIsItsOwnInverse() {
    QCOMPARE(EnDeCrypt(QByteArray()), QByteArray());
    // Every byte value at every position of a line longer than 256 bytes, so that
    // the position added wraps around as well.
    for (int length : {1, 2, 7, 255, 256, 257, 600}) {
        for (int value = 0; value < 256; ++value) {
            const QByteArray line(length, static_cast<char>(value));
            const QByteArray scrambled = EnDeCrypt(line);
            QCOMPARE(scrambled.size(), line.size());
            QCOMPARE(EnDeCrypt(scrambled), line);
        }
    }
    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all.append(static_cast<char>(value));
    QCOMPARE(EnDeCrypt(EnDeCrypt(all)), all);
}

void TestBesideFiles::scrambledBytesAtTheFirstPosition() {
    QCOMPARE(static_cast<unsigned char>(EnDeCrypt(QByteArray(1, '\0'))[0]), 254);
    QCOMPARE(static_cast<unsigned char>(EnDeCrypt(QByteArray(1, '\xff'))[0]), 255);
    // Position p subtracts p + 1: "AB" becomes ~(0x41 + 1), ~(0x42 + 2).
    QCOMPARE(EnDeCrypt("AB"), QByteArray("\xbd\xbb"));
}

void TestBesideFiles::linesAreSplitThenUnscrambled() {
    TestWorkspace workspace(false);
    SetStartupDir(workspace.path());
    const QByteArray first = EnDeCrypt("Title");
    const QByteArray second = EnDeCrypt("Caf\xc3\xa9 link"); // UTF-8 after unscrambling
    const QByteArray third = EnDeCrypt("example.org/x");
    writeFile(workspace.file("three.txt"), first + "\r\n" + second + "\n" + third);
    const QStringList lines = ReadScrambledLines("three.txt", 3);
    QCOMPARE(lines, (QStringList{"Title", QString::fromUtf8("Caf\xc3\xa9 link"), "example.org/x"}));
    // Fewer lines asked than present: only those.
    QCOMPARE(ReadScrambledLines("three.txt", 1), QStringList{"Title"});
}

void TestBesideFiles::oneLineFileLeavesTheOthersEmpty() {
    TestWorkspace workspace(false);
    SetStartupDir(workspace.path());
    writeFile(workspace.file("one.txt"), EnDeCrypt("Only"));
    QCOMPARE(ReadScrambledLines("one.txt", 3), (QStringList{"Only", "", ""}));
    writeFile(workspace.file("empty.txt"), QByteArray());
    QCOMPARE(ReadScrambledLines("empty.txt", 2), (QStringList{"", ""}));
}

void TestBesideFiles::missingFileIsReportedByName() {
    TestWorkspace workspace(false);
    SetStartupDir(workspace.path());
    try {
        ReadScrambledLines("elements/main.txt", 3);
        QFAIL("a missing file must fail");
    } catch (const LexomatError &error) {
        QVERIFY2(error.message().contains("main.txt"), qPrintable(error.message()));
    }
    try {
        LoadBesidePicture("elements/logo.bmp");
        QFAIL("a missing picture must fail");
    } catch (const LexomatError &error) {
        QVERIFY2(error.message().contains("logo.bmp"), qPrintable(error.message()));
    }
}

void TestBesideFiles::bundledFilesReadAsText() {
    // The shipped beside-files unscramble to their plain texts, line for line.
    TestWorkspace workspace(true);
    SetStartupDir(workspace.path());
    for (const QString &name : {QString("main"), QString("about")}) {
        QFile plain(TestWorkspace::dataDir() + "/elements/" + name + ".plain.txt");
        QVERIFY(plain.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList expected =
            QString::fromUtf8(plain.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(expected.size(), name == "main" ? 3 : 4);
        QCOMPARE(ReadScrambledLines("elements/" + name + ".txt", static_cast<int>(expected.size())),
                 expected);
    }
    const QPixmap logo = LoadBesidePicture("elements/logo.bmp");
    QCOMPARE(logo.size(), QSize(260, 75));
}

QTEST_MAIN(TestBesideFiles)
#include "tst_BesideFiles.moc"
