#pragma once

#include "store/LibraryConnection.h"

#include <QString>

// A new library for a path that does not exist yet, filled under a temporary name in
// the same folder and given its name only when complete. Until then nobody else sees
// it, and a failure removes that temporary file and nothing else: never a library of
// the final name that another program has made or filled meanwhile.
//
//   NewLibraryFile made(path);
//   ... fill made.Connection() ...
//   if (!made.Publish()) { the name was taken meanwhile: use the library that has it }
class NewLibraryFile {
public:
    explicit NewLibraryFile(const QString &path); // creates and opens; throws LexomatError
    ~NewLibraryFile();                            // removes the file unless published
    NewLibraryFile(const NewLibraryFile &) = delete;
    NewLibraryFile &operator=(const NewLibraryFile &) = delete;

    LibraryConnection &Connection() { return connection; }
    QString Path() const { return path; }
    // Closes the library and gives it its name, on disk when this returns. False when a
    // file of that name appeared meanwhile: the new library is removed then, and the
    // other file stays as it is. Throws LexomatError when the move itself fails.
    bool Publish();

private:
    void Discard();

    QString path;
    QString temporary;
    LibraryConnection connection;
    bool published = false;
};
