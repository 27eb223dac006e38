#pragma once

#include <QString>
#include <memory>
#include <vector>

class LibraryHold;

// An untitled library: "<random number>.mdb" in the start-up folder, edited until it is
// saved under a name or discarded. Two files beside it say what it is:
//  - "<name>.lock" (LibraryHold), held while a running editor has it open;
//  - "<name>.untitled", a marker written when the program makes it, naming the file
//    itself (device and inode); it goes when the library is saved or discarded.
// Only a file whose marker names it and whose lock no running program holds was left
// behind by a program that ended without saving it. Nothing else is ever offered back
// as untitled, and nothing else is ever deleted as untitled.
class UntitledLibrary {
public:
    ~UntitledLibrary(); // releases the lock; the file and its marker stay
    UntitledLibrary(const UntitledLibrary &) = delete;
    UntitledLibrary &operator=(const UntitledLibrary &) = delete;

    // Draws numbers until one names no file in folder (no library, lock, marker or
    // journal of that name), holds its lock, makes an empty library file there and marks
    // it; the file is closed again. Throws LexomatError; then nothing of it is left, and
    // no file that was there before is touched.
    static std::unique_ptr<UntitledLibrary> Make(const QString &folder);
    // The untitled libraries that ended programs left behind in folder, oldest first,
    // each with its lock now held here.
    static std::vector<std::unique_ptr<UntitledLibrary>> LeftBehind(const QString &folder);

    QString Path() const;
    // Removes the library file and its marker: after it was copied to a name, or when
    // the user discards it.
    void Remove();
    // After the library file itself was given the name it was saved under: only its
    // marker goes, so that nothing here is taken for untitled any more.
    void Moved();

    static QString MarkerPath(const QString &libraryPath);
    static bool IsUntitledName(const QString &fileName); // decimal digits + ".mdb"

private:
    UntitledLibrary(const QString &path, std::shared_ptr<LibraryHold> hold);

    QString path;
    std::shared_ptr<LibraryHold> hold;
};
