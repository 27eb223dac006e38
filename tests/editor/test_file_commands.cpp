// The file commands at random: a seeded sequence of editor and command-line steps over a
// folder of libraries and workbooks named as users name them, with a second running copy
// now and then. After every step, each file the step did not target is byte for byte as
// it was, and each library it targeted passes SQLite's integrity check. The seed is
// printed on a failure; LEXOMAT_FILE_COMMANDS_SEED and LEXOMAT_FILE_COMMANDS_STEPS run
// another sequence, and LEXOMAT_FILE_COMMANDS_TRACE prints every step with its answers.
#include "editor/Tfrm_addlibrary.h"
#include "editor/Tfrm_admin.h"
#include "editor/Tfrm_sheet.h"
#include "engine/Random.h"
#include "formats/LibraryFileKind.h"
#include "platform/FileIdentity.h"
#include "store/Tdm.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/store/Jet4Files.h"
#include "tests/support/FolderSnapshot.h"
#include "widgets/TBitBtnWithColor.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <random>
#include <sqlite3.h>

using namespace EditorTest;

namespace {
const QStringList Words = {"Haus", "house",      "Übung",    "日本", "<b>bold",   "_x0041_",
                           "a,b",  "say \"hi\"", " spaced ", "2024", "Lesson 12", "tab\there"};

// What a step answered: each modal window it met, and what it chose there.
struct Answer {
    QString window; // object name or class
    QString text;   // the box's text
    QString choice; // the button or the path
};

// Answers whatever modal window comes up, at random, and writes down what it did.
class RandomAnswerer : public QObject {
public:
    RandomAnswerer(std::mt19937 &random, const QString &folder) : random(random), folder(folder) {
        connect(&timer, &QTimer::timeout, this, [this] { Poll(); });
        timer.start(5);
    }

    QList<Answer> answers;
    QStringList libraries, workbooks; // candidates for the file dialogs

    void NewStep() {
        answers.clear();
        handled.clear();
        last = nullptr;
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    bool Chance(int percent) { return Pick(100) < percent; }
    QString Any(const QStringList &list) {
        return list.isEmpty() ? QString() : list[Pick(int(list.size()))];
    }

    void Poll() {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || qobject_cast<QProgressDialog *>(modal) || busy)
            return;
        if (modal == last && ++sameFor < 400)
            return; // our answer is on its way
        int &count = handled[modal];
        if (count == 0)
            connect(modal, &QObject::destroyed, this, [this, modal] { handled.remove(modal); });
        if (++count > 4) { // a dialog that keeps coming back is given up
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            return;
        }
        last = modal;
        sameFor = 0;
        busy = true;
        Respond(modal);
        busy = false;
    }

    void Respond(QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            return AnswerBox(box);
        if (auto *dialog = qobject_cast<QFileDialog *>(modal))
            return AnswerFileDialog(dialog);
        if (auto *record = qobject_cast<Tfrm_addlibrary *>(modal)) {
            if (Chance(20)) {
                answers.append({"record", {}, "cancel"});
                Cancel()(record);
                return;
            }
            // Set rather than typed: key clicks take ASCII only.
            const QString word = Any(Words) + QString::number(Pick(40));
            answers.append({"record", {}, "save"});
            record->EditWord->setText(word);
            record->EditImportance->setText(QString::number(Pick(300) - 100));
            record->EditDefinition->setPlainText("means " + word);
            QPushButton *save = record->bt_save;
            QTimer::singleShot(0, save, [save] { save->click(); });
            return;
        }
        if (auto *sheet = qobject_cast<Tfrm_sheet *>(modal)) {
            const bool ok = Chance(85);
            answers.append({"sheet", {}, ok ? "ok" : "close"});
            if (ok)
                QTest::mouseClick(sheet->BitBtnWithColor1, Qt::LeftButton);
            else
                sheet->reject();
            return;
        }
        answers.append({modal->metaObject()->className(), {}, "close"});
        modal->close();
    }

    void AnswerBox(QMessageBox *box) {
        QList<QAbstractButton *> buttons = box->buttons();
        QAbstractButton *button = buttons.isEmpty() ? nullptr : buttons[Pick(int(buttons.size()))];
        answers.append({"box", box->text(), button ? button->text().remove('&') : "close"});
        if (button)
            QTimer::singleShot(0, button, [button] { button->click(); });
        else
            box->close();
    }

    void AnswerFileDialog(QFileDialog *dialog) {
        const QString name = dialog->objectName();
        QString path;
        if (!Chance(15)) {
            const QString lib = folder + "/library/";
            if (name == "FileOpen1")
                path = Chance(80) ? Any(libraries) : Any(workbooks);
            else if (name == "FileOpen2")
                path = Chance(80) ? Any(workbooks) : Any(libraries);
            else if (name == "FileSaveAs1")
                path = Chance(50)
                           ? lib + Any({"Lesson %1.mdb", "%1.mdb", "Übung %1.mdb"}).arg(Pick(6))
                           : Any(libraries + workbooks);
            else
                path = Chance(50) ? lib + "export " + QString::number(Pick(4)) + "." +
                                        Any({"xls", "xlsx", "csv", "tsv", "ods", "mdb"})
                                  : Any(libraries + workbooks);
        }
        answers.append({name, {}, path.isEmpty() ? "cancel" : path});
        if (path.isEmpty()) {
            QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
            return;
        }
        ChooseFile(path)(dialog);
    }

    std::mt19937 &random;
    QString folder;
    QTimer timer;
    QPointer<QWidget> last;
    int sameFor = 0;
    bool busy = false;
    QHash<QWidget *, int> handled;
};

bool IsBookkeeping(const QString &name) {
    return name.endsWith(".lock");
}

// As the next program to open the library finds it: a journal that a killed command left
// is played back first, which a read-only connection could not do.
QString IntegrityOf(const QString &path) {
    sqlite3 *db = nullptr;
    QString result = "cannot open";
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        else
            result = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return result;
}
} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT
private slots:
    void randomStepsTouchOnlyTheirTargets_data() {
        QTest::addColumn<quint64>("seed");
        QTest::addColumn<int>("steps");
        const QByteArray seed = qgetenv("LEXOMAT_FILE_COMMANDS_SEED");
        const int steps = qEnvironmentVariableIntValue("LEXOMAT_FILE_COMMANDS_STEPS");
        if (!seed.isEmpty()) {
            QTest::newRow("seed from the environment")
                << seed.toULongLong() << (steps ? steps : 300);
            return;
        }
        QTest::newRow("seed 15") << quint64(15) << 200;
        QTest::newRow("seed 2024") << quint64(2024) << 200;
    }
    void randomStepsTouchOnlyTheirTargets();

private:
    void Prepare();
    void Step(int kind);
    void RunLexomat(const QStringList &arguments, bool killMidway = false);
    QStringList LibraryFiles() const;
    QStringList WorkbookFiles() const;
    QStringList MarkedUntitled() const;
    QString Lib(const QString &name) const { return folder + "/library/" + name; }

    std::unique_ptr<Session> session;
    std::mt19937 random;
    QString folder;
    QString takenName; // a library named by the first number a known seed draws
    std::unique_ptr<RandomAnswerer> answerer;
    std::vector<std::unique_ptr<SecondCopy>> copies;
    QSet<QString> targets;          // files this step may change
    bool newFilesMayAppear = false; // new untitled libraries, converted copies
    bool killed = false;            // a command killed midway may leave its temporary file
    QString described;              // the step, for the failure message
};

void TestFileCommands::Prepare() {
    // What a failed run left is gone before the next one starts.
    answerer.reset();
    copies.clear();
    session.reset();
    session = std::make_unique<Session>();
    folder = session->folder();
    for (const QString name : {"2024.mdb", "Lesson 12.mdb", "Übung 3.mdb", "7 words.mdb"})
        TestLibrary::create(Lib(name), TestLibrary::numbered(3 + int(name.size() % 5)));
    Jet4Files::copyInto(folder + "/library", "lib_small.mdb");
    LexomatRandom::Seed(99);
    takenName =
        QDir(folder).filePath(QString::number(LexomatRandom::InRange(0, 2147483646)) + ".mdb");
    TestLibrary::create(takenName, TestLibrary::numbered(2));
    QFile list(Lib("words list.csv"));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("Word,Definition\nHaus,house\nBaum,tree\nÜbung,exercise\n<b>bold,tag\n");
    list.close();
    QFile tabs(Lib("Lesson 12 words.tsv"));
    QVERIFY(tabs.open(QIODevice::WriteOnly));
    tabs.write("Word\tDefinition\n2024\ta year\n\"a,b\"\tcomma\n_x0041_\tescape\n");
    tabs.close();
}

QStringList TestFileCommands::LibraryFiles() const {
    QStringList found;
    for (const QString &dir : {folder, folder + "/library"})
        for (const QFileInfo &file : QDir(dir).entryInfoList({"*.mdb"}, QDir::Files))
            found << file.absoluteFilePath();
    return found;
}

QStringList TestFileCommands::WorkbookFiles() const {
    QStringList found;
    for (const QFileInfo &file :
         QDir(folder + "/library")
             .entryInfoList({"*.xls", "*.xlsx", "*.csv", "*.tsv", "*.ods"}, QDir::Files))
        found << file.absoluteFilePath();
    return found;
}

QStringList TestFileCommands::MarkedUntitled() const {
    QStringList found;
    for (const QFileInfo &file : QDir(folder).entryInfoList({"*.mdb.untitled"}, QDir::Files))
        found << file.absoluteFilePath().chopped(9);
    return found;
}

void TestFileCommands::RunLexomat(const QStringList &arguments, bool killMidway) {
    QProcess process;
    process.start(QStringLiteral(LEXOMAT_EXECUTABLE), arguments);
    if (killMidway) {
        QTest::qWait(std::uniform_int_distribution<int>(0, 40)(random));
        process.kill();
        killed = true;
    }
    process.waitForFinished(60000);
}

void TestFileCommands::Step(int kind) {
    auto pick = [this](const QStringList &list) {
        return list.isEmpty()
                   ? QString()
                   : list[std::uniform_int_distribution<int>(0, int(list.size()) - 1)(random)];
    };
    auto chance = [this](int percent) {
        return std::uniform_int_distribution<int>(0, 99)(random) < percent;
    };
    const QStringList libraries = LibraryFiles();
    const QStringList workbooks = WorkbookFiles();
    answerer->libraries = libraries;
    answerer->workbooks = workbooks;
    answerer->NewStep();
    QSet<QString> librariesBefore; // by content, whatever their names
    for (const QString &file : libraries + workbooks + QStringList{takenName})
        if (IsLibraryFile(file))
            librariesBefore << file;
    const QString untitledBefore = frm_admin->EditingTempLibrary ? frm_admin->TempLibraryPath : "";
    const QString namedBefore = frm_admin->EditingLibraryFile ? dm->DatabasePath() : "";
    const QStringList leftBefore = MarkedUntitled();
    if (kind < 9 && chance(10))
        LexomatRandom::Seed(99); // the first number drawn names a library that is there
    switch (kind) {
    case 0:
        described = "editor: New";
        frm_admin->act_new->trigger();
        break;
    case 1:
        described = "editor: add a card";
        QTest::mouseClick(frm_admin->bt_adauga, Qt::LeftButton);
        break;
    case 2:
        described = "editor: Open...";
        frm_admin->act_open->trigger();
        break;
    case 3:
        described = "editor: Save";
        frm_admin->act_save->trigger();
        break;
    case 4:
        described = "editor: export";
        frm_admin->FileSaveAs2->trigger();
        break;
    case 5:
        described = "editor: import";
        frm_admin->FileOpen2->trigger();
        break;
    case 6:
        described = "editor: delete a card";
        if (frm_admin->act_del->isEnabled())
            frm_admin->act_del->trigger();
        break;
    case 7:
        described = "editor: close and show again";
        frm_admin->close();
        if (!frm_admin->isVisible()) {
            frm_admin->show();
            QTest::qWait(30);
        }
        break;
    case 8:
        described = "editor: a double click in the grid";
        QTest::mouseDClick(frm_admin->grid_library->viewport(), Qt::LeftButton, {}, QPoint(5, 8));
        break;
    case 9: {
        const QString library = pick(libraries);
        const QString target = chance(50) ? pick(libraries + workbooks)
                                          : Lib("cli " + QString::number(random() % 3) + "." +
                                                pick({"xls", "xlsx", "csv", "tsv", "ods", "mdb"}));
        const bool kill = chance(15);
        described = "command line: export " + library + " " + target + (kill ? " (killed)" : "");
        if (!IsLibraryFile(target))
            targets << target;
        RunLexomat({"export", library, target}, kill);
        break;
    }
    case 10: {
        const QString workbook = pick(workbooks);
        const QString library =
            chance(60) ? pick(libraries) : Lib("Lesson " + QString::number(random() % 20) + ".mdb");
        const bool kill = chance(15);
        described =
            "command line: import " + workbook + " into " + library + (kill ? " (killed)" : "");
        targets << library;
        const bool list = workbook.endsWith(".csv") || workbook.endsWith(".tsv");
        RunLexomat(
            {"import", workbook, list ? QFileInfo(workbook).completeBaseName() : "Sheet1", library},
            kill);
        break;
    }
    case 11: {
        const QString old = chance(70) ? Lib("lib_small.mdb") : pick(libraries);
        const QString copy = chance(70) ? Lib("converted " + QString::number(random() % 4) + ".mdb")
                                        : pick(libraries);
        described = "command line: convert " + old + " " + copy;
        if (!QFileInfo::exists(copy))
            targets << copy;
        RunLexomat({"convert", old, copy});
        break;
    }
    case 12: {
        if (copies.size() >= 2 || chance(40)) {
            described = "a second copy ends";
            if (!copies.empty()) {
                copies.front()->crash();
                copies.erase(copies.begin());
            }
        } else if (chance(50)) {
            const QString library = pick(libraries);
            described = "a second copy studies " + library;
            copies.push_back(SecondCopy::Study(library));
        } else {
            described = "a second copy makes an untitled library, then crashes";
            newFilesMayAppear = true;
            auto copy = SecondCopy::Untitled(folder, random(), int(random() % 4));
            copy->crash();
        }
        break;
    }
    }
    QVERIFY2(QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }, 20000),
             qPrintable(described));
    QTest::qWait(5);

    // What the answers made this step target.
    if (kind < 9) {
        newFilesMayAppear = true; // a new untitled library, a converted copy
        for (const Answer &a : answerer->answers) {
            if (a.window == "FileSaveAs1" && a.choice != "cancel")
                targets << a.choice << untitledBefore;
            // Export never writes over a library: one is never its target.
            if (a.window == "FileSaveAs2" && a.choice != "cancel" &&
                !librariesBefore.contains(a.choice))
                targets << a.choice;
            if (a.text == "Save current library ?" && a.choice != "Cancel")
                targets << untitledBefore;
            if ((a.text.startsWith("An unsaved library") && a.choice == "Yes") ||
                (a.text.startsWith("Delete the unsaved library") && a.choice == "Yes"))
                for (const QString &left : leftBefore)
                    targets << left;
            if ((a.window == "record" && a.choice == "save") ||
                (a.window == "sheet" && a.choice == "ok") ||
                (a.text.startsWith("Delete: ") && a.choice == "Yes"))
                targets << namedBefore << untitledBefore;
        }
    }
}

void TestFileCommands::randomStepsTouchOnlyTheirTargets() {
    QFETCH(quint64, seed);
    QFETCH(int, steps);
    random.seed(std::mt19937::result_type(seed));
    Prepare();
    answerer = std::make_unique<RandomAnswerer>(random, folder);
    for (int step = 1; step <= steps; ++step) {
        const int kind = std::uniform_int_distribution<int>(0, 12)(random);
        const FolderSnapshot before = FolderSnapshots::Take(folder);
        targets.clear();
        newFilesMayAppear = false;
        killed = false;
        Step(kind);
        const FolderSnapshot after = FolderSnapshots::Take(folder);
        const QString where = QString("seed %1, step %2 (%3)").arg(seed).arg(step).arg(described);
        if (qEnvironmentVariableIsSet("LEXOMAT_FILE_COMMANDS_TRACE")) {
            QStringList said;
            for (const Answer &a : answerer->answers)
                said << a.window + (a.text.isEmpty() ? "" : " \"" + a.text.left(40) + "\"") + ": " +
                            a.choice;
            qInfo("%s | %s | changed: %s", qPrintable(where), qPrintable(said.join("; ")),
                  qPrintable(FolderSnapshots::Changed(before, after).join(", ")));
        }
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(where));
        // The files a target stands for: the library with its journal and marker.
        QSet<QString> allowed;
        for (const QString &target : std::as_const(targets))
            if (!target.isEmpty())
                for (const QString &part : {QString(), QString("-journal"), QString(".untitled")})
                    allowed << QDir(folder).relativeFilePath(target + part);
        for (const QString &name : FolderSnapshots::Changed(before, after)) {
            if (IsBookkeeping(name) || allowed.contains(name))
                continue;
            const bool made = !before.contains(name);
            const QString base = QFileInfo(name).fileName();
            if (made && newFilesMayAppear &&
                (QRegularExpression("^[0-9]+\\.mdb(\\.untitled|-journal)?$")
                     .match(base)
                     .hasMatch() ||
                 base.contains("(Lexomat)")))
                continue;
            // A command killed midway leaves its temporary file (and its journal).
            // (libgsf names the temporary file of an .xls its own way).
            if (made && killed && base.startsWith('.') &&
                (base.contains(".part") || base.startsWith(".gsf-save-")))
                continue;
            QFAIL(qPrintable(where + ": \"" + name + "\" " +
                             (made                   ? "was made"
                              : after.contains(name) ? "changed"
                                                     : "is gone")));
        }
        for (const QString &target : std::as_const(targets))
            if (!target.isEmpty() && DetectLibraryFileKind(target) == LibraryFileKind::SQLite) {
                const QString integrity = IntegrityOf(target);
                if (integrity != "ok")
                    QFAIL(qPrintable(where + ": \"" + target + "\": " + integrity));
            }
        // The editor's state matches what is open.
        if (frm_admin->EditingTempLibrary)
            QVERIFY2(QFileInfo::exists(frm_admin->TempLibraryPath) && dm->Connected(),
                     qPrintable(where));
        if (frm_admin->EditingLibraryFile)
            QVERIFY2(dm->Connected() && QFileInfo::exists(dm->DatabasePath()), qPrintable(where));
    }
    answerer.reset();
    copies.clear();
    session.reset();
}

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
