#pragma once

#include <QString>

// What a file is, judged by its first bytes rather than its name: the program's own
// library format, an older Access database (Jet 4, or its ACE successor), or neither.
enum class LibraryFileKind { SQLite, Jet, Ace, Other, Missing };

// Missing also for a path that names a folder or cannot be read.
LibraryFileKind DetectLibraryFileKind(const QString &path);

// True for the two older Access kinds, which can only be converted to a copy.
bool IsLegacyAccessKind(LibraryFileKind kind);

// True for a file that is a library of either format, judged by its content: the one
// test of "is this a library" that every file command asks before writing over a file.
bool IsLibraryFile(const QString &path);
