// Prints:
//   viewer.open_500k <s> s  - a click on a box counter whose box holds 500,000 of
//                             1,000,000 cards, until the viewer's grid has painted
//   viewer.sort_500k <s> s  - a click on the viewer's "Word" title, until the grid has
//                             painted the re-sorted rows
//   viewer.sort_definition_1m <s> s - then a click on its "Definition" title, the first
//                             sort of that column of the 1,000,000-card library
// Runs the program's own main window on a copy of the benchmark library in which
// every even ID stands in "Box 2".
#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "app/TForm1.h"
#include "bench/BenchLibrary.h"
#include "bench/BenchWorkspace.h"
#include "dialogs/Tfrm_showpackage.h"
#include "platform/BesideFiles.h"
#include "store/TTable.h"
#include "store/Tdm.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <sqlite3.h>

namespace {

bool makeHalfInBox2(const QString &copy) {
    if (!QFile::copy(BenchLibraryPath(), copy))
        return false;
    sqlite3 *db = nullptr;
    sqlite3_open_v2(copy.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const int rc = sqlite3_exec(db,
                                "UPDATE Library SET ImportanceField ="
                                " CASE WHEN ID % 2 = 0 THEN 1 ELSE 3 END",
                                nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_OK;
}

// Tells when the watched widget has finished a paint: the zero timer posted from the
// paint event runs only after the paint has been handled.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget *widget) { widget->installEventFilter(this); }
    bool painted = false;
    void reset() { painted = false; }

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, this, [this] { painted = true; });
        return false;
    }
};

bool waitUntil(const bool &flag) {
    QElapsedTimer limit;
    limit.start();
    while (!flag && limit.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return flag;
}

} // namespace

int main(int argc, char *argv[]) {
    LexomatApplication app(argc, argv);
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    WriteBenchBesideFiles();
    const QString library = work.filePath("library/half-in-box2.mdb");
    if (!makeHalfInBox2(library)) {
        std::fprintf(stderr, "cannot prepare %s\n", qPrintable(library));
        return 1;
    }

    CreateAllWindows();
    Form1->show();
    if (!Form1->OpenLibrary(library)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(library));
        return 1;
    }
    QCoreApplication::processEvents();

    PaintWatch grid(frm_showpackage->DBGrid1->viewport());
    double openSeconds = -1, sortSeconds = -1, definitionSeconds = -1;
    int rows = 0;
    QElapsedTimer clock;
    // Runs inside the viewer's modal loop once its grid has painted.
    QTimer inside;
    inside.setInterval(1);
    QObject::connect(&inside, &QTimer::timeout, [&] {
        if (!grid.painted || !frm_showpackage->isVisible())
            return;
        inside.stop();
        openSeconds = clock.nsecsElapsed() / 1e9;
        rows = dm->tb_library->RecordCount();

        QHeaderView *header = frm_showpackage->DBGrid1->horizontalHeader();
        auto clickTitle = [&](const QString &title) {
            int section = 0;
            while (header->model()->headerData(section, Qt::Horizontal).toString() != title)
                ++section;
            grid.reset();
            clock.restart();
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, {},
                QPoint(header->sectionViewportPosition(section) + 20, header->height() / 2));
            return waitUntil(grid.painted) ? clock.nsecsElapsed() / 1e9 : -1;
        };
        sortSeconds = clickTitle("Word");
        definitionSeconds = clickTitle("Definition");
        if (dm->tb_library->Sort() != QLatin1String("Definition ASC"))
            definitionSeconds = -1;
        frm_showpackage->close();
    });

    grid.reset();
    inside.start();
    clock.start();
    QTest::mouseClick(Form1->lbKnows1, Qt::LeftButton); // returns when the viewer closes
    inside.stop();

    if (rows != 500000)
        std::fprintf(stderr, "the viewer showed %d rows, not 500000\n", rows);
    std::printf("viewer.open_500k %.3f s\n", openSeconds);
    std::printf("viewer.sort_500k %.3f s\n", sortSeconds);
    std::printf("viewer.sort_definition_1m %.3f s\n", definitionSeconds);
    std::fflush(stdout);
    DestroyAllWindows();
    return openSeconds >= 0 && sortSeconds >= 0 && definitionSeconds >= 0 && rows == 500000 ? 0 : 1;
}
