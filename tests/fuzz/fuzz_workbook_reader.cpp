// One libFuzzer target per workbook reader (chosen by LEXOMAT_FUZZ_READER): the
// bytes are read as that kind of workbook, every sheet to its end. Refusals are
// expected; crashes, leaks and undefined behaviour are what the fuzzer looks for.
// With LEXOMAT_FUZZ_STRUCTURED the zip-based readers get mutations that reach the
// XML inside the package (see ZipPartMutator).
#include "formats/CsvWorkbookReader.h"
#include "formats/OdsWorkbookReader.h"
#include "formats/WorkbookFile.h"
#include "formats/XlsWorkbookReader.h"
#include "formats/XlsxWorkbookReader.h"
#include "platform/LexomatError.h"
#ifdef LEXOMAT_FUZZ_STRUCTURED
#include "tests/fuzz/ZipPartMutator.h"
#endif

#include <glib.h>

#include <cstddef>
#include <cstdint>

namespace {
void quiet(const gchar *, GLogLevelFlags, const gchar *, gpointer) {}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // libgsf reports damaged containers through GLib's log as well as its errors.
    g_log_set_default_handler(quiet, nullptr);
    return 0;
}

#ifdef LEXOMAT_FUZZ_STRUCTURED
extern "C" size_t LLVMFuzzerCustomMutator(uint8_t *data, size_t size, size_t maxSize,
                                          unsigned int seed) {
    return ZipPartMutator::Mutate(data, size, maxSize, seed);
}
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const auto file =
        WorkbookFile::FromBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)),
                                QStringLiteral("fuzz.csv"));
    try {
        LEXOMAT_FUZZ_READER reader(file);
        for (const QString &sheet : reader.SheetNames()) {
            qint64 cells = 0;
            reader.ReadRows(sheet, [&](int, const QStringList &row) {
                cells += row.size();
                return true;
            });
        }
    } catch (const LexomatError &) {
    }
    return 0;
}
