#include "platform/FileIdentity.h"

#include <QFile>
#include <sys/stat.h>

std::optional<FileIdentity> IdentityOf(const QString &path) {
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino};
}

bool SameFile(const QString &a, const QString &b) {
    const std::optional<FileIdentity> first = IdentityOf(a);
    return first && first == IdentityOf(b);
}
