#include "app/TForm1.h"
#include "tools/screenshot/Shot.h"
#include <QDir>
#include <QFile>
#include <sqlite3.h>

namespace {
bool openSample() {
    const QStringList samples =
        QDir(ShotWorkDir() + "/library").entryList({"*.mdb"}, QDir::Files, QDir::Name);
    if (samples.isEmpty())
        return false;
    Form1->SeedRandom(7);
    return Form1->OpenLibrary(ShotWorkDir() + "/library/" + samples.first());
}
} // namespace

static ShotRegistration mainWindow("TForm1", [] { return static_cast<QWidget *>(Form1); });

static ShotRegistration question("TForm1-question",
                                 []() -> QWidget * { return openSample() ? Form1 : nullptr; });

static ShotRegistration paused("TForm1-paused", []() -> QWidget * {
    if (!openSample())
        return nullptr;
    Form1->Pause1Click();
    return Form1;
});

namespace {
// A library of 1,000,000 cards with every box in the thousands and 1,000 hours of
// study, written with plain SQLite in the working folder.
QString makeBigLibrary() {
    // Outside the library folder, where the other pictures pick their sample.
    QDir().mkpath(ShotWorkDir() + "/big");
    const QString path = ShotWorkDir() + "/big/Big Library.mdb";
    QFile::remove(path);
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;"
                 "CREATE TABLE Library ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, [Word] "
                 "VARCHAR(100) NOT NULL, [ImportanceField] INTEGER NOT NULL, [Definition] TEXT "
                 "NOT NULL);"
                 "CREATE TABLE TotalTime ([TotalTime] INTEGER NOT NULL);"
                 "INSERT INTO TotalTime VALUES (3600000);"
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000)"
                 " INSERT INTO Library (Word, ImportanceField, Definition) SELECT 'word' || i,"
                 " CASE WHEN i % 10 < 3 THEN 0 WHEN i % 10 < 5 THEN -1 ELSE i % 10 - 4 END,"
                 " 'the meaning of word number ' || i FROM n;"
                 "COMMIT;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}
} // namespace

static ShotRegistration big("TForm1-big", []() -> QWidget * {
    Form1->SeedRandom(11);
    if (!Form1->OpenLibrary(makeBigLibrary()))
        return nullptr;
    for (int i = 0; i < 3; ++i)
        Form1->Label_definitieClick(Form1->State().RightSlot);
    return Form1;
});

namespace {
// A few cards whose definitions are far longer than a panel holds.
QString makeLongDefinitionLibrary() {
    QDir().mkpath(ShotWorkDir() + "/long");
    const QString path = ShotWorkDir() + "/long/Long Definitions.mdb";
    QFile::remove(path);
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db,
                 "BEGIN;"
                 "CREATE TABLE Library ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, [Word] "
                 "VARCHAR(100) NOT NULL, [ImportanceField] INTEGER NOT NULL, [Definition] TEXT "
                 "NOT NULL);"
                 "CREATE TABLE TotalTime ([TotalTime] INTEGER NOT NULL);"
                 "INSERT INTO TotalTime VALUES (0);"
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 12)"
                 " INSERT INTO Library (Word, ImportanceField, Definition) SELECT 'term' || i, 0,"
                 " 'Meaning ' || i || ': a definition that goes on and on, as some teachers'"
                 " || ' write them, with examples, notes on usage and the history of the word.'"
                 " || ' Then come its relatives in other languages, a few more sentences about'"
                 " || ' the places where people use it, a story or two about it, and a list of'"
                 " || ' the words it is easily mixed up with, and then the definition goes on'"
                 " || ' write them, with examples, notes on usage, the history of the word and'"
                 " || ' its relatives in other languages, and then a few more sentences about'"
                 " || ' where it is used and why, until it is far longer than the panel that'"
                 " || ' shows it can hold, so that only its beginning is shown and the rest is'"
                 " || ' left for the tool tip, which shows the definition whole.' FROM n;"
                 "COMMIT;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}
} // namespace

static ShotRegistration longDefinition("TForm1-longdefinition", []() -> QWidget * {
    Form1->SeedRandom(5);
    return Form1->OpenLibrary(makeLongDefinitionLibrary()) ? Form1 : nullptr;
});

// The main window at twice the scale on a small screen: larger than the screen, placed
// with its title bar and menus on it.
static ShotRegistration scaleTwo(
    "TForm1-scale2", []() -> QWidget * { return openSample() ? Form1 : nullptr; }, {}, true);
