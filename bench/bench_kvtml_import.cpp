// Prints:
//   import.kvtml_all s - open every .kvtml file of the kdeedu-kvtml-data package (366
//                        files in 36 languages) one after another through the workbook
//                        reader and read every row of every sheet
#include "formats/WorkbookReader.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <algorithm>
#include <chrono>
#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QString folder = QStringLiteral("/usr/share/apps/kvtml");
    QStringList files;
    QDirIterator it(folder, {QStringLiteral("*.kvtml")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    std::sort(files.begin(), files.end());
    if (files.isEmpty()) {
        std::fprintf(stderr,
                     "bench_kvtml_import: no .kvtml files in %s (install "
                     "kdeedu-kvtml-data)\n",
                     qPrintable(folder));
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    qint64 rows = 0;
    for (const QString &file : files) {
        try {
            auto reader = OpenWorkbook(file);
            for (const QString &sheet : reader->SheetNames())
                reader->ReadRows(sheet, [&](int, const QStringList &) {
                    ++rows;
                    return true;
                });
        } catch (const std::exception &e) {
            std::fprintf(stderr, "bench_kvtml_import: %s: %s\n", qPrintable(file), e.what());
            return 1;
        }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (rows < 13829) {
        std::fprintf(stderr, "bench_kvtml_import: only %lld rows\n", static_cast<long long>(rows));
        return 1;
    }
    std::printf("import.kvtml_all %.3f s\n", took.count());
    return 0;
}
