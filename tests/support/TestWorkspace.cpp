#include "tests/support/TestWorkspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
void copyTree(const QString &from, const QString &to) {
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo &info :
         source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + "/" + info.fileName();
        if (info.isDir())
            copyTree(info.absoluteFilePath(), target);
        else
            QFile::copy(info.absoluteFilePath(), target);
    }
}
} // namespace

TestWorkspace::TestWorkspace(bool withBesideFiles) : previous(QDir::currentPath()) {
    if (withBesideFiles) {
        copyTree(dataDir() + "/elements", dir.path() + "/elements");
        QFile::copy(dataDir() + "/wrong.au", dir.path() + "/wrong.au");
    }
    QDir(dir.path()).mkpath("library");
    QDir::setCurrent(dir.path());
}

TestWorkspace::~TestWorkspace() {
    QDir::setCurrent(previous);
}

QString TestWorkspace::path() const {
    return dir.path();
}

QString TestWorkspace::file(const QString &relative) const {
    return dir.path() + "/" + relative;
}

QString TestWorkspace::dataDir() {
    return QStringLiteral(LEXOMAT_DATA_DIR);
}
