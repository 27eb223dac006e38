#include "formats/WorkbookReader.h"
#include "platform/LexomatError.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Plain-text note exports of another flashcard program: the headers, separators,
// quoting, HTML fields and the columns that are not the note's fields.
class TestNoteExportReader : public QObject {
    Q_OBJECT
private slots:
    void notesAsTheHeadersDescribeThem_data();
    void notesAsTheHeadersDescribeThem();
    void unknownSeparatorIsRefused();
    void openersWithoutClosersStayText_data();
    void openersWithoutClosersStayText();
};

using Rows = QList<QStringList>;

namespace {
QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(bytes);
    return file.fileName();
}
} // namespace

void TestNoteExportReader::notesAsTheHeadersDescribeThem_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("titleRow");
    QTest::addColumn<Rows>("expected");

    QTest::newRow("tab separator, no title row")
        << "deck.txt" << QByteArray("#separator:tab\n#html:false\nHund\tdog\nKatze\tcat\n") << false
        << Rows{{"Hund", "dog"}, {"Katze", "cat"}};
    const QList<std::pair<QByteArray, char>> separators = {{"Comma", ','}, {"Semicolon", ';'},
                                                           {"Space", ' '}, {"Pipe", '|'},
                                                           {"Colon", ':'}, {"+", '+'}};
    for (const auto &[name, separator] : separators)
        QTest::newRow(("separator " + name).constData())
            << "deck.txt"
            << QByteArray("#separator:" + name + "\r\nHund" + separator + "dog\r\nKatze" +
                          separator + "cat")
            << false << Rows{{"Hund", "dog"}, {"Katze", "cat"}};
    QTest::newRow("quoted separator, quote and line break")
        << "deck.txt"
        << QByteArray("#separator:Comma\n\"a, b\",\"say \"\"hi\"\"\nthen go\"\n\"\",empty word\n")
        << false << Rows{{"a, b", "say \"hi\"\nthen go"}, {"", "empty word"}};
    QTest::newRow("html:true turns fields into plain text")
        << "deck.txt"
        << QByteArray("#separator:tab\n#html:true\n"
                      "<b>Haus</b>&nbsp;[sound:haus.mp3]\t<div>the house</div><div>das "
                      "Haus</div>\n"
                      "x&amp;y &lt;z&gt;\tline<br>break<br/>and <i>more</i>&#33;\n"
                      "\"  <p>para one</p>\n  <p>para two</p> \"\t<div>a</div><div><br></div>"
                      "<div>b</div>\n"
                      "\"quoted <br> html\"\t\"<span style=\"\"color:red\"\">red</span>\"\n")
        << false
        << Rows{{"Haus", "the house\ndas Haus"},
                {"x&y <z>", "line\nbreak\nand more!"},
                {"para one\npara two", "a\n\nb"},
                {"quoted\nhtml", "red"}};
    QTest::newRow("html:false keeps tags and entities as written")
        << "deck.txt" << QByteArray("#html:false\n<b>x</b>\ta&amp;b [sound:s.mp3]\n") << false
        << Rows{{"<b>x</b>", "a&amp;b [sound:s.mp3]"}};
    QTest::newRow("guid, note type, deck and tags columns are not fields")
        << "deck.txt"
        << QByteArray(
               "#separator:tab\n#html:true\n#columns:GUID\tNotetype\tFront\tDeck\tBack\tTags\n"
               "#guid column:1\n#notetype column:2\n#deck column:4\n#tags column:6\n"
               "abc123\tBasic\tHund\tGerman\tdog\tanimals\n"
               "def456\tBasic\tKatze\tGerman\tcat\t\n")
        << false << Rows{{"Hund", "dog"}, {"Katze", "cat"}};
    QTest::newRow("empty lines are no notes; a missing definition stays missing")
        << "deck.txt" << QByteArray("#separator:tab\n\nHund\tdog\n\nallein\n\n") << false
        << Rows{{"Hund", "dog"}, {"allein"}};
    QTest::newRow("a note may begin with # when it is no header")
        << "deck.txt" << QByteArray("#separator:Comma\n#1 hit,a song\n") << false
        << Rows{{"#1 hit", "a song"}};
    QTest::newRow("Windows-1252 bytes")
        << "deck.txt" << QByteArray("#separator:tab\ncaf\xE9\t\x80 3\n") << false
        << Rows{{QString::fromUtf8("café"), QString::fromUtf8("€ 3")}};
    QTest::newRow("no headers: a plain text list with its title row")
        << "list.txt" << QByteArray("Word\tDefinition\nHund\tdog\n") << true
        << Rows{{"Word", "Definition"}, {"Hund", "dog"}};
    QTest::newRow("headers in a .csv: a plain text list")
        << "list.csv" << QByteArray("#separator:tab,x\nHund,dog\n") << true
        << Rows{{"#separator:tab", "x"}, {"Hund", "dog"}};
}

void TestNoteExportReader::notesAsTheHeadersDescribeThem() {
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, titleRow);
    QFETCH(Rows, expected);
    QTemporaryDir dir;
    auto reader = OpenWorkbook(WriteFile(dir, fileName, bytes));
    QCOMPARE(reader->HasTitleRow(), titleRow);
    QCOMPARE(reader->SheetNames(), QStringList{QFileInfo(fileName).completeBaseName()});
    Rows rows;
    reader->ReadRows(reader->SheetNames().value(0), [&](int number, const QStringList &cells) {
        if (number != rows.size() + 1)
            rows.append({"row number out of order"});
        rows.append(cells);
        return true;
    });
    QCOMPARE(rows, expected);
}

void TestNoteExportReader::unknownSeparatorIsRefused() {
    QTemporaryDir dir;
    try {
        OpenWorkbook(WriteFile(dir, "deck.txt", "#separator:Whitespace\na b\n"));
        QFAIL("the file was read");
    } catch (const LexomatError &error) {
        QCOMPARE(error.message(), QString("The note export names the separator “Whitespace”, "
                                          "which Lexomat does not know."));
    }
}

// A field of a million tag, entity or sound openers, none of them closed: plain text,
// read in one pass rather than searched to its end for each of them.
void TestNoteExportReader::openersWithoutClosersStayText_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("ampersands") << QByteArray(1000000, '&');
    QTest::newRow("angle brackets") << QByteArray(1000000, '<');
    QTest::newRow("sound references") << QByteArray("[sound:").repeated(150000);
}

void TestNoteExportReader::openersWithoutClosersStayText() {
    QFETCH(QByteArray, field);
    QTemporaryDir dir;
    auto reader = OpenWorkbook(WriteFile(dir, "deck.txt", "#html:true\nword\t" + field + "\tx\n"));
    Rows rows;
    reader->ReadRows("deck", [&](int, const QStringList &cells) {
        rows.append(cells);
        return true;
    });
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].value(0), QString("word"));
    QVERIFY(rows[0].value(1) == QString::fromLatin1(field));
}

QTEST_GUILESS_MAIN(TestNoteExportReader)
#include "tst_NoteExportReader.moc"
