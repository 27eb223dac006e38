#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

class WorkbookReader;

// The bytes of a workbook: a file read into memory (at most 256 MiB), or bytes
// already in memory (tests, fuzzing).
class WorkbookFile {
public:
    // Throws LexomatError when the file cannot be opened or read, is empty or too large.
    static std::shared_ptr<const WorkbookFile> Map(const QString &path);
    static std::shared_ptr<const WorkbookFile> FromBytes(const QByteArray &bytes,
                                                         const QString &fileName);

    const char *data() const { return bytes; }
    qint64 size() const { return length; }
    // The path or name given: the .csv reader names its sheet after it.
    const QString &fileName() const { return name; }

private:
    WorkbookFile() = default;
    QFile file;
    QByteArray owned;
    const char *bytes = nullptr;
    qint64 length = 0;
    QString name;
};

// Chooses the reader for bytes already mapped or in memory, as OpenWorkbook does.
std::unique_ptr<WorkbookReader> OpenWorkbookFile(std::shared_ptr<const WorkbookFile> file);
