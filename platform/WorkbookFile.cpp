#include "platform/WorkbookFile.h"
#include "platform/LexomatError.h"

#include <QFileInfo>

std::shared_ptr<const WorkbookFile> WorkbookFile::Map(const QString &path) {
    std::shared_ptr<WorkbookFile> result(new WorkbookFile);
    result->name = path;
    result->file.setFileName(path);
    if (QFileInfo(path).isDir() || !result->file.open(QIODevice::ReadOnly))
        throw LexomatError(
            QStringLiteral("The file cannot be opened: %1").arg(result->file.errorString()));
    result->length = result->file.size();
    if (result->length == 0)
        throw LexomatError(QStringLiteral("The file is empty."));
    const uchar *mapped = result->file.map(0, result->length);
    if (mapped) {
        result->bytes = reinterpret_cast<const char *>(mapped);
    } else {
        // Some file systems cannot map; read it instead.
        result->owned = result->file.readAll();
        if (result->owned.size() != result->length)
            throw LexomatError(
                QStringLiteral("The file cannot be read: %1").arg(result->file.errorString()));
        result->bytes = result->owned.constData();
    }
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
