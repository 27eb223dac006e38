#pragma once

#include <QString>
#include <sys/types.h>

// The file a library is saved into under a name the learner chose, checked before
// anything is written: never the library itself (also through a link), never a folder.
// A name that is a link saves into the file it links to.
class LibrarySaveTarget {
public:
    // Throws LexomatError ("The library could not be saved as ...") when from may not be
    // saved under chosen.
    LibrarySaveTarget(const QString &from, const QString &chosen);

    const QString &Chosen() const { return chosen; }
    const QString &Path() const { return path; } // the file written
    // The permissions the saved file gets: those of the file it replaces, else those the
    // user's umask gives a new file.
    mode_t Mode() const;
    // The library's own words, if any, stay the detail.
    [[noreturn]] void Fail(const QString &reason, const QString &detail = QString()) const;

private:
    QString chosen;
    QString path;
};
