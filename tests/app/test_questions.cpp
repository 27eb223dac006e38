// The question cycle, clocks, pause and box counters as the learner meets them.
#include "app/LexomatApplication.h"
#include "app/TBevelPanel.h"
#include "app/TForm1.h"
#include "dialogs/Tfrm_lastq.h"
#include "dialogs/Tfrm_showpackage.h"
#include "engine/LexomatList.h"
#include "platform/SoundPlayer.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TestLibrary.h"
#include <QLabel>
#include <QMenu>
#include <QTest>

using namespace AppTest;

namespace {
int rightSlot() {
    return Form1->State().RightSlot;
}
QLabel *rightLabel() {
    return Form1->GetLabel(rightSlot());
}
QLabel *wrongLabel() {
    return Form1->GetLabel((rightSlot() + 2) % 4);
}
int levelOf(int32_t id) {
    const TLexomatList &list = Form1->CardList();
    for (int i = 0; i < list.Count(); ++i)
        if (list.IdAt(i) == id)
            return list.LevelAt(i);
    return INT32_MIN;
}
void openNumbered(Session &session, int n, int level = 0, std::optional<int> time = 0) {
    QList<TestCard> cards = TestLibrary::numbered(n);
    for (TestCard &card : cards)
        card.level = level;
    const QString path = session.library("cards.mdb");
    TestLibrary::create(path, cards, time);
    OpenThroughMenu(path);
}
void hover(QWidget *w, bool enter) {
    if (enter) {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(w, &event);
    } else {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(w, &event);
    }
}
} // namespace

class TestQuestions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestCase(); }

    void theRightDefinitionSitsInItsSlotAndTheOthersDiffer() {
        Session session;
        openNumbered(session, 40); // too many to learn them all in these rounds
        QList<int> slotsSeen(4, 0);
        for (int round = 0; round < 60; ++round) {
            const QString word = Form1->LabellTextWord->text();
            QCOMPARE(Form1->State().CurrentCard.Word, word);
            QSet<QString> shown;
            for (int slot = 0; slot < 4; ++slot)
                shown.insert(Form1->GetLabel(slot)->text());
            QCOMPARE(shown.size(), 4);
            QCOMPARE(rightLabel()->text(), "definition of " + word);
            ++slotsSeen[rightSlot()];
            ClickLabel(rightLabel());
        }
        for (int n : slotsSeen)
            QVERIFY(n > 0);
    }

    void onlyTheFirstClickIsScoredAndEveryWrongClickSounds() {
        Session session;
        openNumbered(session, 10);
        SoundPlayer *sound = Form1->WrongSound();
        const int32_t asked = Form1->State().QuestionID;
        const QString word = Form1->LabellTextWord->text();
        const int playsBefore = sound->PlayCount();
        for (int i = 0; i < 3; ++i)
            ClickLabel(Form1->GetLabel((rightSlot() + 1 + i) % 4));
        QCOMPARE(sound->PlayCount() - playsBefore, 3);
        QCOMPARE(Form1->LabellTextWord->text(), word); // the word stays
        QCOMPARE(levelOf(asked), -1);
        QCOMPARE(Form1->lbKnowsUE1->text(), QString("1"));
        QCOMPARE(Form1->lbKnows0->text(), QString("9"));
        QCOMPARE(Form1->CardList().Streak, -1);
        QVERIFY(Form1->State().Studying);
        QCOMPARE(Form1->State().LastCard.Word, word); // a wrong first click is scored too
        ClickLabel(rightLabel());
        QCOMPARE(levelOf(asked), -1); // the right click after it scores nothing
        QCOMPARE(Form1->CardList().Streak, -1);
        QCOMPARE(sound->PlayCount() - playsBefore, 3);
        QVERIFY(!Form1->State().Answered);

        const int32_t next = Form1->State().QuestionID;
        const int levelBefore = levelOf(next);
        ClickLabel(rightLabel());
        QCOMPARE(levelOf(next), levelBefore < 0 ? 0 : levelBefore + 1);
        QCOMPARE(sound->PlayCount() - playsBefore, 3);
        QCOMPARE(Form1->CardList().Streak, 1);
    }

    void keysOneToFourClickDefinitions() {
        Session session;
        openNumbered(session, 10);
        const Qt::Key keys[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4};
        for (Qt::KeyboardModifiers modifiers :
             {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::KeypadModifier)}) {
            const int32_t asked = Form1->State().QuestionID;
            const int plays = Form1->WrongSound()->PlayCount();
            const int wrong = (rightSlot() + 1) % 4;
            PressKey(keys[wrong], modifiers);
            QCOMPARE(Form1->WrongSound()->PlayCount(), plays + 1);
            QCOMPARE(levelOf(asked), -1);
            PressKey(keys[rightSlot()], modifiers);
            QVERIFY(!Form1->State().Answered);
        }
        // Paused, the keys do nothing, as the mouse does nothing.
        ClickBarItem(Form1->Pause1);
        const QString word = Form1->LabellTextWord->text();
        const int plays = Form1->WrongSound()->PlayCount();
        for (Qt::Key key : keys)
            PressKey(key);
        QCOMPARE(Form1->LabellTextWord->text(), word);
        QCOMPARE(Form1->WrongSound()->PlayCount(), plays);
        QVERIFY(!Form1->State().Answered);
    }

    void hoverHighlightsOnlyWhileStudying() {
        Session session;
        hover(Form1->Label_definitie2, true); // no library
        QCOMPARE(Form1->Panel_definitie2->BevelWidth(), 1);
        openNumbered(session, 10);
        hover(Form1->Label_definitie2, true);
        QCOMPARE(Form1->Panel_definitie2->BevelWidth(), 2);
        QCOMPARE(Form1->Label_definitie2->cursor().shape(), Qt::PointingHandCursor);
        hover(Form1->Label_definitie2, false);
        QCOMPARE(Form1->Panel_definitie2->BevelWidth(), 1);
        QCOMPARE(Form1->Label_definitie2->cursor().shape(), Qt::ArrowCursor);

        Form1->Pause1Click();
        hover(Form1->Label_definitie4, true);
        QCOMPARE(Form1->Panel_definitie4->BevelWidth(), 1);
        const QString word = Form1->LabellTextWord->text();
        ClickLabel(rightLabel());
        ClickLabel(wrongLabel());
        QCOMPARE(Form1->LabellTextWord->text(), word);
        QVERIFY(!Form1->State().Studying);
    }

    void pauseGreysTextsAndStopsTheClocks() {
        Session session;
        openNumbered(session, 10, 0, 3725);
        QCOMPARE(Form1->lbTotalTime->text(), QString("01:02:05"));
        Form1->TimerElapsedTimer();
        Form1->TimerTotalTimer();
        QCOMPARE(Form1->lbElapsedTime->text(), QString("00:00:00"));
        QCOMPARE(Form1->lbTotalTime->text(), QString("01:02:05"));
        ClickLabel(rightLabel());
        Form1->TimerElapsedTimer();
        Form1->TimerTotalTimer();
        QCOMPARE(Form1->lbElapsedTime->text(), QString("00:00:01"));
        QCOMPARE(Form1->lbTotalTime->text(), QString("01:02:06"));

        ClickBarItem(Form1->Pause1);
        QVERIFY(Form1->State().Paused);
        QCOMPARE(Form1->Pause1->text(), QString("Continue"));
        QCOMPARE(Form1->DefinitionTextColor(), QColor(128, 128, 128));
        QCOMPARE(Form1->LabellTextWord->palette().color(QPalette::WindowText),
                 QColor(128, 128, 128));
        QVERIFY(!Form1->act_reset->isEnabled() && !Form1->act_close->isEnabled());
        Form1->TimerElapsedTimer();
        Form1->TimerTotalTimer();
        QCOMPARE(Form1->lbElapsedTime->text(), QString("00:00:01"));

        ClickBarItem(Form1->Pause1);
        QVERIFY(!Form1->State().Paused);
        QCOMPARE(Form1->Pause1->text(), QString("Pause"));
        QCOMPARE(Form1->DefinitionTextColor(), QApplication::palette().color(QPalette::WindowText));
        QVERIFY(Form1->act_reset->isEnabled() && Form1->act_close->isEnabled());
        // The real timers tick once a second.
        QTRY_COMPARE_WITH_TIMEOUT(Form1->lbElapsedTime->text(), QString("00:00:02"), 3000);
    }

    void lastQuestionShowsTheLastScoredCard() {
        Session session;
        openNumbered(session, 10);
        ModalAnswerer none(300);
        ClickLabel(Form1->LabelText1); // nothing scored yet: nothing happens
        QTest::qWait(100);
        QCOMPARE(none.answered(), 0);

        const QString word = Form1->LabellTextWord->text();
        ClickLabel(wrongLabel());
        ModalAnswerer answer;
        QString shown;
        answer.act([&](QWidget *w) {
            shown = frm_lastq->Label2->text();
            QCOMPARE(w, static_cast<QWidget *>(frm_lastq));
            w->close();
        });
        ClickLabel(Form1->LabelText1);
        QVERIFY(answer.done());
        QCOMPARE(shown, word + " = definition of " + word);
    }

    void ampersandsAndMarkupShowAsTyped() {
        Session session;
        QList<TestCard> cards = TestLibrary::numbered(10);
        for (TestCard &card : cards) {
            card.word += " & <b>co</b>";
            card.definition += " R&D";
        }
        const QString path = session.library("amp.mdb");
        TestLibrary::create(path, cards);
        OpenThroughMenu(path);
        QVERIFY(Form1->LabellTextWord->text().endsWith(" & <b>co</b>"));
        QCOMPARE(Form1->LabellTextWord->textFormat(), Qt::PlainText);
        QVERIFY(rightLabel()->text().endsWith(" R&D"));
        QCOMPARE(rightLabel()->textFormat(), Qt::PlainText);
    }

    // A definition longer than its panel shows what fits, ending in "…", and whole in
    // the panel's tool tip; one that fits has no tool tip. So after a larger font too.
    void longDefinitionsEndInAnEllipsis_data() {
        QTest::addColumn<QString>("definition");
        QTest::addColumn<bool>("cut");
        QTest::newRow("short") << "a short definition" << false;
        QTest::newRow("many words") << QString("word ").repeated(400).trimmed() << true;
        QTest::newRow("many lines") << QString("line\n").repeated(30) + "last" << true;
        QTest::newRow("one long word") << QString("x").repeated(3000) << true;
        QTest::newRow("outside the BMP") << QString("😀 ").repeated(800) << true;
    }
    void longDefinitionsEndInAnEllipsis() {
        QFETCH(QString, definition);
        QFETCH(bool, cut);
        Session session;
        QList<TestCard> cards = TestLibrary::numbered(12);
        for (TestCard &card : cards)
            card.definition = QString::number(card.word.size()) + definition + card.word;
        const QString path = session.library("long.mdb");
        TestLibrary::create(path, cards, 0);
        OpenThroughMenu(path);
        for (int round = 0; round < 2; ++round) {
            const QString whole = Form1->State().CurrentCard.Definition;
            QLabel *label = rightLabel();
            QCOMPARE(label->toolTip(), cut ? whole : QString());
            QCOMPARE(label->text().endsWith(QStringLiteral("\u2026")), cut);
            if (!cut)
                QCOMPARE(label->text(), whole);
            const QRect needed = label->fontMetrics().boundingRect(
                label->contentsRect(), int(label->alignment()) | Qt::TextWordWrap, label->text());
            QVERIFY(needed.height() <= label->contentsRect().height());
            QFont larger = Form1->font();
            larger.setPointSize(larger.pointSize() * 2);
            Form1->FontEdit1Accept(larger);
        }
    }

    void everyCardKnownBringsTheCongratulation() {
        Session session;
        openNumbered(session, 10, 3);
        QCOMPARE(Form1->lbKnowsGE3->text(), QString("10"));
        for (int round = 0; round < 2; ++round) {
            ModalAnswerer answer;
            answer.clickButton("Left_BitBtnWithColor");
            const QString word = Form1->LabellTextWord->text();
            ClickLabel(rightLabel());
            QVERIFY(answer.done());
            QCOMPARE(answer.seenTitles(), QStringList("Congratulations!!!"));
            QCOMPARE(answer.seenTexts(),
                     QStringList("Congratulations!!!\n\rYou have learned this library file.\n\r"
                                 "Don't forget to practice them again."));
            QVERIFY(!Form1->State().Studying);
            QVERIFY(!Form1->State().Answered);
        }
        Form1->TimerElapsedTimer();
        QCOMPARE(Form1->lbElapsedTime->text(), QString("00:00:00"));
    }

    void countersOpenTheViewerOnTheirBox() {
        Session session;
        QList<TestCard> cards = TestLibrary::numbered(12);
        const int levels[] = {-2, -1, 0, 0, 0, 1, 1, 2, 3, 3, 5, 0};
        for (int i = 0; i < 12; ++i)
            cards[i].level = levels[i];
        const QString path = session.library("boxes.mdb");
        TestLibrary::create(path, cards);
        OpenThroughMenu(path);
        QCOMPARE(Form1->lbKnowsUE1->text(), QString("2"));
        QCOMPARE(Form1->lbKnows0->text(), QString("4"));
        QCOMPARE(Form1->lbKnows1->text(), QString("2"));
        QCOMPARE(Form1->lbKnows2->text(), QString("1"));
        QCOMPARE(Form1->lbKnowsGE3->text(), QString("3"));
        Form1->Pause1Click(); // counters work while paused

        struct Case {
            QLabel *clicked;
            QString heading;
            int rows;
            bool filtered;
        };
        const Case cases[] = {
            {Form1->Label1, "All the cards!", 12, false},
            {Form1->lbCount, "All the cards!", 12, false},
            {Form1->Label2, "You don't know these cards!", 2, true},
            {Form1->lbKnowsUE1, "You don't know these cards!", 2, true},
            {Form1->Label3, "You haven't been asked or you know these cards very little !", 4,
             true},
            {Form1->lbKnows0, "You haven't been asked or you know these cards very little !", 4,
             true},
            {Form1->Label4, "You know these cards a little !", 2, true},
            {Form1->lbKnows1, "You know these cards a little !", 2, true},
            {Form1->Label6, "You know these cards !", 1, true},
            {Form1->lbKnows2, "You know these cards !", 1, true},
            {Form1->Label8, "You know these cards very well !", 3, true},
            {Form1->lbKnowsGE3, "You know these cards very well !", 3, true},
        };
        for (const Case &c : cases) {
            ModalAnswerer answer;
            QString heading;
            int rows = -1;
            bool filtered = false;
            answer.act([&](QWidget *w) {
                heading = frm_showpackage->Label1->text();
                rows = dm->tb_library->RecordCount();
                filtered = dm->tb_library->Filtered();
                dm->tb_library->SetSort("Word DESC");
                w->close();
            });
            ClickLabel(c.clicked);
            QVERIFY(answer.done());
            QCOMPARE(heading, c.heading);
            QCOMPARE(rows, c.rows);
            QCOMPARE(filtered, c.filtered);
            QVERIFY(!dm->tb_library->Filtered());
            const bool boxOne = c.clicked == Form1->Label3 || c.clicked == Form1->lbKnows0;
            QCOMPARE(dm->tb_library->Sort(), boxOne ? QString("Word DESC") : QString());
        }
    }

    void anEmptyBoxFiltersEverythingOut() {
        Session session;
        openNumbered(session, 10);
        ModalAnswerer answer;
        QString filter;
        int rows = -1;
        answer.act([&](QWidget *w) {
            filter = dm->tb_library->Filter();
            rows = dm->tb_library->RecordCount();
            w->close();
        });
        ClickLabel(Form1->Label4);
        QVERIFY(answer.done());
        QCOMPARE(filter, QString("ID=-1"));
        QCOMPARE(rows, 0);
    }
};

LEXOMAT_APP_TEST_MAIN(TestQuestions)
#include "test_questions.moc"
