#include "platform/StartupDirectory.h"

#include "platform/LexomatError.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>
#include <cstdio>

namespace {
QString shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

void makeFolder(const QString &dir) {
    if (!QDir().mkpath(dir))
        throw LexomatError(QStringLiteral("Cannot create the folder \"%1\".").arg(shown(dir)));
}

bool sameContent(const QString &a, const QString &b) {
    QFile first(a), second(b);
    if (first.size() != second.size() || !first.open(QIODevice::ReadOnly) ||
        !second.open(QIODevice::ReadOnly))
        return false;
    while (!first.atEnd())
        if (first.read(1 << 16) != second.read(1 << 16))
            return false;
    return true;
}

// Writes a copy under a temporary name beside the target and renames it when
// complete, so an interrupted start never leaves a half-written file behind.
void copyFile(const QString &from, const QString &to) {
    QFile source(from);
    QSaveFile target(to);
    const auto fail = [&](const QString &reason) {
        throw LexomatError(
            QStringLiteral("Cannot copy \"%1\" to \"%2\": %3").arg(shown(from), shown(to), reason));
    };
    if (!source.open(QIODevice::ReadOnly))
        fail(source.errorString());
    if (!target.open(QIODevice::WriteOnly))
        fail(target.errorString());
    while (!source.atEnd()) {
        const QByteArray block = source.read(1 << 16);
        if (block.isEmpty() && source.error() != QFile::NoError)
            fail(source.errorString());
        if (target.write(block) != block.size())
            fail(target.errorString());
    }
    if (!target.commit())
        fail(target.errorString());
}

// Beside-files follow the installed copy: a changed or missing one is replaced.
void refreshTree(const QString &from, const QString &to) {
    makeFolder(to);
    const QDir source(from);
    for (const QFileInfo &info :
         source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = QDir(to).filePath(info.fileName());
        if (info.isDir())
            refreshTree(info.absoluteFilePath(), target);
        else if (!sameContent(info.absoluteFilePath(), target))
            copyFile(info.absoluteFilePath(), target);
    }
}

// Sample libraries are the learner's once copied: one that exists is never replaced.
void copyMissingLibraries(const QString &from, const QString &to) {
    makeFolder(to);
    const QDir source(from);
    for (const QFileInfo &info : source.entryInfoList({QStringLiteral("*.mdb")}, QDir::Files)) {
        const QString target = QDir(to).filePath(info.fileName());
        if (!QFileInfo::exists(target))
            copyFile(info.absoluteFilePath(), target);
    }
}

QString userDataHome() {
    // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules ask.
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.local/share");
}
} // namespace

StartupDirectory::Places StartupDirectory::FromEnvironment(const QString &programDir) {
    Places places;
    places.currentDir = QDir::currentPath();
    places.homeOverride = qEnvironmentVariable("LEXOMAT_HOME");
    places.userDataDir = QDir::cleanPath(userDataHome() + QStringLiteral("/lexomat"));
    places.installedDataDir =
        QDir::cleanPath(programDir + QStringLiteral("/") + QStringLiteral(LEXOMAT_DATA_FROM_BIN));
    return places;
}

QString StartupDirectory::Prepare(const Places &places) {
    if (!places.homeOverride.isEmpty()) {
        const QString dir =
            QDir::cleanPath(QDir(places.currentDir).absoluteFilePath(places.homeOverride));
        Fill(dir, places.installedDataDir);
        return dir;
    }
    if (QFileInfo(QDir(places.currentDir).filePath(QStringLiteral("elements"))).isDir())
        return QDir::cleanPath(places.currentDir);
    Fill(places.userDataDir, places.installedDataDir);
    return places.userDataDir;
}

void StartupDirectory::Fill(const QString &dir, const QString &installedDataDir) {
    const QDir installed(installedDataDir);
    const bool haveInstalled = QFileInfo(installed.filePath(QStringLiteral("elements"))).isDir();
    const bool firstStart = !QFileInfo(QDir(dir).filePath(QStringLiteral("elements"))).isDir();
    if (!haveInstalled) {
        // A folder prepared by hand (or by scripts/run) needs no installed copy.
        if (!firstStart)
            return;
        throw LexomatError(QStringLiteral("Lexomat cannot find its files: the folder \"%1\" has "
                                          "no \"elements\" folder, and there is no installed "
                                          "copy in \"%2\".")
                               .arg(shown(dir), shown(installedDataDir)));
    }
    if (QFileInfo(dir).canonicalFilePath() == installed.canonicalPath())
        return; // running in the installed copy itself
    makeFolder(dir);
    // Libraries before beside-files: elements/ marks a finished first start, so a
    // start interrupted half-way copies the samples again next time.
    if (firstStart)
        copyMissingLibraries(installed.filePath(QStringLiteral("library")),
                             QDir(dir).filePath(QStringLiteral("library")));
    makeFolder(QDir(dir).filePath(QStringLiteral("library")));
    const QString sound = installed.filePath(QStringLiteral("wrong.au"));
    const QString soundCopy = QDir(dir).filePath(QStringLiteral("wrong.au"));
    if (QFileInfo::exists(sound) && !sameContent(sound, soundCopy))
        copyFile(sound, soundCopy);
    refreshTree(installed.filePath(QStringLiteral("elements")),
                QDir(dir).filePath(QStringLiteral("elements")));
}

bool StartupDirectory::Enter() {
    try {
        const QString dir = Prepare(FromEnvironment(QCoreApplication::applicationDirPath()));
        if (!QDir::setCurrent(dir))
            throw LexomatError(QStringLiteral("Cannot enter the folder \"%1\".").arg(shown(dir)));
        return true;
    } catch (const LexomatError &error) {
        std::fprintf(stderr, "lexomat: %s\n", qPrintable(error.message()));
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Lexomat"), error.message(),
                        QMessageBox::Ok);
        box.setObjectName(QStringLiteral("StartupFailure"));
        box.exec();
        return false;
    }
}
