// Vocabulary files of other trainers through the command line, as a shell runs it:
// every KVTML file of Debian's kdeedu-kvtml-data compared with Python's own parse,
// crafted files imported and refused, and the KVTML and text list exports read back by
// Python.
#include "tests/support/TestLibrary.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString PackageFolder = QStringLiteral("/usr/share/apps/kvtml");
const QString Python = QStringLiteral("/usr/bin/python3");
const QString KvtmlReader = QStringLiteral(LEXOMAT_TEST_READERS_DIR "/read_kvtml.py");
const QString WorkbookReader = QStringLiteral(LEXOMAT_TEST_READERS_DIR "/read_workbook.py");

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run Start(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    Run run;
    if (!process.waitForFinished(120000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

Run Lexomat(const QStringList &arguments) {
    return Start(QStringLiteral(LEXOMAT_EXECUTABLE), arguments);
}

// `lexomat rows` output as the JSON array Python prints for a sheet.
QJsonArray RowsOf(const QString &out) {
    QJsonArray rows;
    for (const QString &line : out.split('\n', Qt::SkipEmptyParts))
        rows.append(QJsonDocument::fromJson(line.toUtf8()).array());
    return rows;
}

QString WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qWarning("cannot write %s", qPrintable(path));
    file.write(bytes);
    return path;
}

QList<TestCard> Cards(const QString &library) {
    QList<TestCard> cards;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "cards");
        db.setDatabaseName(library);
        if (db.open()) {
            QSqlQuery query("SELECT Word, Definition FROM Library ORDER BY ID", db);
            while (query.next())
                cards.append({query.value(0).toString(), query.value(1).toString(), 0});
        }
    }
    QSqlDatabase::removeDatabase("cards");
    return cards;
}

QByteArray Kvtml(const QByteArray &entries, const QByteArray &lessons = QByteArray()) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" \"http://edu.kde.org/kvtml/kvtml2.dtd\">\n"
           "<kvtml version=\"2.0\"><entries>" +
           entries + "</entries><lessons>" + lessons + "</lessons></kvtml>\n";
}

QByteArray Entry(int id, const QByteArray &word, const QByteArray &definition) {
    return "<entry id=\"" + QByteArray::number(id) + "\"><translation id=\"0\"><text>" + word +
           "</text></translation><translation id=\"1\"><text>" + definition +
           "</text></translation></entry>";
}
} // namespace

bool operator==(const TestCard &a, const TestCard &b) {
    return a.word == b.word && a.definition == b.definition;
}

class TestVocabularyCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void packagedKvtmlReadsAsPythonReadsIt_data();
    void packagedKvtmlReadsAsPythonReadsIt();
    void importTakesEveryEntryAsADataRow_data();
    void importTakesEveryEntryAsADataRow();
    void refusedFileExitsWithOneAndCreatesNoLibrary_data();
    void refusedFileExitsWithOneAndCreatesNoLibrary();
    void kvtmlExportHoldsEveryCardExactly_data();
    void kvtmlExportHoldsEveryCardExactly();
    void kvtmlExportRefusesWhatXmlCannotHold();
    void textListExportHoldsEveryCardExactly_data();
    void textListExportHoldsEveryCardExactly();
    void fileArgumentThatIsNoFileIsWrongUsage();

private:
    QMap<QString, QJsonObject> python; // each packaged file as Python reads it
};

void TestVocabularyCommands::initTestCase() {
    QDir folder(PackageFolder);
    QStringList files;
    for (const QString &language : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        for (const QString &name : QDir(folder.filePath(language)).entryList({"*.kvtml"}))
            files << folder.filePath(language + "/" + name);
    if (files.isEmpty())
        QSKIP("kdeedu-kvtml-data is not installed (scripts/lib/common.sh installs it)");
    const Run run = Start(Python, QStringList{KvtmlReader} + files);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    for (const QString &line : run.out.split('\n', Qt::SkipEmptyParts)) {
        const QJsonObject file = QJsonDocument::fromJson(line.toUtf8()).object();
        python.insert(file.value("path").toString(), file);
    }
    QCOMPARE(python.size(), files.size());
}

void TestVocabularyCommands::packagedKvtmlReadsAsPythonReadsIt_data() {
    QTest::addColumn<QString>("path");
    for (auto it = python.cbegin(); it != python.cend(); ++it)
        QTest::newRow(qPrintable(it.key().mid(PackageFolder.size() + 1))) << it.key();
}

void TestVocabularyCommands::packagedKvtmlReadsAsPythonReadsIt() {
    QFETCH(QString, path);
    const QJsonObject expected = python.value(path);
    const Run sheets = Lexomat({"sheets", path});
    QVERIFY2(sheets.exitCode == 0, qPrintable(sheets.err));
    const QStringList names = sheets.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(QJsonArray::fromStringList(names), expected.value("sheets").toArray());
    for (const QString &sheet : names) {
        const Run rows = Lexomat({"rows", path, sheet});
        QVERIFY2(rows.exitCode == 0, qPrintable(rows.err));
        QCOMPARE(RowsOf(rows.out), expected.value("rows").toObject().value(sheet).toArray());
    }
}

void TestVocabularyCommands::importTakesEveryEntryAsADataRow_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QList<TestCard>>("cards");
    const QByteArray two = Entry(4, "Hund", "dog") + Entry(2, "Katze", "cat");
    QTest::newRow("two entries, no title row")
        << "animals.kvtml" << Kvtml(two) << "All entries"
        << "2 new records added.\n"
        << QList<TestCard>{{"Hund", "dog"}, {"Katze", "cat"}};
    QTest::newRow("a lesson, in its order; an entry without a definition is reported")
        << "animals.kvtml"
        << Kvtml(two + Entry(7, "Maus", ""),
                 "<container><name>Pets</name><entry id=\"2\"/><entry id=\"7\"/>"
                 "<entry id=\"4\"/></container>")
        << "Pets"
        << "2 new records added.\n1 row was skipped (empty word or definition, or a word over "
           "100 characters): row 2\n"
        << QList<TestCard>{{"Katze", "cat"}, {"Hund", "dog"}};
    QTest::newRow("one entry is too few")
        << "one.kvtml" << Kvtml(Entry(0, "Hund", "dog")) << "All entries"
        << "Add more records in Sheet!!!\n"
        << QList<TestCard>{};
    QTest::newRow("note export with HTML")
        << "deck.txt"
        << QByteArray("#separator:tab\n#html:true\n#tags column:3\n"
                      "Haus\t<div>house</div><div>home</div>\tgerman\n"
                      "\"say \"\"hi\"\"\tnow\"\tc&amp;d\t\n")
        << "deck"
        << "2 new records added.\n"
        << QList<TestCard>{{"Haus", "house\nhome"}, {"say \"hi\" now", "c&d"}};
}

void TestVocabularyCommands::importTakesEveryEntryAsADataRow() {
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, sheet);
    QFETCH(QString, message);
    QFETCH(QList<TestCard>, cards);
    QTemporaryDir dir;
    const QString path = WriteFile(dir.filePath(fileName), bytes);
    const QString library = dir.filePath("new.mdb");
    const Run run = Lexomat({"import", path, sheet, library});
    QCOMPARE(cards.isEmpty() ? run.err : run.out, message);
    QCOMPARE(run.exitCode, cards.isEmpty() ? 1 : 0);
    QCOMPARE(Cards(library), cards);
}

void TestVocabularyCommands::refusedFileExitsWithOneAndCreatesNoLibrary_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray whole = Kvtml(Entry(0, "a", "b") + Entry(1, "c", "d"));
    QTest::newRow("truncated") << whole.left(whole.size() / 2)
                               << "The file is not well-formed XML (line 3, column ";
    QTest::newRow("internal entity declaration")
        << QByteArray("<!DOCTYPE kvtml [<!ENTITY w \"word\">]>\n<kvtml version=\"2.0\"><entries>" +
                      Entry(0, "&w;", "b") + Entry(1, "c", "d") + "</entries></kvtml>")
        << "The file declares entities or other markup of its own";
}

void TestVocabularyCommands::refusedFileExitsWithOneAndCreatesNoLibrary() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = WriteFile(dir.filePath("words.kvtml"), bytes);
    const QString library = dir.filePath("new.mdb");
    for (const QStringList &arguments :
         {QStringList{"sheets", path}, QStringList{"rows", path, "All entries"},
          QStringList{"import", path, "All entries", library}}) {
        const Run run = Lexomat(arguments);
        QCOMPARE(run.exitCode, 1);
        const QString expected =
            "Unable to connect to Excel, make sure the workbook exist and is valid!!!\n" + reason;
        QVERIFY2(run.err.startsWith(expected), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
    }
    QVERIFY(!QFile::exists(library));
}

void TestVocabularyCommands::kvtmlExportHoldsEveryCardExactly_data() {
    QTest::addColumn<QList<TestCard>>("cards");
    QTest::newRow("markup characters, line breaks and blanks")
        << QList<TestCard>{{"fish & chips", "<b>not bold</b> ]]> \"quoted\" 'single'"},
                           {"  spaced  ", "\ttab\nline\r\nCRLF\rCR alone "},
                           {"😀 𝄞", QString::fromUtf8("Ελληνικά, 日本語, ǅ")}};
    QTest::newRow("a definition far over a spreadsheet cell")
        << QList<TestCard>{{"long", QString(100000, u'x') + "end"}, {"short", "s"}};
    QTest::newRow("no cards") << QList<TestCard>{};
}

void TestVocabularyCommands::kvtmlExportHoldsEveryCardExactly() {
    QFETCH(QList<TestCard>, cards);
    QTemporaryDir dir;
    const QString library = dir.filePath("lib.mdb");
    TestLibrary::create(library, cards);
    const QString path = dir.filePath("out put ü.kvtml");
    const Run run = Lexomat({"export", library, path});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, cards.isEmpty() ? QString("No records added.\n") : QString());

    const Run parsed = Start(Python, {KvtmlReader, "--translations", path});
    QVERIFY2(parsed.exitCode == 0, qPrintable(parsed.err));
    const QJsonObject back = QJsonDocument::fromJson(parsed.out.toUtf8()).object();
    QCOMPARE(back.value("identifiers").toArray(), (QJsonArray{"Word", "Definition"}));
    QJsonArray expected;
    for (const TestCard &card : cards)
        expected.append(QJsonArray{card.word, card.definition});
    QCOMPARE(back.value("entries").toArray(), expected);

    // Back in through the program's own reader, into a new library.
    if (cards.size() >= 2) {
        const QString copy = dir.filePath("copy.mdb");
        QCOMPARE(Lexomat({"import", path, "All entries", copy}).exitCode, 0);
        QCOMPARE(Cards(copy), cards);
    }
}

void TestVocabularyCommands::kvtmlExportRefusesWhatXmlCannotHold() {
    QTemporaryDir dir;
    const QString library = dir.filePath("lib.mdb");
    TestLibrary::create(library, {{"bell", QString("ring") + QChar(7)}, {"b", "c"}});
    const QString path = dir.filePath("out.kvtml");
    const Run run = Lexomat({"export", library, path});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QString("Error at exporting data!!!\nThe card \"bell\" holds the character "
                              "U+0007, which a KVTML file cannot hold.\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"lib.mdb"});
}

void TestVocabularyCommands::textListExportHoldsEveryCardExactly_data() {
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QList<TestCard>>("cards");
    const QList<TestCard> quoting{{"fish, chips", "say \"hi\"; then go"},
                                  {"\"quoted\"", "tab\there"},
                                  {"  spaced  ", "line\nLF, line\r\nCRLF, \rCR alone"},
                                  {"😀 𝄞", QString::fromUtf8("Ελληνικά, 日本語, ǅ")},
                                  // the longest text a cell may hold, read back whole
                                  {"long", QString(32767 - 3, u'x') + "end"}};
    for (const QString extension : {"csv", "tsv"}) {
        QTest::addRow("%s: separators, quotes, line breaks, long texts", qPrintable(extension))
            << extension << quoting;
        QTest::addRow("%s: no cards", qPrintable(extension)) << extension << QList<TestCard>{};
    }
}

void TestVocabularyCommands::textListExportHoldsEveryCardExactly() {
    QFETCH(QString, extension);
    QFETCH(QList<TestCard>, cards);
    QTemporaryDir dir;
    const QString library = dir.filePath("lib.mdb");
    TestLibrary::create(library, cards);
    const QString path = dir.filePath("out put ü." + extension);
    QCOMPARE(Lexomat({"export", library, path}).exitCode, 0);

    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray separator = extension == "csv" ? "," : "\t";
    QVERIFY(written.readAll().startsWith("Word" + separator + "Definition\r\n"));
    const Run parsed = Start(Python, {WorkbookReader, "csv", path});
    QVERIFY2(parsed.exitCode == 0, qPrintable(parsed.err));
    QJsonArray expected{QJsonArray{"Word", "Definition"}};
    for (const TestCard &card : cards)
        expected.append(QJsonArray{card.word, card.definition});
    QCOMPARE(QJsonDocument::fromJson(parsed.out.toUtf8()).object().value("rows").toArray(),
             expected);

    // Back in through the program's own reader, below the title row.
    if (cards.size() >= 2) {
        const QString copy = dir.filePath("copy.mdb");
        QCOMPARE(Lexomat({"import", path, "out put ü", copy}).exitCode, 0);
        QCOMPARE(Cards(copy), cards);
    }
}

void TestVocabularyCommands::fileArgumentThatIsNoFileIsWrongUsage() {
    QTemporaryDir dir;
    const Run run = Lexomat({dir.filePath("missing.mdb")});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.startsWith("lexomat: \"" + dir.filePath("missing.mdb") +
                                "\" is neither a command nor a file.\nUsage: lexomat"),
             qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestVocabularyCommands)
#include "tst_VocabularyCommands.moc"
