#pragma once

#include "tests/support/ModalAnswerer.h"
#include "tests/support/TestLibrary.h"
#include "tests/support/TestWorkspace.h"
#include <QMessageBox>
#include <QString>
#include <functional>
#include <memory>

class QAction;
class QProcess;
class QMenu;
class QWidget;

// What the editor's tests share: a working folder with the data module, the record
// dialog and the editor shown; the boxes and dialogs answered as a user does; and the
// library files read back through a connection of their own.
namespace EditorTest {

class Session {
public:
    Session();
    ~Session();
    QString library(const QString &name) const; // path in the library folder
    QString folder() const;                     // the start-up folder
    TestWorkspace &workspace() { return *ws; }

private:
    std::unique_ptr<TestWorkspace> ws;
};

// Cards of a library file in ID order, read with plain SQLite.
QList<TestCard> Cards(const QString &path);
QStringList Words(const QString &path);
// Temporary libraries ("<digits>.mdb") in a folder.
QStringList TempLibraries(const QString &folder);

// Answers for ModalAnswerer::act: a standard box answered with one of its buttons
// (its text is kept in *text when given); the record dialog typed into and saved or
// cancelled.
std::function<void(QWidget *)> Press(QMessageBox::StandardButton button, QString *text = nullptr);
std::function<void(QWidget *)> TypeCard(const QString &word, const QString &importance,
                                        const QString &definition, bool save = true);
std::function<void(QWidget *)> Cancel();
// The file dialog given a path and accepted once the answer has returned, so that a
// question it asks (replace the file?) can be answered next.
std::function<void(QWidget *)> ChooseFile(const QString &path);

// A second running copy of the program holding a library: an untitled one it made (the
// random generator seeded with `seed`) with `cards` cards, or one it studies. crash()
// kills it as a pulled plug would; it is killed when the object goes, too.
class SecondCopy {
public:
    static std::unique_ptr<SecondCopy> Untitled(const QString &folder, quint64 seed, int cards);
    static std::unique_ptr<SecondCopy> Study(const QString &library);
    ~SecondCopy();
    QString path() const { return held; } // empty when it did not start
    qint64 pid() const;
    void crash();

private:
    explicit SecondCopy(const QStringList &arguments);
    std::unique_ptr<QProcess> process;
    QString held;
};

// The editor's menus, clicked as a user does.
void ClickMenuItem(QMenu *menu, QAction *action);
// Rows the editor's grid shows, as texts of one column ("Word", "Importance", ...).
QStringList GridColumn(const QString &title);
// A click on the grid's column title, and on a row of the grid.
void ClickGridTitle(const QString &title);
void SelectGridRow(int row);

} // namespace EditorTest
