#include "editor/UntitledLibrary.h"

#include "engine/Random.h"
#include "platform/FileIdentity.h"
#include "platform/LexomatError.h"
#include "store/LibraryHold.h"
#include "store/LibraryLock.h"
#include "store/Tdm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
constexpr int Attempts = 100;
const QByteArray MarkerTitle = "Lexomat untitled library\n";

QByteArray IdentityText(const FileIdentity &identity) {
    return QByteArray::number(qulonglong(identity.device)) + ' ' +
           QByteArray::number(qulonglong(identity.inode)) + '\n';
}

// The marker names the file by its identity, so that a file of the same name made
// later by anyone else is never taken for the untitled library.
bool MarkerNames(const QString &libraryPath) {
    const std::optional<FileIdentity> identity = IdentityOf(libraryPath);
    QFile marker(UntitledLibrary::MarkerPath(libraryPath));
    if (!identity || !QFileInfo(libraryPath).isFile() || QFileInfo(libraryPath).isSymLink() ||
        !marker.open(QIODevice::ReadOnly))
        return false;
    return marker.read(4096) == MarkerTitle + IdentityText(*identity);
}

bool NameIsFree(const QString &path) {
    for (const QString &taken : {path, UntitledLibrary::MarkerPath(path),
                                 LibraryLock::LockPath(path), path + QStringLiteral("-journal")})
        if (QFileInfo::exists(taken) || QFileInfo(taken).isSymLink())
            return false;
    return true;
}

void RemoveLibrary(const QString &path) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}
} // namespace

UntitledLibrary::UntitledLibrary(const QString &libraryPath, std::shared_ptr<LibraryHold> held)
    : path(libraryPath), hold(std::move(held)) {}

UntitledLibrary::~UntitledLibrary() = default;

QString UntitledLibrary::Path() const {
    return path;
}

QString UntitledLibrary::MarkerPath(const QString &libraryPath) {
    return libraryPath + QStringLiteral(".untitled");
}

bool UntitledLibrary::IsUntitledName(const QString &fileName) {
    static const QRegularExpression name(QStringLiteral("^[0-9]+\\.mdb$"));
    return name.match(fileName).hasMatch();
}

std::unique_ptr<UntitledLibrary> UntitledLibrary::Make(const QString &folder) {
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        // The one random generator of the program names it.
        const QString path = QDir(folder).filePath(
            QString::number(LexomatRandom::InRange(0, 2147483646)) + QStringLiteral(".mdb"));
        if (!NameIsFree(path) || LibraryHold::HeldHere(path))
            continue;
        LibraryHold::Taken lock = LibraryHold::Take(path);
        if (lock.outcome != LibraryHold::Outcome::Held) {
            if (lock.outcome == LibraryHold::Outcome::HeldElsewhere)
                continue;
            throw LexomatError(QString("No untitled library can be made in \"%1\": its lock "
                                       "file cannot be written (the folder is read-only or the "
                                       "disk is full).")
                                   .arg(folder));
        }
        try {
            // Refused when another program made the file meanwhile: that file stays.
            Tdm::CreateLibraryFile(path);
        } catch (const LexomatError &) {
            if (QFileInfo::exists(path))
                continue;
            throw;
        }
        QFile marker(MarkerPath(path));
        const std::optional<FileIdentity> identity = IdentityOf(path);
        const QByteArray text = identity ? MarkerTitle + IdentityText(*identity) : QByteArray();
        if (text.isEmpty() || !marker.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
            marker.write(text) != text.size() || !marker.flush()) {
            const QString reason = marker.errorString();
            marker.close();
            marker.remove();
            RemoveLibrary(path); // made by this call a moment ago
            throw LexomatError(
                QString("No untitled library can be made in \"%1\": %2").arg(folder, reason));
        }
        return std::unique_ptr<UntitledLibrary>(new UntitledLibrary(path, std::move(lock.hold)));
    }
    throw LexomatError(
        QString("No untitled library can be made in \"%1\": no free name was found, or the "
                "folder cannot be written.")
            .arg(folder));
}

std::vector<std::unique_ptr<UntitledLibrary>> UntitledLibrary::LeftBehind(const QString &folder) {
    std::vector<std::unique_ptr<UntitledLibrary>> found;
    const QDir dir(folder);
    for (const QFileInfo &file :
         dir.entryInfoList({QStringLiteral("*.mdb")}, QDir::Files, QDir::Time | QDir::Reversed)) {
        if (!IsUntitledName(file.fileName()) || !MarkerNames(file.absoluteFilePath()))
            continue;
        // One that this program has open is no one's left-overs.
        if (LibraryHold::HeldHere(file.absoluteFilePath()))
            continue;
        LibraryHold::Taken lock = LibraryHold::Take(file.absoluteFilePath());
        if (lock.outcome == LibraryHold::Outcome::Held)
            found.push_back(std::unique_ptr<UntitledLibrary>(
                new UntitledLibrary(file.absoluteFilePath(), std::move(lock.hold))));
    }
    // A marker whose library is gone (removed by hand) is only clutter.
    for (const QFileInfo &marker :
         dir.entryInfoList({QStringLiteral("*.mdb.untitled")}, QDir::Files)) {
        const QString library = marker.absoluteFilePath().chopped(9);
        if (!QFileInfo::exists(library) && !QFileInfo(library).isSymLink() &&
            !LibraryHold::HeldHere(library) &&
            LibraryHold::Take(library).outcome == LibraryHold::Outcome::Held)
            QFile::remove(marker.absoluteFilePath());
    }
    return found;
}

void UntitledLibrary::Remove() {
    RemoveLibrary(Path());
    QFile::remove(MarkerPath(Path()));
}

void UntitledLibrary::Moved() {
    QFile::remove(MarkerPath(Path()));
}
