#include "formats/ReadBudget.h"
#include "formats/WorkbookReader.h"
#include "platform/LexomatError.h"
#include "tests/support/ChildRun.h"
#include "tests/support/TestWorkbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <sys/stat.h>

// Damaged and hostile workbooks are refused with a plain reason, never obeyed:
// zip and entity bombs, truncated files, random bytes, and records or references
// that point outside what the file holds. Beside them, the sound but less common
// forms of the same files: other package shapes, Excel 95, two workbook streams.
class TestHostileWorkbooks : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void refusedWithAReason_data();
    void refusedWithAReason();
    void packageFormsReadAlike_data();
    void packageFormsReadAlike();
    void olderExcelTextThroughItsCodePage();
    void excel97StreamPreferredOverTheExcel95One();
    void smallHostileFileCostsNoMoreThanItsBudget_data();
    void smallHostileFileCostsNoMoreThanItsBudget();
    void pipeOrFolderIsRefusedWithoutWaiting_data();
    void pipeOrFolderIsRefusedWithoutWaiting();
    void inputThatOnceEndedTheProgramIsReadOrRefused_data();
    void inputThatOnceEndedTheProgramIsReadOrRefused();

private:
    QString sound(const QString &extension) const { return dir.filePath("sound" + extension); }
    QTemporaryDir dir;
    qint64 startup = 0;
};

namespace {

using Maker = std::function<QString(const QTemporaryDir &dir, const QString &xls,
                                    const QString &xlsx, const QString &ods)>;

TestWorkbook soundWorkbook() {
    TestSheet sheet{"Words", "visible", {}};
    for (int row = 0; row < 40; ++row) {
        sheet.cells.append({row, 0, "s", QStringLiteral("word %1").arg(row), ""});
        sheet.cells.append({row, 1, "s", QStringLiteral("definition %1").arg(row), ""});
    }
    return {false, {sheet}};
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

Maker hostileZip(const QString &mode, bool fromOds = false) {
    return [=](const QTemporaryDir &dir, const QString &, const QString &xlsx, const QString &ods) {
        const QString out = dir.filePath(mode + (fromOds ? ".ods" : ".xlsx"));
        QProcess::execute("/usr/bin/python3",
                          {QFINDTESTDATA("reshape_workbook.py"), mode, fromOds ? ods : xlsx, out});
        return out;
    };
}

// The records of the .xls written by WriteExcel lie in the file as one run, from
// the workbook's BOF on: a record is found by walking them and patched in place.
Maker patchedRecord(quint16 type, const std::function<void(char *body)> &patch) {
    return [=](const QTemporaryDir &dir, const QString &xls, const QString &, const QString &) {
        QByteArray bytes = readFile(xls);
        qsizetype at = bytes.indexOf(QByteArray("\x09\x08\x10\x00\x00\x06\x05\x00", 8));
        while (at >= 0 && at + 4 <= bytes.size()) {
            const quint16 recordType = quint8(bytes[at]) | (quint8(bytes[at + 1]) << 8);
            const quint16 length = quint8(bytes[at + 2]) | (quint8(bytes[at + 3]) << 8);
            if (recordType == type) {
                patch(bytes.data() + at);
                break;
            }
            at += 4 + length;
        }
        return writeFile(dir.filePath(QStringLiteral("patched%1.xls").arg(type)), bytes);
    };
}

void putU16(char *at, quint16 value) {
    at[0] = char(value & 0xFF);
    at[1] = char(value >> 8);
}

void putU32(char *at, quint32 value) {
    putU16(at, quint16(value & 0xFFFF));
    putU16(at + 2, quint16(value >> 16));
}

Maker truncated(bool xls) {
    return [=](const QTemporaryDir &dir, const QString &xlsFile, const QString &xlsxFile,
               const QString &) {
        const QByteArray bytes = readFile(xls ? xlsFile : xlsxFile);
        return writeFile(dir.filePath(xls ? "cut.xls" : "cut.xlsx"), bytes.left(bytes.size() / 2));
    };
}

Maker randomBytes(const QString &name) {
    return [=](const QTemporaryDir &dir, const QString &, const QString &, const QString &) {
        QByteArray bytes(20000, Qt::Uninitialized);
        QRandomGenerator generator(42);
        for (char &byte : bytes)
            byte = char(generator.bounded(256));
        return writeFile(dir.filePath(name), bytes);
    };
}

// Something at a workbook's name that is no file: a folder, or a named pipe that
// no program writes to.
Maker noFile(const QString &name, bool pipe) {
    return [=](const QTemporaryDir &dir, const QString &, const QString &, const QString &) {
        const QString path = dir.filePath(name);
        if (pipe)
            ::mkfifo(QFile::encodeName(path).constData(), 0600);
        else
            QDir(dir.path()).mkdir(name);
        return path;
    };
}

// Opens the file and reads every sheet; the refusal's reason, or empty.
QString refusal(const QString &path) {
    try {
        auto reader = OpenWorkbook(path);
        for (const QString &sheet : reader->SheetNames())
            reader->ReadRows(sheet, [](int, const QStringList &) { return true; });
    } catch (const LexomatError &error) {
        return error.message().isEmpty() ? QStringLiteral("(no reason)") : error.message();
    }
    return QString();
}

} // namespace

Q_DECLARE_METATYPE(Maker)

void TestHostileWorkbooks::initTestCase() {
    QVERIFY(dir.isValid());
    for (TestWorkbookWriter writer :
         {TestWorkbookWriter::WriteExcel, TestWorkbookWriter::ExcelWriterXlsx,
          TestWorkbookWriter::Odfpy}) {
        const QString failure =
            TestWorkbooks::Write(soundWorkbook(), writer, sound(TestWorkbooks::Extension(writer)));
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(refusal(sound(TestWorkbooks::Extension(writer))).isEmpty());
    }
}

void TestHostileWorkbooks::refusedWithAReason_data() {
    QTest::addColumn<Maker>("make");
    QTest::addColumn<QString>("reason");
    QTest::newRow("zip bomb") << hostileZip("zipbomb") << "zip bomb";
    QTest::newRow("directory lying about a size") << hostileZip("lyingsize") << "check sum";
    QTest::newRow("too many entries") << hostileZip("manyentries") << "entries";
    QTest::newRow("entity bomb") << hostileZip("dtdbomb") << "document type";
    QTest::newRow("external entity") << hostileZip("externalentity") << "document type";
    QTest::newRow("shared string out of range") << hostileZip("badsharedstring") << "shared string";
    QTest::newRow("cell named outside the sheet") << hostileZip("badreference") << "cell named";
    QTest::newRow(".ods cell of endless spaces") << hostileZip("odsspaces", true) << "characters";
    QTest::newRow(".ods with a document type") << hostileZip("odsdtd", true) << "document type";
    QTest::newRow("truncated .xlsx") << truncated(false) << "damaged";
    QTest::newRow("truncated .xls") << truncated(true) << "damaged";
    QTest::newRow("random bytes .xls") << randomBytes("random.xls") << "not a workbook";
    QTest::newRow("random bytes .xlsx") << randomBytes("random.xlsx") << "not a workbook";
    QTest::newRow("random bytes .csv") << randomBytes("random.csv") << "neither";
    QTest::newRow("record longer than the stream")
        << patchedRecord(0x00FD, [](char *record) { putU16(record + 2, 0xFFFF); }) << "record runs";
    QTest::newRow("shared string index out of range")
        << patchedRecord(0x00FD, [](char *record) { putU32(record + 4 + 6, 0x7FFFFFFF); })
        << "shared string";
    QTest::newRow("shared string longer than its record")
        << patchedRecord(0x00FC, [](char *record) { putU16(record + 4 + 8, 0xFFFF); })
        << "shorter than its contents";
    QTest::newRow("sheet outside the stream")
        << patchedRecord(0x0085, [](char *record) { putU32(record + 4, 0x7FFFFFFF); }) << "outside";
    QTest::newRow("sheet offset at the workbook header")
        << patchedRecord(0x0085, [](char *record) { putU32(record + 4, 0); }) << "not a worksheet";
    QTest::newRow("password protected")
        << patchedRecord(0x0042, [](char *record) { putU16(record, 0x002F); }) << "password";
    QTest::newRow("a folder") << noFile("folder.kvtml", false) << "it is a folder";
    QTest::newRow("a named pipe, never waited on")
        << noFile("pipe.xls", true) << "it is not a regular file";
}

void TestHostileWorkbooks::refusedWithAReason() {
    QFETCH(Maker, make);
    QFETCH(QString, reason);
    const QString path = make(dir, sound(".xls"), sound(".xlsx"), sound(".ods"));
    QVERIFY(QFile::exists(path));
    const QString message = refusal(path);
    QVERIFY2(message.contains(reason, Qt::CaseInsensitive), qPrintable(message));
}

// Sound packages in the forms writers use: every one reads as the original.
void TestHostileWorkbooks::packageFormsReadAlike_data() {
    QTest::addColumn<Maker>("make");
    QTest::newRow("rows and cells without references") << hostileZip("noreferences");
    QTest::newRow("absolute relationship targets") << hostileZip("absolutetargets");
    QTest::newRow("part names in another case") << hostileZip("uppercaseparts");
    QTest::newRow("prefixed namespaces") << hostileZip("prefixed");
    QTest::newRow("strict namespaces") << hostileZip("strict");
}

void TestHostileWorkbooks::packageFormsReadAlike() {
    QFETCH(Maker, make);
    const QString path = make(dir, sound(".xls"), sound(".xlsx"), sound(".ods"));
    const auto rows = [](const QString &file) {
        QList<QStringList> all;
        auto reader = OpenWorkbook(file);
        all.append(reader->SheetNames());
        reader->ReadRows(reader->SheetNames().value(0), [&](int, const QStringList &cells) {
            all.append(cells);
            return true;
        });
        return all;
    };
    const QList<QStringList> expected = rows(sound(".xlsx"));
    QCOMPARE(expected.size(), 41);
    QCOMPARE(rows(path), expected);
}

void TestHostileWorkbooks::olderExcelTextThroughItsCodePage() {
    TestSheet sheet{"Words", "visible", {}};
    sheet.cells = {{0, 0, "s", QString::fromUtf8("café naïve €"), ""},
                   {0, 1, "n", "3.5", ""},
                   {1, 0, "date", "2024-03-15", ""},
                   {1, 1, "s", "plain", ""}};
    const QString path = dir.filePath("excel95.xls");
    const QString failure =
        TestWorkbooks::Write({false, {sheet}}, TestWorkbookWriter::GnumericBiff7, path);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QList<QStringList> rows;
    OpenWorkbook(path)->ReadRows("Words", [&](int, const QStringList &cells) {
        rows.append(cells);
        return true;
    });
    QCOMPARE(rows, QList<QStringList>(
                       {{QString::fromUtf8("café naïve €"), "3.5"}, {"2024-03-15", "plain"}}));
}

void TestHostileWorkbooks::excel97StreamPreferredOverTheExcel95One() {
    TestSheet sheet{QString::fromUtf8("日本"), "visible", {}};
    sheet.cells = {{0, 0, "s", QString::fromUtf8("日本語"), ""}};
    const QString path = dir.filePath("dual.xls");
    const QString failure =
        TestWorkbooks::Write({false, {sheet}}, TestWorkbookWriter::GnumericDualStream, path);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    auto reader = OpenWorkbook(path);
    QCOMPARE(reader->SheetNames(), QStringList{QString::fromUtf8("日本")});
    QStringList first;
    reader->ReadRows(QString::fromUtf8("日本"), [&](int, const QStringList &cells) {
        first = cells;
        return false;
    });
    QCOMPARE(first, QStringList{QString::fromUtf8("日本語")});
}

// The small files that once took the program gigabytes or minutes, at their full
// sizes, read by the program itself ("lexomat rows") in a child process: it ends as
// it should (the rows, or exit 1 and the reason) and its peak memory stays within
// the file's read budget on top of what the program takes to start.
void TestHostileWorkbooks::smallHostileFileCostsNoMoreThanItsBudget_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // on stderr for 1, the last row on stdout for 0
    QTest::newRow(".ods: a million spaces in column C of every row")
        << "ods-spaces" << 0 << "[\"w999\",\"d\"]";
    QTest::newRow(".ods: a million spaces in column A")
        << "ods-spaces-in-a" << 1 << "Cell A1 of the sheet “Sheet1” holds more than 32,767";
    QTest::newRow(".ods: two long texts in a row repeated a million times")
        << "ods-repeated" << 1 << "repeats its texts far more often than its size explains";
    QTest::newRow(".xlsx: a million-character shared string in 300 rows")
        << "xlsx-long-shared" << 1 << "Cell B1 of the sheet “Sheet1” holds more than 32,767";
    QTest::newRow(".xlsx: 200,000 rows of one cell in column XFD") << "xlsx-far-column" << 0 << "";
    QTest::newRow(".xlsx: the workbook above the package root")
        << "xlsx-outside-root" << 1 << "points outside it (“../xl/workbook.xml”)";
    QTest::newRow(".xlsx: a sheet above the package root")
        << "xlsx-outside-sheet" << 1 << "points outside it (“../../../x/sheet1.xml”)";
    QTest::newRow(".xlsx: elements nested 300,000 deep")
        << "xlsx-deep" << 1 << "nested more than 128 deep";
    QTest::newRow(".xlsx: a 5 MiB text in one cell") << "xlsx-long-text" << 0 << "";
    QTest::newRow(".kvtml: elements nested three million deep")
        << "kvtml-deep" << 1 << "nested more than 128 deep";
    QTest::newRow(".xls: 65,536 numbers in column IV") << "xls-column-iv" << 0 << "";
}

void TestHostileWorkbooks::smallHostileFileCostsNoMoreThanItsBudget() {
    QFETCH(QString, kind);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    const QString path = dir.filePath("hostile-" + kind + "." + kind.section('-', 0, 0));
    if (kind == "xls-column-iv") {
        TestSheet sheet{"Sheet1", "visible", {}};
        for (int row = 0; row < 65536; ++row)
            sheet.cells.append({row, 255, "n", QString::number(row), ""});
        const QString failure =
            TestWorkbooks::Write({false, {sheet}}, TestWorkbookWriter::WriteExcel, path);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    } else {
        QCOMPARE(
            QProcess::execute("/usr/bin/python3", {QFINDTESTDATA("make_hostile.py"), kind, path}),
            0);
    }
    if (startup == 0) { // what the program takes to start and read a two-cell list
        const QString tiny = writeFile(dir.filePath("tiny.csv"), "w,d\nx,y\n");
        startup = ChildRun::Of(LEXOMAT_EXE, {"rows", tiny, "tiny"}).peakBytes;
        QVERIFY(startup > 0);
    }
    const QString sheet = kind.startsWith("kvtml") ? "All entries" : "Sheet1";
    const ChildRun run = ChildRun::Of(LEXOMAT_EXE, {"rows", path, sheet});
    QCOMPARE(run.signal, 0);
    QCOMPARE(run.exitCode, exitCode);
    const QStringList lines = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
    if (exitCode == 0)
        QCOMPARE(lines.isEmpty() ? QString() : lines.last(), said);
    else
        QVERIFY2(QString::fromUtf8(run.err).contains(said), run.err.constData());
    const qint64 budget = ReadBudget::MemoryLimitFor(QFileInfo(path).size());
    QVERIFY2(run.peakBytes <= qMin(startup + budget, qint64(512) << 20),
             qPrintable(QString("peak %1 MiB").arg(run.peakBytes >> 20)));
}

// A named pipe or a folder given as a workbook: refused at once, never waited on.
void TestHostileWorkbooks::pipeOrFolderIsRefusedWithoutWaiting_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("said");
    QTest::newRow("named pipe") << "pipe.csv"
                                << "not a regular file";
    QTest::newRow("folder") << "folder.xlsx"
                            << "it is a folder";
}

void TestHostileWorkbooks::pipeOrFolderIsRefusedWithoutWaiting() {
    QFETCH(QString, name);
    QFETCH(QString, said);
    const QString path = dir.filePath(name);
    if (name.startsWith("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        QVERIFY(QDir(dir.path()).mkdir(name));
    QVERIFY2(refusal(path).contains(said), qPrintable(refusal(path)));
}

// The stored inputs that once crashed a reader (tests/data/regressions): each is read
// to its end or refused with a reason.
void TestHostileWorkbooks::inputThatOnceEndedTheProgramIsReadOrRefused_data() {
    QTest::addColumn<QString>("path");
    const QDir folder(QStringLiteral(LEXOMAT_REGRESSIONS_DIR));
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
        if (name != "README.md")
            QTest::newRow(qPrintable(name)) << folder.filePath(name);
}

void TestHostileWorkbooks::inputThatOnceEndedTheProgramIsReadOrRefused() {
    QFETCH(QString, path);
    const QString message = refusal(path);
    QVERIFY2(message.isEmpty() || message != "(no reason)", qPrintable(message));
}

QTEST_GUILESS_MAIN(TestHostileWorkbooks)
#include "tst_HostileWorkbooks.moc"
