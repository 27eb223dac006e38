// Prints:
//   convert.jet_5000 <s> s - lib_5000.mdb (5,000 cards, a 20,000-character definition)
//                            converted into a new library file until the copy is open
//                            in the data module; the median of five runs
#include "formats/JetReaderProcess.h"
#include "store/LegacyLibraryConverter.h"
#include "store/Tdm.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    JetReaderProcess::SetProgram(QStringLiteral(LEXOMAT_EXE));
    const QString original = QStringLiteral(LEXOMAT_JET4_DIR "/lib_5000.mdb");
    if (!QFileInfo::exists(original)) {
        std::fprintf(stderr, "bench_convert: %s is missing\n", qPrintable(original));
        return 1;
    }
    std::vector<double> seconds;
    try {
        for (int run = 0; run < 5; ++run) {
            QTemporaryDir dir;
            const QString copy = dir.filePath(QStringLiteral("lib_5000 (Lexomat).mdb"));
            const auto start = std::chrono::steady_clock::now();
            const ConversionResult result = LegacyLibraryConverter::Convert(original, copy);
            Tdm data;
            data.SetDatabasePath(copy);
            data.OpenDatabase();
            seconds.push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            if (result.converted != 5000)
                std::fprintf(stderr, "bench_convert: %d cards converted\n", result.converted);
        }
    } catch (const LexomatError &error) {
        std::fprintf(stderr, "bench_convert: %s\n", qPrintable(error.message()));
        return 1;
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("convert.jet_5000 %.3f s\n", seconds[seconds.size() / 2]);
    return 0;
}
