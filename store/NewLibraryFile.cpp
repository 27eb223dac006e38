#include "store/NewLibraryFile.h"

#include "platform/DurableFiles.h"
#include "platform/LexomatError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

NewLibraryFile::NewLibraryFile(const QString &finalPath) : path(finalPath) {
    const QFileInfo target(finalPath);
    const QString pattern = target.absoluteDir().filePath("." + target.fileName() + ".%1.part");
    // CreateNew refuses a name that is taken, so two programs never share one.
    for (int attempt = 0;; ++attempt) {
        temporary = pattern.arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        try {
            connection.Open(temporary, LibraryConnection::Mode::CreateNew);
            return;
        } catch (const LexomatError &) {
            if (attempt >= 20 || !QFileInfo::exists(temporary))
                throw;
        }
    }
}

NewLibraryFile::~NewLibraryFile() {
    if (!published)
        Discard();
}

void NewLibraryFile::Discard() {
    connection.Close();
    QFile::remove(temporary);
    QFile::remove(temporary + QStringLiteral("-journal"));
}

bool NewLibraryFile::Publish() {
    connection.Close();
    if (!DurableFiles::MoveToFreeName(temporary, path)) {
        Discard();
        return false;
    }
    published = true;
    return true;
}
