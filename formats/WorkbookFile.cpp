#include "formats/WorkbookFile.h"
#include "platform/LexomatError.h"

#include <QFileInfo>

namespace {
constexpr qint64 MaxFileBytes = qint64(256) << 20; // with what reading it takes, under 512 MiB
}

std::shared_ptr<const WorkbookFile> WorkbookFile::Map(const QString &path) {
    std::shared_ptr<WorkbookFile> result(new WorkbookFile);
    result->name = path;
    result->file.setFileName(path);
    // A pipe would keep the program waiting for a writer; a folder opens as nothing.
    const QFileInfo info(path);
    if (info.isDir())
        throw LexomatError(QStringLiteral("The file cannot be opened: it is a folder."));
    if (info.exists() && !info.isFile())
        throw LexomatError(
            QStringLiteral("The file cannot be opened: it is not a regular file (a device or pipe)."));
    if (!result->file.open(QIODevice::ReadOnly))
        throw LexomatError(
            QStringLiteral("The file cannot be opened: %1").arg(result->file.errorString()));
    result->length = result->file.size();
    if (result->length == 0)
        throw LexomatError(QStringLiteral("The file is empty."));
    // Read, not mapped: a mapped file that another program shortens, or a stick pulled
    // out, would end the program in the middle of reading it.
    if (result->length > MaxFileBytes)
        throw LexomatError(
            QStringLiteral("The file is larger than %1 MiB.").arg(MaxFileBytes >> 20));
    result->owned = result->file.readAll();
    if (result->owned.size() != result->length)
        throw LexomatError(
            QStringLiteral("The file cannot be read: %1").arg(result->file.errorString()));
    result->bytes = result->owned.constData();
    return result;
}

std::shared_ptr<const WorkbookFile> WorkbookFile::FromBytes(const QByteArray &bytes,
                                                            const QString &fileName) {
    std::shared_ptr<WorkbookFile> result(new WorkbookFile);
    result->owned = bytes;
    result->bytes = result->owned.constData();
    result->length = result->owned.size();
    result->name = fileName;
    return result;
}
