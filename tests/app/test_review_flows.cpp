// Sequences of commands a learner runs into: pauses across opens, a closed library,
// the last card across libraries, clocks under modal windows, a failed save, and the
// mouse and keys as people really use them.
#include "app/LexomatApplication.h"
#include "app/TForm1.h"
#include "dialogs/Tfrm_lastq.h"
#include "engine/LexomatList.h"
#include "platform/SoundPlayer.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TestLibrary.h"
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <functional>

using namespace AppTest;

namespace {
int rightSlot() {
    return Form1->State().RightSlot;
}
QLabel *rightLabel() {
    return Form1->GetLabel(rightSlot());
}
int levelOf(int32_t id) {
    const TLexomatList &list = Form1->CardList();
    for (int i = 0; i < list.Count(); ++i)
        if (list.IdAt(i) == id)
            return list.LevelAt(i);
    return INT32_MIN;
}
QString create(Session &session, const QString &name, int cards, int time = 0) {
    const QString path = session.library(name);
    TestLibrary::create(path, TestLibrary::numbered(cards), time);
    return path;
}
void sendMouse(QWidget *w, QEvent::Type type) {
    const QPointF at(10, 10);
    QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}
void sendKey(Qt::Key key, Qt::KeyboardModifiers modifiers, bool autoRepeat) {
    const QString text = QString::number(key - Qt::Key_0);
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text, autoRepeat);
    QApplication::sendEvent(Form1, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text, autoRepeat);
    QApplication::sendEvent(Form1, &release);
}
} // namespace

class TestReviewFlows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestCase(); }

    void aPauseOutlivesEveryOpenThatDoesNotSucceed() {
        Session session;
        const QString first = create(session, "first.mdb", 10);
        const QString nine = create(session, "nine.mdb", 9);
        const QString second = create(session, "second.mdb", 12);
        OpenThroughMenu(first);
        ClickBarItem(Form1->Pause1);

        // Cancel at the save question: still paused, Close and Reset still off.
        ModalAnswerer cancel;
        cancel.clickButton(Cancel);
        ClickBarItem(Form1->Open1);
        QVERIFY(cancel.done());
        QVERIFY(Form1->State().LibraryOpen && Form1->State().Paused);
        QVERIFY(!Form1->act_close->isEnabled() && !Form1->act_reset->isEnabled());
        QCOMPARE(Form1->Pause1->text(), QString("Continue"));

        // Ctrl+C is off while paused: no save question comes up.
        ModalAnswerer none(300);
        PressKey(Qt::Key_C, Qt::ControlModifier);
        QTest::qWait(100);
        QCOMPARE(none.answered(), 0);
        QVERIFY(Form1->State().LibraryOpen);

        // A refused file leaves no library and the pause as it was.
        ModalAnswerer refused;
        refused.clickButton(No).chooseFile(nine).clickButton(Ok);
        ClickBarItem(Form1->Open1);
        QVERIFY(refused.done());
        QVERIFY(!Form1->State().LibraryOpen);
        QVERIFY(Form1->State().Paused);
        QCOMPARE(Form1->Pause1->text(), QString("Continue"));

        // "Continue" with nothing open only says so.
        ModalAnswerer notice;
        notice.clickButton(Ok);
        ClickBarItem(Form1->Pause1);
        QVERIFY(notice.done());
        QCOMPARE(notice.seenTitles(), QStringList("No Library"));
        QVERIFY(Form1->State().Paused);
        QVERIFY(!Form1->act_close->isEnabled());

        OpenThroughMenu(second);
        QVERIFY(!Form1->State().Paused);
        QCOMPARE(Form1->Pause1->text(), QString("Pause"));
        QVERIFY(Form1->act_close->isEnabled() && Form1->act_reset->isEnabled());
        ClickLabel(rightLabel());
        QVERIFY(Form1->State().Studying);
    }

    void aClosedLibraryIgnoresDefinitionsAndKeysAndNamesItsAbsence() {
        Session session;
        OpenThroughMenu(create(session, "closed.mdb", 10));
        ClickLabel(rightLabel());
        ModalAnswerer no;
        no.clickButton(No);
        PressKey(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(no.done());
        QVERIFY(!Form1->State().LibraryOpen);
        QVERIFY(Form1->LabellTextWord->text().isEmpty());

        const int plays = Form1->WrongSound()->PlayCount();
        ModalAnswerer none(300);
        for (int slot = 0; slot < 4; ++slot)
            ClickLabel(Form1->GetLabel(slot));
        PressKey(Qt::Key_2);
        QTest::qWait(100);
        QCOMPARE(none.answered(), 0);
        QCOMPARE(Form1->WrongSound()->PlayCount(), plays);
        QVERIFY(!Form1->State().Studying);

        ModalAnswerer notices;
        notices.clickButton(Ok).clickButton(Ok).clickButton(Ok);
        ClickLabel(Form1->lbKnowsGE3);
        ClickLabel(Form1->Label3);
        ClickLabel(Form1->LabelText1); // even with a last card in memory
        QVERIFY(notices.done());
        QCOMPARE(notices.seenTitles(), QStringList(3, "No Library"));
    }

    void theLastCardCarriesIntoTheNextLibraryUntilItsFirstAnswer() {
        Session session;
        const QString first = create(session, "first.mdb", 10);
        const QString second = session.library("second.mdb");
        QList<TestCard> others;
        for (int i = 1; i <= 10; ++i)
            others << TestCard{QString("other%1").arg(i), QString("meaning %1").arg(i)};
        TestLibrary::create(second, others, 0);
        OpenThroughMenu(first);
        const QString word = Form1->LabellTextWord->text();
        ClickLabel(rightLabel());
        OpenThroughMenu(second, {No});

        const auto shown = [] {
            QString text;
            ModalAnswerer answer;
            answer.act([&](QWidget *w) {
                text = frm_lastq->Label2->text();
                w->close();
            });
            ClickLabel(Form1->LabelText1);
            return answer.done() ? text : QString();
        };
        QCOMPARE(shown(), word + " = definition of " + word);
        const QString next = Form1->LabellTextWord->text();
        ClickLabel(Form1->GetLabel((rightSlot() + 3) % 4));
        QCOMPARE(shown(), next + " = " + Form1->State().CurrentCard.Definition);
        QVERIFY(next.startsWith("other"));
    }

    void theClocksRunUnderTheSaveQuestionAndCancelLeavesThemRunning() {
        Session session;
        OpenThroughMenu(create(session, "clocks.mdb", 10, 50));
        ClickLabel(rightLabel());
        const QString word = Form1->LabellTextWord->text();
        const int before = Form1->State().ElapsedSeconds;

        ModalAnswerer cancel;
        int underQuestion = -1;
        cancel.act([&](QWidget *w) {
            // The one-second timers fire in the dialog's loop.
            (void)QTest::qWaitFor([&] { return Form1->State().ElapsedSeconds >= before + 2; },
                                  4000);
            underQuestion = Form1->State().ElapsedSeconds;
            QTest::mouseClick(w->findChild<QWidget *>(Cancel), Qt::LeftButton);
        });
        ClickBarItem(Form1->Save1);
        QVERIFY(cancel.done());
        QVERIFY(underQuestion >= before + 2);
        QVERIFY(Form1->State().TotalSeconds > 50);
        QVERIFY(Form1->State().Studying);
        QCOMPARE(Form1->LabellTextWord->text(), word);
        QTRY_VERIFY_WITH_TIMEOUT(Form1->State().ElapsedSeconds > underQuestion, 2500);
    }

    void afterAFailedSaveTheViewerQuestionsAndALaterSaveStillWork() {
        Session session;
        const QString path = create(session, "failing.mdb", 12, 10);
        OpenThroughMenu(path);
        for (int i = 0; i < 3; ++i)
            ClickLabel(rightLabel());
        TestLibrary::exec(path, "CREATE TRIGGER full BEFORE UPDATE ON TotalTime"
                                " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
        ModalAnswerer failing;
        failing.clickButton(Yes).clickButton(Ok);
        ClickBarItem(Form1->Save1);
        QVERIFY(failing.done());
        QCOMPARE(failing.seenTitles(), QStringList({"Save", "Error"}));
        TestLibrary::exec(path, "DROP TRIGGER full");

        int rows = -1;
        ModalAnswerer viewer;
        viewer.act([&](QWidget *w) {
            rows = dm->tb_library->RecordCount();
            w->close();
        });
        ClickLabel(Form1->lbKnows1);
        QVERIFY(viewer.done());
        QCOMPARE(rows, 3);

        const int32_t asked = Form1->State().QuestionID;
        const int level = levelOf(asked);
        ClickLabel(rightLabel());
        QCOMPARE(levelOf(asked), level < 0 ? 0 : level + 1);
        QVERIFY(!Form1->LabellTextWord->text().isEmpty());

        QList<int> expected;
        for (int id = 1; id <= 12; ++id)
            expected << levelOf(id);
        ModalAnswerer yes;
        yes.clickButton(Yes);
        ClickMenuItem(Form1->File1, Form1->act_close);
        QVERIFY(yes.done());
        QCOMPARE(yes.seenTitles(), QStringList("Save"));
        QCOMPARE(TestLibrary::levels(path), expected);
    }

    void aFailedSaveStopsEveryCommandThatWouldLeaveTheLibrary() {
        Session session;
        const QString path = create(session, "blocked.mdb", 10, 5);
        OpenThroughMenu(path);
        ClickLabel(rightLabel());
        const QString word = Form1->LabellTextWord->text();
        BlockWrites(path);
        const auto failSave = [](const std::function<void()> &command) {
            ModalAnswerer answer;
            answer.clickButton(Yes).clickButton(Ok);
            command();
            return answer.done() ? answer.seenTitles() : QStringList();
        };
        const QStringList saveThenError({"Save", "Error"});
        QCOMPARE(failSave([] { PressKey(Qt::Key_N, Qt::ControlModifier); }), saveThenError);
        QCOMPARE(failSave([] { ClickBarItem(Form1->Open1); }), saveThenError);
        QCOMPARE(failSave([] { ClickBarItem(Form1->Exit2); }), saveThenError);
        QVERIFY(Form1->isVisible());
        QVERIFY(Form1->State().LibraryOpen);
        QVERIFY(Form1->State().Studying);
        QCOMPARE(Form1->LabellTextWord->text(), word);
        QVERIFY(Form1->act_close->isEnabled() && Form1->act_reset->isEnabled());
        UnblockWrites(path);
        QCOMPARE(TestLibrary::levels(path), QList<int>(10, 0));

        ModalAnswerer yes;
        yes.clickButton(Yes);
        ClickBarItem(Form1->Exit2);
        QVERIFY(yes.done());
        QVERIFY(!Form1->isVisible());
        QCOMPARE(TestLibrary::levels(path).count(1), 1);
    }

    void theCongratulationByKeyIsFollowedByTheNextQuestion() {
        Session session;
        QList<TestCard> cards = TestLibrary::numbered(10);
        for (TestCard &card : cards)
            card.level = 3;
        const QString path = session.library("known.mdb");
        TestLibrary::create(path, cards, 0);
        OpenThroughMenu(path);
        const Qt::Key keys[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4};
        const int32_t asked = Form1->State().QuestionID;
        ModalAnswerer answer;
        answer.clickButton(Ok);
        PressKey(keys[rightSlot()], Qt::KeypadModifier);
        QVERIFY(answer.done());
        QCOMPARE(answer.seenTitles(), QStringList("Congratulations!!!"));
        QVERIFY(levelOf(asked) >= 3);
        QVERIFY(!Form1->State().Answered);
        QVERIFY(!Form1->State().Studying);
        QVERIFY(!Form1->LabellTextWord->text().isEmpty());
        // The next question is answered like any other.
        ModalAnswerer again;
        again.clickButton(Ok);
        ClickLabel(Form1->GetLabel((rightSlot() + 1) % 4));
        QCOMPARE(again.answered(), 0);
        QCOMPARE(Form1->lbKnowsUE1->text(), QString("1"));
        QVERIFY(Form1->State().Studying);
    }

    void aDoubleClickOnTheRightDefinitionAnswersOneQuestion() {
        Session session;
        OpenThroughMenu(create(session, "double.mdb", 10));
        const int32_t asked = Form1->State().QuestionID;
        QLabel *label = rightLabel();
        sendMouse(label, QEvent::MouseButtonPress);
        sendMouse(label, QEvent::MouseButtonRelease);
        const int32_t next = Form1->State().QuestionID;
        const int nextLevel = levelOf(next);
        const int streak = Form1->CardList().Streak;
        sendMouse(label, QEvent::MouseButtonPress);
        sendMouse(label, QEvent::MouseButtonDblClick);
        sendMouse(label, QEvent::MouseButtonRelease);
        QCOMPARE(levelOf(asked), 1);
        QCOMPARE(levelOf(next), nextLevel); // the second half scores nothing
        QCOMPARE(Form1->CardList().Streak, streak);
        QVERIFY(!Form1->State().Answered);

        // The next plain click is a click again.
        ClickLabel(rightLabel());
        QCOMPARE(Form1->CardList().Streak, streak + 1);
    }

    void aHeldKeyIsOneClickAndShiftedDigitsCount() {
        Session session;
        OpenThroughMenu(create(session, "keys.mdb", 10));
        const Qt::Key keys[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4};
        Form1->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Form1));

        // A key held down repeats; only its first press clicks.
        const int32_t asked = Form1->State().QuestionID;
        sendKey(keys[rightSlot()], Qt::NoModifier, false);
        const int32_t next = Form1->State().QuestionID;
        const int nextLevel = levelOf(next);
        const int plays = Form1->WrongSound()->PlayCount();
        for (int i = 0; i < 5; ++i)
            sendKey(keys[(rightSlot() + 1) % 4], Qt::NoModifier, true);
        QCOMPARE(levelOf(asked), 1);
        QCOMPARE(levelOf(next), nextLevel);
        QCOMPARE(Form1->WrongSound()->PlayCount(), plays);

        // Layouts whose digit row needs Shift deliver the digit with Shift held.
        const int streak = Form1->CardList().Streak;
        sendKey(keys[rightSlot()], Qt::ShiftModifier, false);
        QCOMPARE(Form1->CardList().Streak, streak + 1);
        // Other modifiers are not the learner's answer.
        const int32_t stays = Form1->State().QuestionID;
        const QString word = Form1->LabellTextWord->text();
        sendKey(keys[rightSlot()], Qt::AltModifier, false);
        sendKey(keys[rightSlot()], Qt::ControlModifier, false);
        QCOMPARE(Form1->State().QuestionID, stays);
        QCOMPARE(Form1->LabellTextWord->text(), word);
        QVERIFY(!Form1->State().Answered);
    }
};

LEXOMAT_APP_TEST_MAIN(TestReviewFlows)
#include "test_review_flows.moc"
