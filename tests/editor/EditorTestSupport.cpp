#include "tests/editor/EditorTestSupport.h"

#include "editor/Tfrm_addlibrary.h"
#include "editor/Tfrm_admin.h"
#include "editor/Tfrm_sheet.h"
#include "platform/BesideFiles.h"
#include "store/Tdm.h"
#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <sqlite3.h>

namespace EditorTest {

Session::Session() : ws(std::make_unique<TestWorkspace>(false)) {
    SetStartupDir(ws->path());
    dm = new Tdm;
    frm_addlibrary = new Tfrm_addlibrary;
    frm_admin = new Tfrm_admin;
    frm_sheet = new Tfrm_sheet;
    frm_admin->show();
    if (!QTest::qWaitForWindowActive(frm_admin))
        qWarning("editor did not become active");
    QTest::qWait(20); // lets the check for earlier untitled libraries run
}

Session::~Session() {
    // Leaves without the closing question; the folder goes with everything in it.
    frm_admin->EditingTempLibrary = false;
    frm_admin->close();
    delete frm_sheet;
    frm_sheet = nullptr;
    delete frm_admin;
    frm_admin = nullptr;
    delete frm_addlibrary;
    frm_addlibrary = nullptr;
    delete dm;
    dm = nullptr;
    ws.reset();
}

QString Session::library(const QString &name) const {
    return ws->file("library/" + name);
}

QString Session::folder() const {
    return ws->path();
}

SecondCopy::SecondCopy(const QStringList &arguments) : process(std::make_unique<QProcess>()) {
    process->start(QStringLiteral(LEXOMAT_SECOND_COPY), arguments);
    if (!process->waitForStarted(10000))
        return;
    QByteArray said;
    while (!said.contains('\n') && process->waitForReadyRead(20000))
        said += process->readAllStandardOutput();
    if (said.startsWith("ready "))
        held = QString::fromUtf8(said.mid(6).trimmed());
    else
        qWarning("second copy: %s", process->readAllStandardError().constData());
}

std::unique_ptr<SecondCopy> SecondCopy::Untitled(const QString &folder, quint64 seed, int cards) {
    return std::unique_ptr<SecondCopy>(
        new SecondCopy({"untitled", folder, QString::number(seed), QString::number(cards)}));
}

std::unique_ptr<SecondCopy> SecondCopy::Study(const QString &library) {
    return std::unique_ptr<SecondCopy>(new SecondCopy({"study", library}));
}

qint64 SecondCopy::pid() const {
    return process->processId();
}

SecondCopy::~SecondCopy() {
    crash();
}

void SecondCopy::crash() {
    if (process->state() == QProcess::NotRunning)
        return;
    process->kill();
    process->waitForFinished(10000);
}

QList<TestCard> Cards(const QString &path) {
    QList<TestCard> cards;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return cards;
    }
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT Word, Definition, ImportanceField FROM Library ORDER BY ID",
                           -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
            cards.append(
                {QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))),
                 QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1))),
                 sqlite3_column_int(st, 2)});
    sqlite3_finalize(st);
    sqlite3_close(db);
    return cards;
}

QStringList Words(const QString &path) {
    QStringList words;
    for (const TestCard &card : Cards(path))
        words << card.word;
    return words;
}

QStringList TempLibraries(const QString &folder) {
    QStringList found;
    for (const QString &name : QDir(folder).entryList({"*.mdb"}, QDir::Files, QDir::Name))
        if (QRegularExpression("^[0-9]+\\.mdb$").match(name).hasMatch())
            found << QDir(folder).filePath(name);
    return found;
}

std::function<void(QWidget *)> Press(QMessageBox::StandardButton button, QString *text) {
    return [button, text](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (!box) {
            qWarning("expected a message box, got %s", w->metaObject()->className());
            w->close();
            return;
        }
        if (text)
            *text = box->text();
        if (QAbstractButton *b = box->button(button))
            QTest::mouseClick(b, Qt::LeftButton);
        else
            qWarning("the box has no such button");
    };
}

std::function<void(QWidget *)> TypeCard(const QString &word, const QString &importance,
                                        const QString &definition, bool save) {
    return [=](QWidget *w) {
        auto *dialog = qobject_cast<Tfrm_addlibrary *>(w);
        if (!dialog) {
            qWarning("expected the record dialog, got %s", w->metaObject()->className());
            w->close();
            return;
        }
        dialog->EditWord->selectAll();
        QTest::keyClicks(dialog->EditWord, word);
        if (word.isEmpty())
            QTest::keyClick(dialog->EditWord, Qt::Key_Delete);
        dialog->EditImportance->selectAll();
        QTest::keyClick(dialog->EditImportance, Qt::Key_Delete);
        QTest::keyClicks(dialog->EditImportance, importance);
        dialog->EditDefinition->selectAll();
        QTest::keyClick(dialog->EditDefinition, Qt::Key_Delete);
        QTest::keyClicks(dialog->EditDefinition, definition);
        // Clicked once this answer has returned: Save may bring up a box of its own.
        QPushButton *button = save ? dialog->bt_save : dialog->bt_cancel;
        QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
    };
}

std::function<void(QWidget *)> Cancel() {
    return [](QWidget *w) {
        if (auto *dialog = qobject_cast<Tfrm_addlibrary *>(w))
            QTest::mouseClick(dialog->bt_cancel, Qt::LeftButton);
        else
            w->close();
    };
}

std::function<void(QWidget *)> ChooseFile(const QString &path) {
    return [path](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        auto *edit = w->findChild<QLineEdit *>("fileNameEdit");
        if (!dialog || !edit) {
            qWarning("expected a non-native file dialog");
            w->close();
            return;
        }
        edit->setText(path);
        QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog *>(dialog)->accept(); });
    };
}

void ClickMenuItem(QMenu *menu, QAction *action) {
    QMenuBar *bar = frm_admin->MainMenu1;
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000))
        qWarning("menu %s did not open", qPrintable(menu->objectName()));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

QStringList GridColumn(const QString &title) {
    QAbstractItemModel *m = frm_admin->grid_library->model();
    QStringList texts;
    if (!m)
        return texts;
    int column = -1;
    for (int c = 0; c < m->columnCount(); ++c)
        if (m->headerData(c, Qt::Horizontal).toString() == title)
            column = c;
    for (int row = 0; row < m->rowCount(); ++row)
        texts << m->index(row, column).data().toString();
    return texts;
}

void ClickGridTitle(const QString &title) {
    QHeaderView *header = frm_admin->grid_library->horizontalHeader();
    QAbstractItemModel *m = frm_admin->grid_library->model();
    int section = 0;
    while (section < m->columnCount() && m->headerData(section, Qt::Horizontal) != title)
        ++section;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + 10, header->height() / 2));
}

void SelectGridRow(int row) {
    QTableView *grid = frm_admin->grid_library;
    grid->setFocus();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(row, 0)).center());
}

} // namespace EditorTest
