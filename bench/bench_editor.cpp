// Prints, for the editor driven offscreen through its menus and dialogs on a copy of the
// 1,000,000-card library:
//   editor.open_1m <s> s              - Open... accepted until the grid shows its first
//                                       rows and the count label the total
//   editor.search_key_1m.median <ms> ms - one more letter in the search box until the
//                                       grid, the count of rows and the panel are current
//   editor.search_first_key_1m <ms> ms - the first letter typed, which reads every word
//                                       into the search index
//   editor.sort_word_1m <s> s         - a click on the "Word" title until the sorted grid
//                                       shows
//   editor.sort_definition_1m <s> s   - the same for the "Definition" title, the first
//                                       sort of that column
//   editor.sort_definition_1m.ratio <x> x - that over `sqlite3`'s ORDER BY Definition on
//                                       the same file, in the same run
//   editor.add_1m.median <ms> ms      - Save in the record dialog until grid and count
//                                       show the new card
//   editor.delete_1m.median <ms> ms   - Yes to the delete question until grid and count
//                                       show the card gone
//   editor.page_1m.median <ms> ms     - Page Down in the grid until the next screen of
//                                       rows is painted
//   editor.saveas_1m.ratio <x> x      - saving an untitled library of 1,000,000 cards
//                                       under a name until the editor shows the saved
//                                       library, over `cp` of the same file
//   editor.saveas_1m.copy_ratio <x> x - the save's copy step alone (written beside the
//                                       target, flushed, renamed), over `cp`
#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "bench/BenchLibrary.h"
#include "bench/BenchWorkspace.h"
#include "editor/Tfrm_addlibrary.h"
#include "editor/Tfrm_admin.h"
#include "platform/BesideFiles.h"
#include "store/TTable.h"
#include "store/Tdm.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QElapsedTimer clock_;

// Answers the modal windows that open while `trigger` runs, one answer each, in order.
void Answering(QList<std::function<void(QWidget *)>> answers,
               const std::function<void()> &trigger) {
    QTimer poll;
    QWidget *last = nullptr;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == last || answers.isEmpty())
            return;
        last = modal;
        answers.takeFirst()(modal);
    });
    poll.start();
    trigger();
}

void Answering(std::function<void(QWidget *)> answer, const std::function<void()> &trigger) {
    Answering(QList<std::function<void(QWidget *)>>{std::move(answer)}, trigger);
}

// Accepts a file dialog with a path, the clock starting at the accept.
std::function<void(QWidget *)> Choose(const QString &path) {
    return [path](QWidget *w) {
        w->findChild<QLineEdit *>("fileNameEdit")->setText(path);
        QTimer::singleShot(0, w, [w] {
            clock_.start();
            static_cast<QDialog *>(w)->accept();
        });
    };
}

// The grid painted now, so that the figure includes the painting.
void Painted() {
    frm_admin->grid_library->viewport()->repaint();
    frm_admin->lbWords->repaint();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : (v[v.size() / 2] + v[(v.size() - 1) / 2]) / 2;
}

double Ms() {
    return clock_.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[]) {
    LexomatApplication app(argc, argv);
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    SetStartupDir(work.path());
    WriteBenchBesideFiles();
    const QString library = work.filePath("library/million.mdb");
    if (!QFile::copy(BenchLibraryPath(), library)) {
        std::fprintf(stderr, "cannot copy the benchmark library\n");
        return 1;
    }
    CreateAllWindows();
    frm_admin->show();
    QTest::qWait(20);

    // Open...
    Answering(Choose(library), [] { frm_admin->act_open->trigger(); });
    Painted();
    const double openSeconds = Ms() / 1000;
    const bool opened =
        frm_admin->lbWords->text() == QString("Total Words: %1").arg(BenchLibraryCards);

    // Search: five letters of four words of the library, one key at a time.
    std::vector<double> keys;
    for (int id : {1000, 250000, 500000, 750000}) {
        const QString word = dm->GetRecordByID(id).Word;
        dm->tb_library->Open();
        frm_admin->EditFiltru->clear();
        Painted();
        for (QChar letter : word.left(5)) {
            clock_.start();
            frm_admin->EditFiltru->insert(QString(letter));
            Painted();
            keys.push_back(Ms());
        }
    }
    frm_admin->EditFiltru->clear();
    Painted();

    // Sort by Word.
    QHeaderView *header = frm_admin->grid_library->horizontalHeader();
    clock_.start();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 20, header->height() / 2));
    Painted();
    const double sortSeconds = Ms() / 1000;
    clock_.start();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + 20, header->height() / 2));
    Painted();
    const double sortDefinitionSeconds = Ms() / 1000;
    const bool sortedByDefinition = dm->tb_library->Sort() == QLatin1String("Definition ASC");
    const double sqliteSeconds = SqliteOrderBySeconds(library, "Definition");

    // Page Down.
    std::vector<double> pages;
    frm_admin->grid_library->setFocus();
    for (int i = 0; i < 20; ++i) {
        clock_.start();
        QTest::keyClick(frm_admin->grid_library, Qt::Key_PageDown);
        Painted();
        pages.push_back(Ms());
    }

    // Add through the dialog, then delete the current card with Yes.
    std::vector<double> adds, deletes;
    for (int i = 0; i < 10; ++i) {
        Answering(
            [i](QWidget *w) {
                auto *dialog = static_cast<Tfrm_addlibrary *>(w);
                dialog->EditWord->setText(QString("benchword%1").arg(i));
                dialog->EditDefinition->setPlainText("a card added by the benchmark");
                QTimer::singleShot(0, dialog, [dialog] {
                    clock_.start();
                    dialog->bt_save->click();
                });
            },
            [] { frm_admin->bt_adauga->click(); });
        Painted();
        adds.push_back(Ms());
    }
    const QString countAfterAdds = frm_admin->lbWords->text();
    for (int i = 0; i < 10; ++i) {
        Answering(
            [](QWidget *w) {
                auto *box = qobject_cast<QMessageBox *>(w);
                QTimer::singleShot(0, box, [box] {
                    clock_.start();
                    box->button(QMessageBox::Yes)->click();
                });
            },
            [] { frm_admin->bt_delete->click(); });
        Painted();
        deletes.push_back(Ms());
    }
    const QString countAfterDeletes = frm_admin->lbWords->text();
    frm_admin->FormClose();
    frm_admin->hide();

    // Save an untitled library of a million cards: one left by an earlier run is
    // offered when the editor is shown, and saved under a name.
    const QString stranded = work.filePath("424242.mdb");
    QFile::copy(BenchLibraryPath(), stranded);
    const QString saved = work.filePath("library/saved.mdb");
    double saveMs = -1;
    Answering({[](QWidget *w) {
                   auto *box = qobject_cast<QMessageBox *>(w);
                   QTimer::singleShot(0, box, [box] { box->button(QMessageBox::Yes)->click(); });
               },
               Choose(saved)},
              [] {
                  frm_admin->show();
                  QElapsedTimer wait;
                  wait.start();
                  while (!frm_admin->EditingLibraryFile && wait.elapsed() < 120000)
                      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
              });
    Painted();
    saveMs = Ms();
    const QString copied = work.filePath("copied.mdb");
    QElapsedTimer cp;
    cp.start();
    QProcess::execute("cp", {saved, copied});
    const double cpMs = cp.nsecsElapsed() / 1e6;
    // The copy step alone, the same file again, against cp in the same run.
    QElapsedTimer copyClock;
    copyClock.start();
    Tdm::CopyLibraryFile(saved, work.filePath("copied-again.mdb"));
    const double copyMs = copyClock.nsecsElapsed() / 1e6;
    const bool savedWhole =
        QFileInfo(saved).size() == QFileInfo(BenchLibraryPath()).size() && !QFile::exists(stranded);

    std::printf("editor.open_1m %.3f s\n", openSeconds);
    std::printf("editor.search_key_1m.median %.1f ms\n", Median(keys));
    std::printf("editor.search_first_key_1m %.1f ms\n", keys.empty() ? -1.0 : keys.front());
    std::printf("editor.sort_word_1m %.3f s\n", sortSeconds);
    std::printf("editor.sort_definition_1m %.3f s\n", sortDefinitionSeconds);
    std::printf("editor.sort_definition_1m.ratio %.2f x\n",
                sqliteSeconds > 0 ? sortDefinitionSeconds / sqliteSeconds : -1);
    std::printf("editor.add_1m.median %.1f ms\n", Median(adds));
    std::printf("editor.delete_1m.median %.1f ms\n", Median(deletes));
    std::printf("editor.page_1m.median %.2f ms\n", Median(pages));
    std::printf("editor.saveas_1m.ratio %.2f x\n", cpMs > 0 ? saveMs / cpMs : -1);
    std::printf("editor.saveas_1m.copy_ratio %.2f x\n", cpMs > 0 ? copyMs / cpMs : -1);
    std::fflush(stdout);
    const bool countsRight =
        countAfterAdds == QString("Total Words: %1").arg(BenchLibraryCards + 10) &&
        countAfterDeletes == QString("Total Words: %1").arg(BenchLibraryCards);
    if (!opened || !countsRight || !savedWhole || !sortedByDefinition)
        std::fprintf(stderr, "editor benchmark: opened %d, counts %s / %s, saved whole %d\n",
                     opened, qPrintable(countAfterAdds), qPrintable(countAfterDeletes), savedWhole);
    frm_admin->FormClose();
    DestroyAllWindows();
    return opened && countsRight && savedWhole ? 0 : 1;
}
