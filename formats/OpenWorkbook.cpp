#include "formats/CsvWorkbookReader.h"
#include "formats/KvtmlWorkbookReader.h"
#include "formats/NoteExportReader.h"
#include "formats/OdsWorkbookReader.h"
#include "formats/WorkbookFile.h"
#include "formats/WorkbookReader.h"
#include "formats/XlsWorkbookReader.h"
#include "formats/XlsxWorkbookReader.h"
#include "formats/ZipArchive.h"
#include "platform/LexomatError.h"

std::unique_ptr<WorkbookReader> OpenWorkbookFile(std::shared_ptr<const WorkbookFile> file) {
    if (XlsWorkbookReader::IsCompoundFile(*file))
        return std::make_unique<XlsWorkbookReader>(file);
    if (ZipArchive::LooksLikeZip(*file)) {
        ZipArchive probe(file);
        if (XlsxWorkbookReader::IsPackage(probe))
            return std::make_unique<XlsxWorkbookReader>(file);
        if (OdsWorkbookReader::IsSpreadsheet(probe))
            return std::make_unique<OdsWorkbookReader>(file);
        throw LexomatError(QStringLiteral("The zip archive holds no workbook."));
    }
    if (KvtmlWorkbookReader::IsKvtml(*file))
        return std::make_unique<KvtmlWorkbookReader>(file);
    if (NoteExportReader::IsNoteExport(*file))
        return std::make_unique<NoteExportReader>(file);
    if (CsvWorkbookReader::HasTextExtension(file->fileName()))
        return std::make_unique<CsvWorkbookReader>(file);
    throw LexomatError(QStringLiteral("The file is not a workbook that Lexomat can read."));
}

std::unique_ptr<WorkbookReader> OpenWorkbook(const QString &path) {
    return OpenWorkbookFile(WorkbookFile::Map(path));
}
