// The program as a user gets it: installed into a temporary prefix by the build's
// own install rules, started from an unrelated folder with a fresh data home, and
// driven inside its own process by the test driver plugin.
#include "tests/support/TestLibrary.h"
#include "tests/support/TestWorkspace.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestInstalledProgram : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void versionIsTheProjectVersion();
    void firstStartFillsThePerUserFolder();
    void sampleLibraryOpens_data();
    void sampleLibraryOpens();
    void laterStartKeepsLibrariesAndRefreshesBesideFiles();
    void startupFolderIsChosen_data();
    void startupFolderIsChosen();
    void installedFilesPassTheirValidators_data();
    void installedFilesPassTheirValidators();
    void fileArgumentOpensTheDesktopWay_data();
    void fileArgumentOpensTheDesktopWay();
    void desktopKnowsTheFilesItOpens();

private:
    struct Run {
        int exitCode = -1;
        QMap<QString, QString> seen; // what the driver reported
    };
    // Starts the installed program in `currentDir` with XDG_DATA_HOME=`dataHome`.
    Run start(const QString &currentDir, const QString &dataHome, const QString &drive,
              const QString &lexomatHome = QString(), const QStringList &arguments = {});
    QString installed(const QString &relative) const { return prefix.filePath(relative); }

    QTemporaryDir prefix;
};

namespace {
QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

int cardCount(const QString &library) {
    return int(TestLibrary::levels(library).size());
}

int changedCards(const QString &library) {
    const QList<int> levels = TestLibrary::levels(library);
    return int(std::count_if(levels.begin(), levels.end(), [](int l) { return l != 0; }));
}
} // namespace

void TestInstalledProgram::initTestCase() {
    QVERIFY(prefix.isValid());
    QProcess install;
    install.start("cmake", {"--install", LEXOMAT_BUILD_DIR, "--prefix", prefix.path()});
    QVERIFY(install.waitForFinished(60000));
    QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    QVERIFY(QFileInfo(installed("bin/lexomat")).isExecutable());
}

TestInstalledProgram::Run TestInstalledProgram::start(const QString &currentDir,
                                                      const QString &dataHome, const QString &drive,
                                                      const QString &lexomatHome,
                                                      const QStringList &arguments) {
    QTemporaryDir reportDir;
    const QString reportPath = reportDir.filePath("report.txt");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dataHome);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QT_PLUGIN_PATH", LEXOMAT_DRIVER_DIR);
    env.insert("QT_QPA_GENERIC_PLUGINS", "lexomattestdriver");
    env.insert("LEXOMAT_TEST_DRIVE", drive);
    env.insert("LEXOMAT_TEST_REPORT", reportPath);
    env.remove("LEXOMAT_HOME");
    if (!lexomatHome.isEmpty())
        env.insert("LEXOMAT_HOME", lexomatHome);
    QProcess program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(currentDir);
    program.start(installed("bin/lexomat"), arguments);
    Run run;
    if (!program.waitForFinished(60000)) {
        program.kill();
        program.waitForFinished();
        qWarning("the installed program did not end: %s",
                 program.readAllStandardError().constData());
        return run;
    }
    run.exitCode = program.exitCode();
    const QStringList lines =
        QString::fromUtf8(contents(reportPath)).split('\n', Qt::SkipEmptyParts);
    for (const QString &line : lines)
        run.seen.insert(line.section('=', 0, 0), line.section('=', 1));
    return run;
}

void TestInstalledProgram::versionIsTheProjectVersion() {
    QProcess program;
    program.start(installed("bin/lexomat"), {"--version"});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(program.readAllStandardOutput(), QByteArray("lexomat " LEXOMAT_PROJECT_VERSION "\n"));
}

void TestInstalledProgram::firstStartFillsThePerUserFolder() {
    QTemporaryDir home, elsewhere;
    const Run run = start(elsewhere.path(), home.path(), "quit");
    QCOMPARE(run.exitCode, 0);
    const QString userDir = home.filePath("lexomat");
    QCOMPARE(run.seen.value("dir"), userDir);
    QCOMPARE(run.seen.value("title"), QStringLiteral("Lexomat"));
    const QStringList files = {"elements/logo.bmp",
                               "elements/main.txt",
                               "elements/about.txt",
                               "wrong.au",
                               "library/English Vocabulary.mdb",
                               "library/German-English.mdb"};
    for (const QString &file : files)
        QVERIFY2(contents(userDir + "/" + file) == contents(TestWorkspace::dataDir() + "/" + file),
                 qPrintable(file));
    // Nothing of the program lands in the folder it was started from.
    QVERIFY(QDir(elsewhere.path()).isEmpty());
}

void TestInstalledProgram::sampleLibraryOpens_data() {
    QTest::addColumn<QString>("library");
    QTest::newRow("English") << "English Vocabulary.mdb";
    QTest::newRow("German") << "German-English.mdb";
}

void TestInstalledProgram::sampleLibraryOpens() {
    QFETCH(QString, library);
    QTemporaryDir home, elsewhere;
    const QString copy = home.filePath("lexomat/library/" + library);
    const Run run = start(elsewhere.path(), home.path(), "study:" + copy);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(!run.seen.contains("unexpected"), qPrintable(run.seen.value("unexpected")));
    QCOMPARE(run.seen.value("count").toInt(),
             cardCount(installed("share/lexomat/library/" + library)));
    QVERIFY(!run.seen.value("word").isEmpty());
    QCOMPARE(run.seen.value("saved"), QStringLiteral("yes"));
    // One question answered and saved in the user's copy; the installed one untouched.
    QCOMPARE(changedCards(copy), 1);
    QCOMPARE(changedCards(installed("share/lexomat/library/" + library)), 0);
}

void TestInstalledProgram::laterStartKeepsLibrariesAndRefreshesBesideFiles() {
    QTemporaryDir home, elsewhere;
    const QString userDir = home.filePath("lexomat");
    const QString english = userDir + "/library/English Vocabulary.mdb";
    QCOMPARE(start(elsewhere.path(), home.path(), "study:" + english).exitCode, 0);
    QCOMPARE(changedCards(english), 1);
    // The learner removes a sample, adds a library, and a beside-file gets damaged.
    QVERIFY(QFile::remove(userDir + "/library/German-English.mdb"));
    TestLibrary::create(userDir + "/library/Mine.mdb", TestLibrary::numbered(12));
    QFile main(userDir + "/elements/main.txt");
    QVERIFY(main.open(QIODevice::WriteOnly));
    main.write("damaged");
    main.close();

    const Run second = start(elsewhere.path(), home.path(), "quit");
    QCOMPARE(second.exitCode, 0);
    QCOMPARE(second.seen.value("title"), QStringLiteral("Lexomat"));
    QCOMPARE(changedCards(english), 1);
    QCOMPARE(cardCount(userDir + "/library/Mine.mdb"), 12);
    QVERIFY(!QFile::exists(userDir + "/library/German-English.mdb"));
    QCOMPARE(contents(userDir + "/elements/main.txt"),
             contents(installed("share/lexomat/elements/main.txt")));
}

void TestInstalledProgram::startupFolderIsChosen_data() {
    QTest::addColumn<bool>("currentHasElements");
    QTest::addColumn<bool>("lexomatHomeSet");
    QTest::addColumn<QString>("expected"); // current, home or user
    QTest::newRow("a prepared folder is used as it is") << true << false << "current";
    QTest::newRow("LEXOMAT_HOME over a prepared folder") << true << true << "home";
    QTest::newRow("LEXOMAT_HOME over an unrelated folder") << false << true << "home";
}

void TestInstalledProgram::startupFolderIsChosen() {
    QFETCH(bool, currentHasElements);
    QFETCH(bool, lexomatHomeSet);
    QFETCH(QString, expected);
    QTemporaryDir dataHome, current, lexomatHome;
    if (currentHasElements) {
        QVERIFY(QDir().mkpath(current.filePath("elements")));
        for (const QString name : {"logo.bmp", "main.txt", "about.txt"})
            QVERIFY(QFile::copy(installed("share/lexomat/elements/" + name),
                                current.filePath("elements/" + name)));
    }
    const QString homeFolder = lexomatHome.filePath("mine");
    const Run run =
        start(current.path(), dataHome.path(), "quit", lexomatHomeSet ? homeFolder : QString());
    QCOMPARE(run.exitCode, 0);
    const QMap<QString, QString> folders = {
        {"current", current.path()}, {"home", homeFolder}, {"user", dataHome.filePath("lexomat")}};
    QCOMPARE(run.seen.value("dir"), folders.value(expected));
    QCOMPARE(QFileInfo::exists(homeFolder + "/library/German-English.mdb"), expected == "home");
    QVERIFY(!QFileInfo::exists(dataHome.filePath("lexomat")));
}

void TestInstalledProgram::installedFilesPassTheirValidators_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("file");
    QTest::newRow("desktop entry") << "desktop-file-validate" << QStringList()
                                   << "share/applications/org.lexomat.Lexomat.desktop";
    QTest::newRow("AppStream metadata") << "appstreamcli" << QStringList{"validate", "--no-net"}
                                        << "share/metainfo/org.lexomat.Lexomat.metainfo.xml";
    QTest::newRow("manual page") << "man" << QStringList{"--warnings", "-E", "UTF-8", "-l"}
                                 << "share/man/man1/lexomat.1.gz";
}

void TestInstalledProgram::installedFilesPassTheirValidators() {
    QFETCH(QString, tool);
    QFETCH(QStringList, options);
    QFETCH(QString, file);
    if (QStandardPaths::findExecutable(tool).isEmpty())
        QSKIP(qPrintable(tool + " is not installed (scripts/lib/common.sh installs it)"));
    QProcess check;
    check.start(tool, options << installed(file));
    QVERIFY(check.waitForFinished(60000));
    const QByteArray complaints = check.readAllStandardError();
    QVERIFY2(check.exitCode() == 0, complaints.constData());
    if (tool == "man") // man reports troff's warnings but still succeeds
        QVERIFY2(complaints.isEmpty(), complaints.constData());
}

void TestInstalledProgram::fileArgumentOpensTheDesktopWay_data() {
    QTest::addColumn<QStringList>("arguments"); // FOLDER stands for the current folder
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("sheets"); // offered by the import, empty when none ran
    QTest::newRow("library, relative path with a blank and an umlaut")
        << QStringList{"my wörds.mdb"} << "12"
        << "";
    QTest::newRow("library after --, absolute path")
        << QStringList{"--", "FOLDER/my wörds.mdb"} << "12"
        << "";
    QTest::newRow("library named like an option, after --")
        << QStringList{"--", "-dash.mdb"} << "12"
        << "";
    QTest::newRow("KVTML: the editor imports it into an untitled library")
        << QStringList{"Tiere.kvtml"} << "0"
        << "All entries|Pets";
}

void TestInstalledProgram::fileArgumentOpensTheDesktopWay() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, count);
    QFETCH(QString, sheets);
    QTemporaryDir home, current;
    TestLibrary::create(current.filePath("my wörds.mdb"), TestLibrary::numbered(12));
    TestLibrary::create(current.filePath("-dash.mdb"), TestLibrary::numbered(12));
    QFile kvtml(current.filePath("Tiere.kvtml"));
    QVERIFY(kvtml.open(QIODevice::WriteOnly));
    kvtml.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kvtml version=\"2.0\"><entries>"
                "<entry id=\"0\"><translation id=\"0\"><text>Hund</text>"
                "<comment>dog</comment></translation></entry>"
                "<entry id=\"1\"><translation id=\"0\"><text>Katze</text>"
                "<comment>cat</comment></translation></entry></entries><lessons><container>"
                "<name>Pets</name><entry id=\"1\"/></container></lessons></kvtml>\n");
    kvtml.close();
    arguments.replaceInStrings("FOLDER", current.path());
    // The program moves to its own folder; a relative path still means the one here.
    const Run run = start(current.path(), home.path(), "look", QString(), arguments);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(!run.seen.contains("unexpected"), qPrintable(run.seen.value("unexpected")));
    QCOMPARE(run.seen.value("dir"), home.filePath("lexomat"));
    QCOMPARE(run.seen.value("count"), count);
    QCOMPARE(run.seen.value("sheets"), sheets);
    if (sheets.isEmpty()) {
        QCOMPARE(run.seen.value("saved"), QString("yes"));
        return;
    }
    QCOMPARE(run.seen.value("box"), QString("2 new records added."));
    QCOMPARE(run.seen.value("editor"), QString("untitled.mdb - Lexomat Library"));
}

void TestInstalledProgram::desktopKnowsTheFilesItOpens() {
    QFile entry(installed("share/applications/org.lexomat.Lexomat.desktop"));
    QVERIFY(entry.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList types;
    QString exec;
    for (const QString &line : QString::fromUtf8(entry.readAll()).split('\n')) {
        if (line.startsWith("MimeType="))
            types = line.mid(9).split(';', Qt::SkipEmptyParts);
        if (line.startsWith("Exec="))
            exec = line.mid(5);
    }
    QCOMPARE(exec, QString("lexomat %f"));
    for (const QString type :
         {"application/vnd.ms-access", "application/vnd.sqlite3", "application/x-kvtml",
          "application/vnd.ms-excel", "text/csv", "text/plain",
          "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"})
        QVERIFY2(types.contains(type), qPrintable(type));

    // The KVTML type that the desktop's own list lacks comes with the program, and the
    // desktop's database tool takes it.
    if (QStandardPaths::findExecutable("update-mime-database").isEmpty())
        QSKIP("update-mime-database is not installed (scripts/lib/common.sh installs it)");
    QTemporaryDir mime;
    QVERIFY(QDir().mkpath(mime.filePath("packages")));
    QVERIFY(QFile::copy(installed("share/mime/packages/org.lexomat.Lexomat.xml"),
                        mime.filePath("packages/org.lexomat.Lexomat.xml")));
    QProcess update;
    update.start("update-mime-database", {mime.path()});
    QVERIFY(update.waitForFinished(60000));
    QCOMPARE(update.exitCode(), 0);
    QVERIFY(contents(mime.filePath("globs2")).contains("application/x-kvtml:*.kvtml"));
}

QTEST_GUILESS_MAIN(TestInstalledProgram)
#include "test_installed_program.moc"
