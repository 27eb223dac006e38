#pragma once

#include <QString>
#include <memory>

class LibraryLock;

// This program's hold on the lock beside a library file (LibraryLock, "<library>.lock"):
// while any part of the program has the file open (the data module, an untitled library
// of the editor, a second data module), other running programs see it as open. All of
// them share one hold; the lock goes with the last. A lock left by a program that ended
// without letting go (a crash) is taken over without a word.
//
// The lock follows the file, not the spelling of its path: a link to the library, or a
// path through a linked folder, reaches the lock beside the file itself.
class LibraryHold {
public:
    enum class Outcome {
        Held,          // held by this program (taken now, or already held here)
        HeldElsewhere, // another running program holds it
        NoLock,        // no lock file can be written beside the file (read-only folder)
    };
    struct Taken {
        std::shared_ptr<LibraryHold> hold; // set when Held
        Outcome outcome;
    };
    static Taken Take(const QString &libraryPath);
    // True when some part of this program holds the lock of the library.
    static bool HeldHere(const QString &libraryPath);
    // The path whose lock guards the library: links followed, folders resolved.
    static QString LockedFile(const QString &libraryPath);

    ~LibraryHold();
    LibraryHold(const LibraryHold &) = delete;
    LibraryHold &operator=(const LibraryHold &) = delete;

    QString LockedPath() const { return lockedPath; }

private:
    LibraryHold(const QString &lockedPath, std::unique_ptr<LibraryLock> lock);

    QString lockedPath;
    std::unique_ptr<LibraryLock> lock;
};

// The right to open one library file (Tdm::ClaimLibrary): the lock beside it held, or the
// learner's yes to opening a file that another running copy of the program has open, or
// a folder where no lock can be written. An unused claim lets go of the lock when it goes.
struct LibraryClaim {
    QString path;
    std::shared_ptr<LibraryHold> hold; // none when opened without the lock
};
