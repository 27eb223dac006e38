#include "store/LibraryHold.h"

#include "store/LibraryLock.h"

#include <QFileInfo>
#include <QHash>
#include <QMutex>

namespace {
// The holds of this program by the file they guard.
QHash<QString, std::weak_ptr<LibraryHold>> &Holds() {
    static QHash<QString, std::weak_ptr<LibraryHold>> holds;
    return holds;
}
QMutex holdsMutex;
} // namespace

LibraryHold::LibraryHold(const QString &path, std::unique_ptr<LibraryLock> held)
    : lockedPath(path), lock(std::move(held)) {}

LibraryHold::~LibraryHold() {
    const QMutexLocker locker(&holdsMutex);
    const auto entry = Holds().constFind(lockedPath);
    if (entry != Holds().cend() && entry->expired())
        Holds().erase(entry);
}

QString LibraryHold::LockedFile(const QString &libraryPath) {
    const QFileInfo info(libraryPath);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    // Not there (yet): the file name in its folder, the folder resolved.
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + '/' + info.fileName();
}

LibraryHold::Taken LibraryHold::Take(const QString &libraryPath) {
    const QString key = LockedFile(libraryPath);
    const QMutexLocker locker(&holdsMutex);
    if (std::shared_ptr<LibraryHold> held = Holds().value(key).lock())
        return {held, Outcome::Held};
    auto lock = std::make_unique<LibraryLock>(key);
    if (!lock->TryLock())
        return {nullptr, lock->HeldElsewhere() ? Outcome::HeldElsewhere : Outcome::NoLock};
    std::shared_ptr<LibraryHold> hold(new LibraryHold(key, std::move(lock)));
    Holds().insert(key, hold);
    return {hold, Outcome::Held};
}

bool LibraryHold::HeldHere(const QString &libraryPath) {
    const QMutexLocker locker(&holdsMutex);
    return !Holds().value(LockedFile(libraryPath)).expired();
}
