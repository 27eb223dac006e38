#pragma once

#include "tests/support/TestWorkspace.h"
#include <QString>
#include <memory>

class QAction;
class QMenu;

// What the main window's tests share: beside-files of our own, a fresh set of
// windows per test, and menu driving as a learner does it.
namespace AppTest {
// The message box's buttons, by the answer they give.
inline const QString Yes = QStringLiteral("Left_BitBtnWithColor");
inline const QString No = QStringLiteral("Center_BitBtnWithColor");
inline const QString Cancel = QStringLiteral("Right_BitBtnWithColor");
inline const QString Ok = QStringLiteral("Left_BitBtnWithColor");

inline const QString Title = QStringLiteral("Lexomat Study Title");
inline const QString LinkCaption = QStringLiteral("Visit the study site");
inline const QString SiteLink = QStringLiteral("study.example.org/lexomat");

// elements/logo.bmp, elements/main.txt, elements/about.txt and wrong.au in the
// current folder; either of the first two can be left out.
void WriteBesideFiles(bool withLogo = true, bool withMain = true);

// A working folder with beside-files, the windows created and the main window
// shown and active; destroys everything again when it goes.
class Session {
public:
    Session();
    ~Session();
    TestWorkspace &workspace() { return *ws; }
    QString library(const QString &name) const; // path in the library folder

private:
    std::unique_ptr<TestWorkspace> ws;
};

void ClickMenuItem(QMenu *menu, QAction *action); // opens the menu on the bar first
void ClickBarItem(QAction *action);               // an item directly on the bar
void ClickLabel(QWidget *label);
// A key on the main window, made active first as after a dialog closes.
void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Opens a library through "&Open Library File..." and the file dialog; `before`
// answers come first (e.g. the save question).
void OpenThroughMenu(const QString &path, const QStringList &answersBefore = {});

// Makes the file's writes fail: SQLite cannot create its journal beside it.
void BlockWrites(const QString &path);
void UnblockWrites(const QString &path);

// Installs the font substitution and an end step that records instead of exiting.
void InitTestCase();
int EndRequests();
void ResetEndRequests();

} // namespace AppTest

// The tests need the program's application object (failure handler).
#define LEXOMAT_APP_TEST_MAIN(TestClass)                                                           \
    int main(int argc, char *argv[]) {                                                             \
        LexomatApplication app(argc, argv);                                                        \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
