// Prints:
//   workbook.hostile.peak_mb MB - the highest peak resident memory of reading any of the
//                                 small hostile workbooks below, at their full sizes
//   workbook.hostile.seconds s  - the longest of those reads
// Each file is opened and its sheet read to the end (or to the reader's refusal) in a
// child process of its own, the median of three runs per file:
//   .ods of 1,000 rows with 1,048,575 spaces in a cell (in column C; in column A)
//   .xlsx with one 1,000,000-character shared string in 300 rows
//   .xls with 65,536 numbers in column IV
//   .xlsx with 200,000 rows of one cell in column XFD
// The files are written by Python's zipfile and Perl's Spreadsheet::WriteExcel first.
#include "formats/WorkbookReader.h"
#include "platform/LexomatError.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Reads a workbook's first sheet to its end; prints the seconds it took.
int readWorkbook(const char *path) {
    const auto start = std::chrono::steady_clock::now();
    qint64 cells = 0;
    try {
        auto reader = OpenWorkbook(QString::fromLocal8Bit(path));
        reader->ReadRows(reader->SheetNames().value(0), [&](int, const QStringList &row) {
            cells += row.size();
            return true;
        });
    } catch (const LexomatError &) {
        // a refusal is an outcome like any other here
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%.6f\n", took.count());
    return 0;
}

struct Measure {
    double megabytes = 0;
    double seconds = 0;
};

// The read in a child of this small process, which adds little to the child's peak.
bool measure(const QString &self, const QString &path, Measure &result) {
    int out[2];
    if (::pipe(out) != 0)
        return false;
    const QByteArray program = self.toLocal8Bit();
    const QByteArray file = path.toLocal8Bit();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], 1);
        ::execl(program.constData(), program.constData(), "--read", file.constData(), nullptr);
        ::_exit(127);
    }
    ::close(out[1]);
    char text[64] = {};
    const ssize_t got = ::read(out[0], text, sizeof text - 1);
    ::close(out[0]);
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    if (got <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    result.megabytes = double(usage.ru_maxrss) / 1024;
    result.seconds = std::atof(text);
    return true;
}

bool makeFiles(const QTemporaryDir &dir, QStringList &files) {
    for (const char *kind :
         {"ods-spaces", "ods-spaces-in-a", "xlsx-long-shared", "xlsx-far-column"}) {
        const QString path = dir.filePath(QString(kind) + "." + QString(kind).section('-', 0, 0));
        if (QProcess::execute("/usr/bin/python3",
                              {QStringLiteral(LEXOMAT_MAKE_HOSTILE), kind, path}) != 0)
            return false;
        files << path;
    }
    QFile cells(dir.filePath("column-iv.cells"));
    if (!cells.open(QIODevice::WriteOnly))
        return false;
    cells.write("sheet\tSheet1\tvisible\n");
    for (int row = 0; row < 65536; ++row)
        cells.write(QByteArray::number(row) + "\t255\tn\t" + QByteArray::number(row) + "\n");
    cells.close();
    const QString xls = dir.filePath("column-iv.xls");
    if (QProcess::execute("/usr/bin/perl", {QStringLiteral(LEXOMAT_WRITE_WORKBOOK), "xls",
                                            cells.fileName(), xls}) != 0)
        return false;
    files << xls;
    return true;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--read")
        return readWorkbook(argv[2]);
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QStringList files;
    if (!makeFiles(dir, files)) {
        std::fprintf(stderr, "bench_workbook_hostile: cannot write the hostile workbooks\n");
        return 1;
    }
    Measure worst;
    for (const QString &file : files) {
        std::vector<double> megabytes, seconds;
        for (int run = 0; run < 3; ++run) {
            Measure one;
            if (!measure(QCoreApplication::applicationFilePath(), file, one)) {
                std::fprintf(stderr, "bench_workbook_hostile: reading %s failed\n",
                             qPrintable(file));
                return 1;
            }
            megabytes.push_back(one.megabytes);
            seconds.push_back(one.seconds);
        }
        std::sort(megabytes.begin(), megabytes.end());
        std::sort(seconds.begin(), seconds.end());
        worst.megabytes = std::max(worst.megabytes, megabytes[1]);
        worst.seconds = std::max(worst.seconds, seconds[1]);
    }
    std::printf("workbook.hostile.peak_mb %.1f MB\n", worst.megabytes);
    std::printf("workbook.hostile.seconds %.3f s\n", worst.seconds);
    return 0;
}
