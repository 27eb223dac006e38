// Prints:
//   workbook.read_xlsx_100k s          - open a 100,000-row .xlsx with shared strings
//                                        and read every row of its sheet
//   workbook.read_xlsx_100k.peak_mb MB - the process's peak resident memory after it
// The workbook is written by libxlsxwriter in a child process first, so that the
// writer's memory does not count.
#include "bench/PeakMemory.h"
#include "bench/WorkbookCells.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <xlsxwriter.h>

namespace {
constexpr int Rows = 100'000;

int writeWorkbook(const char *path) {
    lxw_workbook *workbook = workbook_new(path);
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, "Words");
    worksheet_write_string(sheet, 0, 0, "Word", nullptr);
    worksheet_write_string(sheet, 0, 1, "Definition", nullptr);
    char word[64];
    char definition[160];
    for (int row = 1; row <= Rows; ++row) {
        std::snprintf(word, sizeof word, "word%d", row);
        std::snprintf(definition, sizeof definition,
                      "the definition of word number %d, long enough to be a sentence", row);
        worksheet_write_string(sheet, lxw_row_t(row), 0, word, nullptr);
        worksheet_write_string(sheet, lxw_row_t(row), 1, definition, nullptr);
    }
    return workbook_close(workbook) == LXW_NO_ERROR ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--write")
        return writeWorkbook(argv[2]);
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("words.xlsx"));
    if (QProcess::execute(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--write"), path}) != 0) {
        std::fprintf(stderr, "bench_workbook_read: cannot write %s\n", qPrintable(path));
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const qint64 cells = ReadEveryCell(path);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (cells != 2 * (Rows + 1)) {
        std::fprintf(stderr, "bench_workbook_read: read %lld cells\n",
                     static_cast<long long>(cells));
        return 1;
    }
    std::printf("workbook.read_xlsx_100k %.3f s\n", took.count());
    std::printf("workbook.read_xlsx_100k.peak_mb %.1f MB\n", PeakMegabytes());
    return 0;
}
