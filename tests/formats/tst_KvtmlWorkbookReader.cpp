#include "formats/WorkbookReader.h"
#include "platform/LexomatError.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// KVTML vocabulary files, crafted here in both versions of the format: sheets,
// the word and definition of each entry, texts as written, and what is refused.
class TestKvtmlWorkbookReader : public QObject {
    Q_OBJECT
private slots:
    void sheetsAndRowsAsTheDocumentHoldsThem_data();
    void sheetsAndRowsAsTheDocumentHoldsThem();
    void damagedOrHostileFileIsRefusedWithTheReason_data();
    void damagedOrHostileFileIsRefusedWithTheReason();
    void foundByContentUnderAnotherName();
};

using Rows = QList<QStringList>;
using SheetRows = QMap<QString, Rows>;

namespace {
const QByteArray Prolog = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" "
                          "\"http://edu.kde.org/kvtml/kvtml2.dtd\">\n";

QByteArray Kvtml2(const QByteArray &entries, const QByteArray &lessons = QByteArray()) {
    return Prolog +
           "<kvtml version=\"2.0\"><information><title>T</title></information>"
           "<identifiers><identifier id=\"0\"><name>A</name></identifier></identifiers>"
           "<entries>" +
           entries + "</entries>" +
           (lessons.isEmpty() ? "" : "<lessons>" + lessons + "</lessons>") + "</kvtml>\n";
}

QByteArray Entry(int id, const QByteArray &translations) {
    return "<entry id=\"" + QByteArray::number(id) + "\"><inactive>false</inactive>" +
           translations + "</entry>";
}

QByteArray Translation(int id, const QByteArray &text, const QByteArray &comment = QByteArray()) {
    return "<translation id=\"" + QByteArray::number(id) + "\"><text>" + text + "</text>" +
           (comment.isNull() ? "" : "<comment>" + comment + "</comment>") + "</translation>";
}

QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(bytes);
    return file.fileName();
}

Rows ReadSheet(WorkbookReader &reader, const QString &sheet) {
    Rows rows;
    reader.ReadRows(sheet, [&](int number, const QStringList &cells) {
        if (number != rows.size() + 1)
            rows.append({"row number out of order"});
        rows.append(cells);
        return true;
    });
    return rows;
}
} // namespace

void TestKvtmlWorkbookReader::sheetsAndRowsAsTheDocumentHoldsThem_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("sheets");
    QTest::addColumn<SheetRows>("rows");

    QTest::newRow("two languages: translation 1 is the definition")
        << "a.kvtml"
        << Kvtml2(Entry(0, Translation(0, "Hund", "bellt") + Translation(1, "dog")) +
                  Entry(1, Translation(0, "Katze") + Translation(1, "cat")))
        << QStringList{"All entries"}
        << SheetRows{{"All entries", {{"Hund", "dog"}, {"Katze", "cat"}}}};
    QTest::newRow("one language: the comment is the definition, also for a blank translation")
        << "a.kvtml"
        << Kvtml2(Entry(0, Translation(0, "pomme", "un fruit")) +
                  Entry(1, Translation(0, "poire", "aussi") + Translation(1, " \n ")))
        << QStringList{"All entries"}
        << SheetRows{{"All entries", {{"pomme", "un fruit"}, {"poire", "aussi"}}}};
    QTest::newRow("missing translations give rows without a word or definition")
        << "a.kvtml"
        << Kvtml2(Entry(0, Translation(0, "alone")) + Entry(1, Translation(1, "only one")) +
                  Entry(2, "") + Entry(3, Translation(0, "last", "def")))
        << QStringList{"All entries"}
        << SheetRows{{"All entries", {{"alone"}, {"", "only one"}, {}, {"last", "def"}}}};
    QTest::newRow("entities, CDATA, blanks and line breaks as written")
        << "a.kvtml"
        << Kvtml2(
               Entry(0, Translation(0, "  fish &amp; chips\n", "a &lt;dish&gt; &#x1F600;")) +
               Entry(1, Translation(0, "<![CDATA[<b>bold</b> & more]]>", "line one\r\nline two"))) +
               "<!-- after the root: still read -->\n"
        << QStringList{"All entries"}
        << SheetRows{{"All entries",
                      {{"  fish & chips\n", QString::fromUtf8("a <dish> 😀")},
                       {"<b>bold</b> & more", "line one\nline two"}}}};
    QTest::newRow("nested lessons in document order, entries in the lesson's order")
        << "a.kvtml"
        << Kvtml2(Entry(7, Translation(0, "seven", "7")) + Entry(3, Translation(0, "three", "3")) +
                      Entry(5, Translation(0, "five", "5")),
                  "<container><name>Numbers</name><entry id=\"5\"/><entry id=\"7\"/>"
                  "<container><name> Odd\n small </name><entry id=\"3\"/></container>"
                  "<container><name>Gone</name><entry id=\"9\"/><entry id=\"3\"/></container>"
                  "</container><container><name>Numbers</name><entry id=\"3\"/></container>"
                  "<container><entry id=\"7\"/></container>")
        << QStringList{"All entries",  "Numbers",     "Numbers/Odd small",
                       "Numbers/Gone", "Numbers (2)", "Lesson 5"}
        << SheetRows{{"All entries", {{"seven", "7"}, {"three", "3"}, {"five", "5"}}},
                     {"Numbers", {{"five", "5"}, {"seven", "7"}}},
                     {"Numbers/Odd small", {{"three", "3"}}},
                     {"Numbers/Gone", {{}, {"three", "3"}}},
                     {"Numbers (2)", {{"three", "3"}}},
                     {"Lesson 5", {{"seven", "7"}}}};
    QTest::newRow("early version 2 lessons name their entries by entryid")
        << "a.kvtml"
        << Kvtml2(Entry(0, Translation(0, "manzana", "fruta")) +
                      Entry(1, Translation(0, "pera", "otra")),
                  "<lesson><name>Default Lesson</name><query>false</query>"
                  "<entryid>1</entryid><entryid>0</entryid></lesson>")
        << QStringList{"All entries", "Default Lesson"}
        << SheetRows{{"All entries", {{"manzana", "fruta"}, {"pera", "otra"}}},
                     {"Default Lesson", {{"pera", "otra"}, {"manzana", "fruta"}}}};
    QTest::newRow("version 1: <o> and the first <t>, lessons by number")
        << "a.kvtml"
        << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE kvtml SYSTEM \"kvoctrain.dtd\">\n"
                      "<kvtml encoding=\"UTF-8\"><lesson><desc no=\"1\">Home</desc>"
                      "<desc no=\"2\">Garden</desc></lesson>"
                      "<e m=\"2\"><o>hage</o><t>garden</t><t>yard</t></e>\n"
                      "<e><o>elev</o><t></t></e>\n<e m=\"1\"><o>stue</o><t>living room</t></e>"
                      "</kvtml>")
        << QStringList{"All entries", "Home", "Garden"}
        << SheetRows{{"All entries", {{"hage", "garden"}, {"elev"}, {"stue", "living room"}}},
                     {"Home", {{"stue", "living room"}}},
                     {"Garden", {{"hage", "garden"}}}};
    QTest::newRow("bytes that are not UTF-8 are Windows-1252")
        << "a.kvtml" << Kvtml2(Entry(0, Translation(0, "bj\xF6rn", "\x80 5, \x93quoted\x94")))
        << QStringList{"All entries"}
        << SheetRows{
               {"All entries", {{QString::fromUtf8("björn"), QString::fromUtf8("€ 5, “quoted”")}}}};
    QTest::newRow("a mark of UTF-8 before bytes that are not UTF-8")
        << "a.kvtml"
        << "\xEF\xBB\xBF" + Kvtml2(Entry(0, Translation(0, "caf\xE9", "\x80 5")))
        << QStringList{"All entries"}
        << SheetRows{{"All entries", {{QString::fromUtf8("café"), QString::fromUtf8("€ 5")}}}};
    QTest::newRow("lessons of one name are numbered on, past a number taken already")
        << "a.kvtml"
        << Kvtml2(Entry(0, Translation(0, "a", "b")),
                  "<container><name>X</name></container><container><name>X (2)</name>"
                  "<entry id=\"0\"/></container><container><name>X</name></container>"
                  "<container><name>X</name><entry id=\"0\"/></container>")
        << QStringList{"All entries", "X", "X (2)", "X (3)", "X (4)"}
        << SheetRows{{"X", {}}, {"X (2)", {{"a", "b"}}}, {"X (3)", {}}, {"X (4)", {{"a", "b"}}}};
    QTest::newRow("version 1: lessons of one number hold the same entries")
        << "a.kvtml"
        << QByteArray("<kvtml><lesson><desc no=\"1\">One</desc><desc no=\"1\">Again</desc>"
                      "</lesson><e m=\"1\"><o>hus</o><t>house</t></e><e><o>tak</o><t>thanks</t>"
                      "</e><e m=\"1\"><o>kat</o><t>cat</t></e></kvtml>")
        << QStringList{"All entries", "One", "Again"}
        << SheetRows{{"One", {{"hus", "house"}, {"kat", "cat"}}},
                     {"Again", {{"hus", "house"}, {"kat", "cat"}}}};
    const QString utf16Text =
        QString::fromUtf8("<?xml version=\"1.0\" encoding=\"UTF-16\"?><kvtml version=\"2.0\">"
                          "<entries><entry id=\"0\"><translation id=\"0\"><text>日本</text>"
                          "<comment>Japan</comment></translation></entry></entries></kvtml>");
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char *>(utf16Text.utf16()), utf16Text.size() * 2);
    QTest::newRow("UTF-16 with its byte order mark")
        << "a.kvtml" << utf16 << QStringList{"All entries"}
        << SheetRows{{"All entries", {{QString::fromUtf8("日本"), "Japan"}}}};
    // Longer than the pieces the parser is given, characters across their seams.
    for (const bool utf8 : {true, false}) {
        QByteArray entries;
        Rows rows;
        for (int i = 0; i < 20000; ++i) {
            const QString word = QString::fromUtf8("wörd%1").arg(i);
            entries += Entry(i, Translation(0, utf8 ? word.toUtf8() : word.toLatin1(),
                                            utf8 ? "€ ü 😀" : "\x80 \xFC"));
            rows << QStringList{word, QString::fromUtf8(utf8 ? "€ ü 😀" : "€ ü")};
        }
        QTest::addRow("a long file in %s", utf8 ? "UTF-8" : "Windows-1252")
            << "a.kvtml" << Kvtml2(entries) << QStringList{"All entries"}
            << SheetRows{{"All entries", rows}};
    }
    QTest::newRow("no entries at all")
        << "a.kvtml" << Kvtml2("") << QStringList{"All entries"} << SheetRows{{"All entries", {}}};
}

void TestKvtmlWorkbookReader::sheetsAndRowsAsTheDocumentHoldsThem() {
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, sheets);
    QFETCH(SheetRows, rows);
    QTemporaryDir dir;
    auto reader = OpenWorkbook(WriteFile(dir, fileName, bytes));
    QVERIFY(!reader->HasTitleRow());
    QCOMPARE(reader->SheetNames(), sheets);
    for (auto it = rows.cbegin(); it != rows.cend(); ++it)
        QCOMPARE(ReadSheet(*reader, it.key()), it.value());
    QVERIFY_THROWS_EXCEPTION(LexomatError, ReadSheet(*reader, "Sheet1"));
}

void TestKvtmlWorkbookReader::damagedOrHostileFileIsRefusedWithTheReason_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray whole = Kvtml2(Entry(0, Translation(0, "a", "b")));
    QTest::newRow("truncated") << whole.left(whole.size() - 40)
                               << "The file is not well-formed XML (line 3";
    QTest::newRow("mismatched tags")
        << Kvtml2("<entry id=\"0\"><translation id=\"0\"><text>a</comment></translation></entry>")
        << "The file is not well-formed XML (line 3";
    QTest::newRow("internal entity declaration")
        << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE kvtml [\n<!ENTITY a \"aaaaaaaaaa\">\n"
                      "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n]>\n"
                      "<kvtml version=\"2.0\"><entries><entry id=\"0\"><translation id=\"0\">"
                      "<text>&b;</text></translation></entry></entries></kvtml>")
        << "The file declares entities or other markup of its own";
    QTest::newRow("internal subset without entities")
        << QByteArray("<!DOCTYPE kvtml [ <!ATTLIST kvtml version CDATA \"2.0\"> ]><kvtml/>")
        << "The file declares entities or other markup of its own";
    QTest::newRow("entity the file does not declare")
        << Kvtml2(Entry(0, Translation(0, "a&nbsp;b", "c")))
        << "The file refers to the entity “&nbsp;”, which it does not declare (line 3).";
    QTest::newRow("another root element")
        << QByteArray("<?xml version=\"1.0\"?><html><body/></html>")
        << "The file is not a KVTML vocabulary file: its root element is “html”.";
    QTest::newRow("not XML at all")
        << QByteArray("word,definition\ncat,pet\n") << "The file is not well-formed XML (line 1";
    QByteArray deep;
    for (int i = 0; i < 40; ++i)
        deep += "<container><name>n</name>";
    for (int i = 0; i < 40; ++i)
        deep += "</container>";
    QTest::newRow("lessons nested without end")
        << Kvtml2("", deep) << "The file nests lessons more than 32 deep.";
}

void TestKvtmlWorkbookReader::damagedOrHostileFileIsRefusedWithTheReason() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "words.kvtml", bytes);
    try {
        OpenWorkbook(path);
        QFAIL("the file was read");
    } catch (const LexomatError &error) {
        QVERIFY2(error.message().startsWith(reason), qPrintable(error.message()));
    }
}

void TestKvtmlWorkbookReader::foundByContentUnderAnotherName() {
    QTemporaryDir dir;
    auto reader =
        OpenWorkbook(WriteFile(dir, "export.xml", Kvtml2(Entry(0, Translation(0, "a", "b")))));
    QCOMPARE(ReadSheet(*reader, "All entries"), (Rows{{"a", "b"}}));
}

QTEST_GUILESS_MAIN(TestKvtmlWorkbookReader)
#include "tst_KvtmlWorkbookReader.moc"
