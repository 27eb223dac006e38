#pragma once

#include <QString>
#include <sys/types.h>

// Steps that make a finished file survive a pulled plug: its bytes on disk before it
// gets its name, and the name itself on disk (the folder flushed) before anything that
// depended on the old state is removed. Each throws LexomatError naming the file.
namespace DurableFiles {
void FlushFile(const QString &path);
// Flushes the folder that holds path, so a new, changed or removed name is on disk.
void FlushFolderOf(const QString &path);
// What a rename in one step did.
enum class Renamed { Done, NameTaken, OtherFileSystem };
// Gives `from` the name `to` in one step when both are on one file system: over a file of
// that name when replace is set, else only while the name is free (also when another
// program makes one at the same moment). NameTaken and OtherFileSystem change nothing;
// any other failure throws. Nothing is flushed.
Renamed Rename(const QString &from, const QString &to, bool replace);
// Gives `from` the name `to`, which must not exist: never replaces a file, also when
// another program makes one at the same moment. Returns false (and changes nothing)
// when `to` exists; throws on any other failure. The folder is flushed afterwards.
bool MoveToFreeName(const QString &from, const QString &to);
// Gives `from` the name `to`, replacing a file of that name in one step; the folder is
// flushed afterwards.
void MoveOver(const QString &from, const QString &to);
// The permissions a file written under target's name gets: those of the file it
// replaces, else those the user's umask gives a new file.
mode_t ModeFor(const QString &target);
} // namespace DurableFiles
