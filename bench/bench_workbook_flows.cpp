// Prints:
//   export.xls_65k s               - 65,535 cards to .xls through the export class
//   export.xlsx_1m s               - 1,000,000 cards to .xlsx through the export class
//   import.xls_65k s               - a 65,535-row .xls into an empty library, through the
//                                    import class with its dialogs answered
//   import.xlsx_100k s             - a 100,000-row .xlsx with shared strings into a copy of
//                                    the 1,000,000-card library, until the message shows
//   import.xlsx_100k.xlsx2csv s    - xlsx2csv converting the same file
//   import.xlsx_100k.ratio x       - the second over the first
//   import.xlsx_100k.read s        - the program's .xlsx reader alone reading every row of
//                                    the same file
//   import.xlsx_100k.read_ratio x  - xlsx2csv over the reader alone (goal 5)
//   import.xlsx_100k.peak_mb MB    - peak resident memory of the process that imported
// Workbooks come from independent writers (libxlsxwriter, Perl's
// Spreadsheet::WriteExcel); every measurement runs in a child process of its own,
// so that peak memory belongs to that measurement alone.
#include "bench/BenchLibrary.h"
#include "bench/BenchWorkspace.h"
#include "bench/PeakMemory.h"
#include "bench/WorkbookCells.h"
#include "editor/Tfrm_sheet.h"
#include "editor/WorkbookExport.h"
#include "editor/WorkbookImport.h"
#include "store/Tdm.h"
#include "widgets/TBitBtnWithColor.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sqlite3.h>
#include <xlsxwriter.h>

namespace {
constexpr int XlsRows = 65'535;
constexpr int XlsxRows = 100'000;

int WriteXlsx(const QString &path) {
    lxw_workbook *workbook = workbook_new(path.toUtf8().constData());
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, "Words");
    worksheet_write_string(sheet, 0, 0, "Word", nullptr);
    worksheet_write_string(sheet, 0, 1, "Definition", nullptr);
    for (int row = 1; row <= XlsxRows; ++row) {
        const QByteArray word = QString("imported%1").arg(row).toUtf8();
        const QByteArray definition =
            QString("the definition of imported word number %1, long enough for a sentence")
                .arg(row)
                .toUtf8();
        worksheet_write_string(sheet, lxw_row_t(row), 0, word.constData(), nullptr);
        worksheet_write_string(sheet, lxw_row_t(row), 1, definition.constData(), nullptr);
    }
    return workbook_close(workbook) == LXW_NO_ERROR ? 0 : 1;
}

int WriteXls(const QString &path) {
    return QProcess::execute(
        "/usr/bin/perl",
        {"-MSpreadsheet::WriteExcel", "-e",
         QString("my $b = Spreadsheet::WriteExcel->new($ARGV[0]) or die; "
                 "my $s = $b->add_worksheet('Words'); $s->write_string(0, 0, 'Word'); "
                 "$s->write_string(0, 1, 'Definition'); for my $r (1 .. %1) { "
                 "$s->write_string($r, 0, \"word$r\"); "
                 "$s->write_string($r, 1, \"the definition of word $r, a sentence\"); } "
                 "$b->close();")
             .arg(XlsRows),
         path});
}

int MakeLibrary(const QString &path, int cards) {
    Tdm::CreateLibraryFile(path);
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Library (Word, ImportanceField, Definition) VALUES (?,0,?)",
                       -1, &st, nullptr);
    for (int i = 1; i <= cards; ++i) {
        const QByteArray word = QString("word%1").arg(i).toUtf8();
        const QByteArray definition =
            QString("the definition of word %1,\nwith a second line").arg(i).toUtf8();
        sqlite3_bind_text(st, 1, word.constData(), int(word.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, definition.constData(), int(definition.size()), SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    const int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_OK ? 0 : 1;
}

// Answers the import's windows as a user would: the file, the sheet, OK on the
// message; notes when the message shows.
class Answerer : public QObject {
public:
    Answerer(QString file, QElapsedTimer *clock) : file(std::move(file)), clock(clock) {
        qApp->installEventFilter(this);
        timer.setInterval(5);
        connect(&timer, &QTimer::timeout, this, &Answerer::Poll);
        timer.start();
    }
    qint64 shownAt = -1;
    QString message;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show && shownAt < 0 && qobject_cast<QMessageBox *>(watched))
            shownAt = clock->elapsed();
        return false;
    }

private:
    void Poll() {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == last)
            return;
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            last = modal;
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText(file);
            QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog *>(dialog)->accept(); });
        } else if (auto *chooser = qobject_cast<Tfrm_sheet *>(modal)) {
            last = modal;
            chooser->BitBtnWithColor1->click();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            last = modal;
            message = box->text();
            QTimer::singleShot(0, box, [box] { box->accept(); });
        }
    }
    QString file;
    QElapsedTimer *clock;
    QTimer timer;
    QWidget *last = nullptr;
};

// One measurement in this process: prints "seconds peak_mb".
int Measure(const QString &what, const QString &library, const QString &workbook) {
    if (what == "read") {
        QElapsedTimer clock;
        clock.start();
        const qint64 cells = ReadEveryCell(workbook);
        const double seconds = clock.nsecsElapsed() / 1e9;
        if (cells != 2 * (XlsxRows + 1))
            return 1;
        std::printf("%.3f %.1f\n", seconds, PeakMegabytes());
        return 0;
    }
    // The beside-files go into the benchmark's own folder, never where it was started.
    QDir::setCurrent(QFileInfo(library).absolutePath());
    WriteBenchBesideFiles();
    Tdm module;
    module.SetDatabasePath(library);
    module.OpenDatabase();
    QWidget editor;
    editor.resize(792, 554);
    editor.show();
    Tfrm_sheet chooser;
    QElapsedTimer clock;
    double seconds = -1;
    if (what == "import") {
        Answerer answer(workbook, &clock);
        WorkbookImport import(&editor, &module, &chooser);
        clock.start();
        import.Execute();
        seconds = answer.shownAt / 1000.0;
        if (import.LastOutcome().added == 0)
            std::fprintf(stderr, "import added nothing: %s\n", qPrintable(answer.message));
    } else {
        WorkbookExport exporter(&editor, &module);
        clock.start();
        if (!exporter.FileSaveAs2Accept(workbook))
            return 1;
        seconds = clock.elapsed() / 1000.0;
    }
    std::printf("%.3f %.1f\n", seconds, PeakMegabytes());
    return 0;
}

// Runs one measurement in a child process; false when it failed.
bool Child(const QStringList &arguments, double *seconds, double *peak = nullptr) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return false;
    const QList<QByteArray> values = child.readAllStandardOutput().trimmed().split(' ');
    *seconds = values.value(0).toDouble();
    if (peak)
        *peak = values.value(1).toDouble();
    return *seconds >= 0;
}

void Print(const char *name, double value, const char *unit) {
    std::printf("%s %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char *argv[]) {
    if (argc == 3 && QByteArray(argv[1]) == "--write-xlsx")
        return WriteXlsx(QString::fromLocal8Bit(argv[2]));
    if (argc == 5 && QByteArray(argv[1]) == "--measure") {
        QApplication app(argc, argv);
        return Measure(argv[2], QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]));
    }
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString small = dir.filePath("small.mdb"), empty = dir.filePath("empty.mdb");
    const QString big = dir.filePath("big.mdb"), xls = dir.filePath("words.xls");
    const QString xlsx = dir.filePath("words.xlsx");
    if (MakeLibrary(small, XlsRows) != 0 || MakeLibrary(empty, 0) != 0 || WriteXls(xls) != 0 ||
        QProcess::execute(QCoreApplication::applicationFilePath(), {"--write-xlsx", xlsx}) != 0 ||
        !QFile::copy(BenchLibraryPath(), big)) {
        std::fprintf(stderr, "bench_workbook_flows: cannot prepare the inputs\n");
        return 1;
    }
    int status = 0;
    double seconds = 0, peak = 0;
    if (Child({"--measure", "export", small, dir.filePath("out.xls")}, &seconds))
        Print("export.xls_65k", seconds, "s");
    else
        status = 1;
    if (Child({"--measure", "export", BenchLibraryPath(), dir.filePath("out.xlsx")}, &seconds))
        Print("export.xlsx_1m", seconds, "s");
    else
        status = 1;
    if (Child({"--measure", "import", empty, xls}, &seconds))
        Print("import.xls_65k", seconds, "s");
    else
        status = 1;
    if (Child({"--measure", "import", big, xlsx}, &seconds, &peak)) {
        Print("import.xlsx_100k", seconds, "s");
        QElapsedTimer clock;
        clock.start();
        QProcess converter;
        converter.setStandardOutputFile(dir.filePath("words.csv"));
        converter.start("xlsx2csv", {xlsx});
        if (converter.waitForFinished(-1) && converter.exitCode() == 0) {
            const double other = clock.elapsed() / 1000.0;
            Print("import.xlsx_100k.xlsx2csv", other, "s");
            Print("import.xlsx_100k.ratio", other / seconds, "x");
            double read = 0;
            if (Child({"--measure", "read", big, xlsx}, &read) && read > 0) {
                Print("import.xlsx_100k.read", read, "s");
                Print("import.xlsx_100k.read_ratio", other / read, "x");
            } else {
                status = 1;
            }
        } else {
            status = 1;
        }
        Print("import.xlsx_100k.peak_mb", peak, "MB");
    } else {
        status = 1;
    }
    return status;
}
