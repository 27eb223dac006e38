// Prints:
//   import.kvtml_all s - open every .kvtml file of the kdeedu-kvtml-data package (366
//                        files in 36 languages) one after another through the workbook
//                        reader and read every row of every sheet
//   import.kvtml_crafted_lessons s  - open two crafted files whose lessons multiply
//                        work: 10,000 lessons of one name, and a KVTML 1 file whose
//                        10,000 lessons of one number name 100,000 entries (goal <= 1)
//   import.kvtml_crafted_lessons_peak MB - the most memory held meanwhile (goal <= 300)
#include "bench/PeakMemory.h"
#include "formats/WorkbookFile.h"
#include "formats/WorkbookReader.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {
QByteArray SameNameLessons() {
    QByteArray bytes = "<kvtml version=\"2.0\"><entries><entry id=\"0\"><translation id=\"0\">"
                       "<text>w</text></translation><translation id=\"1\"><text>d</text>"
                       "</translation></entry></entries><lessons>";
    bytes +=
        QByteArray("<container><name>Lesson</name><entry id=\"0\"/></container>").repeated(10000);
    return bytes + "</lessons></kvtml>";
}

QByteArray SameNumberLessons() {
    QByteArray bytes = "<kvtml><lesson>";
    bytes += QByteArray("<desc no=\"1\">Lesson</desc>").repeated(10000);
    bytes += "</lesson>";
    for (int i = 0; i < 100000; ++i)
        bytes += "<e m=\"1\"><o>word" + QByteArray::number(i) + "</o><t>definition</t></e>";
    return bytes + "</kvtml>";
}

// Opens the file and counts the rows of its last sheet; -1 when it is refused.
qint64 LastSheetRows(const QByteArray &bytes) {
    try {
        auto reader = OpenWorkbookFile(WorkbookFile::FromBytes(bytes, "crafted.kvtml"));
        qint64 rows = 0;
        reader->ReadRows(reader->SheetNames().last(), [&](int, const QStringList &) {
            ++rows;
            return true;
        });
        return rows;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_kvtml_import: crafted file: %s\n", e.what());
        return -1;
    }
}
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    {
        const QByteArray sameName = SameNameLessons(), sameNumber = SameNumberLessons();
        const auto start = std::chrono::steady_clock::now();
        if (LastSheetRows(sameName) != 1 || LastSheetRows(sameNumber) != 100000)
            return 1;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("import.kvtml_crafted_lessons %.3f s\n", took.count());
        std::printf("import.kvtml_crafted_lessons_peak %.0f MB\n", PeakMegabytes());
    }
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
