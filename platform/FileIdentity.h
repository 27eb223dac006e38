#pragma once

#include <QString>
#include <optional>
#include <sys/types.h>

// Which file a path names: the file itself (device and inode, links followed) rather
// than the text of the path, so that "lib.mdb", "./lib.mdb", a link to it and a second
// hard link all count as the same file.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity &other) const = default;
};

// Empty when nothing is there (or it cannot be looked at).
std::optional<FileIdentity> IdentityOf(const QString &path);
// True when both paths name one existing file.
bool SameFile(const QString &a, const QString &b);
