#include "store/LibraryLock.h"

#include <QLockFile>

LibraryLock::LibraryLock(const QString &path)
    : libraryPath(path), lock(std::make_unique<QLockFile>(LockPath(path))) {
    // Never stale by age: only a lock whose program has ended is taken over.
    lock->setStaleLockTime(0);
}

LibraryLock::~LibraryLock() = default;

bool LibraryLock::TryLock() {
    return lock->isLocked() || lock->tryLock(0);
}

bool LibraryLock::HeldElsewhere() const {
    return lock->error() == QLockFile::LockFailedError;
}

bool LibraryLock::Held() const {
    return lock->isLocked();
}

QString LibraryLock::LockPath(const QString &libraryPath) {
    return libraryPath + QStringLiteral(".lock");
}
