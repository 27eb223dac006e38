#include "platform/LexomatError.h"
#include "platform/StartupDirectory.h"
#include "tests/support/TestWorkspace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Where the program runs and what it finds there, for the cases an installed
// program run cannot easily reach: broken or missing installations, odd
// environments, a first start that was interrupted.
class TestStartupDirectory : public QObject {
    Q_OBJECT
private slots:
    void perUserFolderFollowsXdgDataHome_data();
    void perUserFolderFollowsXdgDataHome();
    void failuresNameTheFolder_data();
    void failuresNameTheFolder();
    void preparedFolderNeedsNoInstalledCopy();
    void copiedLibrariesAreWritable();
    void interruptedFirstStartKeepsWhatWasCopied();
};

namespace {
// An installed copy of the shared files, made from the bundled data.
void makeInstallation(const QString &dir) {
    const QString data = TestWorkspace::dataDir();
    QDir().mkpath(dir + "/elements");
    QDir().mkpath(dir + "/library");
    for (const QString name : {"logo.bmp", "main.txt", "about.txt"})
        QFile::copy(data + "/elements/" + name, dir + "/elements/" + name);
    QFile::copy(data + "/wrong.au", dir + "/wrong.au");
    for (const QString name : {"English Vocabulary.mdb", "German-English.mdb"})
        QFile::copy(data + "/library/" + name, dir + "/library/" + name);
}

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct EnvironmentValue {
    EnvironmentValue(const char *name, const QByteArray &value)
        : name(name), had(qEnvironmentVariableIsSet(name)), previous(qgetenv(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvironmentValue() {
        if (had)
            qputenv(name, previous);
        else
            qunsetenv(name);
    }
    const char *name;
    bool had;
    QByteArray previous;
};
} // namespace

void TestStartupDirectory::perUserFolderFollowsXdgDataHome_data() {
    QTest::addColumn<QByteArray>("xdgDataHome");
    QTest::addColumn<QString>("expected");
    const QString fallback = QDir::homePath() + "/.local/share/lexomat";
    QTest::newRow("set") << QByteArray("/srv/learner/data") << "/srv/learner/data/lexomat";
    QTest::newRow("trailing slash") << QByteArray("/srv/data/") << "/srv/data/lexomat";
    QTest::newRow("unset") << QByteArray() << fallback;
    QTest::newRow("empty") << QByteArray("") << fallback;
    QTest::newRow("relative, so invalid") << QByteArray("data") << fallback;
}

void TestStartupDirectory::perUserFolderFollowsXdgDataHome() {
    QFETCH(QByteArray, xdgDataHome);
    QFETCH(QString, expected);
    EnvironmentValue xdg("XDG_DATA_HOME", xdgDataHome);
    QCOMPARE(StartupDirectory::FromEnvironment("/opt/lexomat/bin").userDataDir, expected);
}

void TestStartupDirectory::failuresNameTheFolder_data() {
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("blockedBy"); // a file where the folder's parent should be
    QTest::newRow("no installed copy, nothing prepared") << false << QString();
    QTest::newRow("the folder cannot be made") << true << "data";
}

void TestStartupDirectory::failuresNameTheFolder() {
    QFETCH(bool, installed);
    QFETCH(QString, blockedBy);
    QTemporaryDir current, installation, home;
    if (installed)
        makeInstallation(installation.path());
    if (!blockedBy.isEmpty())
        writeFile(home.filePath(blockedBy), "not a folder");
    StartupDirectory::Places places;
    places.currentDir = current.path();
    places.userDataDir = home.filePath("data/lexomat");
    places.installedDataDir = installation.filePath("share/lexomat");
    if (installed)
        places.installedDataDir = installation.path();
    try {
        StartupDirectory::Prepare(places);
        QFAIL("no failure");
    } catch (const LexomatError &error) {
        QVERIFY2(error.message().contains(places.userDataDir), qPrintable(error.message()));
    }
}

void TestStartupDirectory::preparedFolderNeedsNoInstalledCopy() {
    // scripts/run fills the folder from the source tree; the built program has no
    // installation beside it.
    TestWorkspace prepared;
    QTemporaryDir current;
    StartupDirectory::Places places;
    places.currentDir = current.path();
    places.homeOverride = prepared.path();
    places.installedDataDir = current.filePath("nowhere");
    QCOMPARE(StartupDirectory::Prepare(places), prepared.path());
}

void TestStartupDirectory::copiedLibrariesAreWritable() {
    QTemporaryDir current, installation, home;
    makeInstallation(installation.path());
    const QString sample = installation.filePath("library/German-English.mdb");
    QVERIFY(QFile::setPermissions(sample, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    StartupDirectory::Places places{current.path(), QString(), home.filePath("lexomat"),
                                    installation.path()};
    StartupDirectory::Prepare(places);
    const QFileInfo copy(home.filePath("lexomat/library/German-English.mdb"));
    QVERIFY(copy.isWritable());
    QCOMPARE(contents(copy.filePath()), contents(sample));
}

void TestStartupDirectory::interruptedFirstStartKeepsWhatWasCopied() {
    // A first start that ended after copying one library (and before elements/):
    // the next start copies what is missing and keeps what is there.
    QTemporaryDir current, installation, home;
    makeInstallation(installation.path());
    const QString userDir = home.filePath("lexomat");
    QVERIFY(QDir().mkpath(userDir + "/library"));
    writeFile(userDir + "/library/English Vocabulary.mdb", "the learner's");
    StartupDirectory::Places places{current.path(), QString(), userDir, installation.path()};
    QCOMPARE(StartupDirectory::Prepare(places), userDir);
    QCOMPARE(contents(userDir + "/library/English Vocabulary.mdb"), QByteArray("the learner's"));
    QCOMPARE(contents(userDir + "/library/German-English.mdb"),
             contents(installation.filePath("library/German-English.mdb")));
    QCOMPARE(contents(userDir + "/elements/logo.bmp"),
             contents(installation.filePath("elements/logo.bmp")));
    // No temporary copies are left beside the files.
    QCOMPARE(QDir(userDir + "/library").entryList(QDir::Files).size(), 2);
    QCOMPARE(QDir(userDir + "/elements").entryList(QDir::Files).size(), 3);
}

QTEST_GUILESS_MAIN(TestStartupDirectory)
#include "tst_StartupDirectory.moc"
