#pragma once

#include <QString>
#include <memory>

class QLockFile;

// A lock file "<library>.lock" beside a library file, saying that a running program has
// it open. A lock whose program is gone (a crash, a pulled plug) counts as free and is
// taken over. While the object holds it, no other program gets it; it is released, and
// its file removed, when the object goes.
class LibraryLock {
public:
    explicit LibraryLock(const QString &libraryPath);
    ~LibraryLock();
    LibraryLock(const LibraryLock &) = delete;
    LibraryLock &operator=(const LibraryLock &) = delete;

    // False when another running program holds the lock, or it cannot be written.
    bool TryLock();
    // After a failed TryLock: true when it failed because another program holds it,
    // false when the lock file cannot be written (read-only folder, full disk).
    bool HeldElsewhere() const;
    bool Held() const;
    QString LibraryPath() const { return libraryPath; }

    static QString LockPath(const QString &libraryPath);

private:
    QString libraryPath;
    std::unique_ptr<QLockFile> lock;
};
