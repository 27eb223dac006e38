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
