// The clocks, pause and the box counters with their viewer.
#include "app/TForm1.h"

#include "app/SecondsToText.h"
#include "app/SessionStore.h"
#include "dialogs/Tfrm_showpackage.h"
#include "engine/LexomatList.h"
#include "platform/LexomatError.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include <QApplication>
#include <QLabel>
#include <algorithm>
#include <limits>

namespace {
// The clocks stop at the largest whole number a file keeps, as levels do.
void Tick(int32_t &seconds) {
    if (seconds < std::numeric_limits<int32_t>::max())
        ++seconds;
}
} // namespace

void TForm1::TimerElapsedTimer() {
    if (s.Studying && !s.Paused) {
        Tick(s.ElapsedSeconds);
        s.Unsaved.Tick();
    }
    lbElapsedTime->setText(SecondsToText(s.ElapsedSeconds));
    FitCounters();
}

void TForm1::TimerTotalTimer() {
    if (s.Studying && !s.Paused)
        Tick(s.TotalSeconds);
    lbTotalTime->setText(SecondsToText(s.TotalSeconds));
    FitCounters();
}

void TForm1::SetTotalTime() {
    s.TotalSeconds = 0;
    s.TotalSeconds = s.StoredSeconds = SessionStore::LoadTotalTime(*dm);
    lbTotalTime->setText(SecondsToText(s.TotalSeconds));
    FitCounters();
}

void TForm1::FitCounters() {
    // A text that fits keeps the designed box; a longer one widens it about the same
    // centre line, so "1000000" or "1000:00:00" is shown whole.
    QHash<QLabel *, QRect> boxes;
    for (auto it = designedGeometry.cbegin(); it != designedGeometry.cend(); ++it) {
        QLabel *label = it.key();
        const QRect designed = it.value();
        QRect box = designed;
        const int needed = label->fontMetrics().horizontalAdvance(label->text()) + 2;
        // Label7 is a caption: only moved, below.
        if (label != Label7 && needed > designed.width()) {
            box.setWidth(needed);
            // A left-aligned clock grows to the right, its text where it was.
            if (label->alignment() & Qt::AlignHCenter)
                box.moveLeft(designed.left() + designed.width() / 2 - needed / 2);
        }
        boxes.insert(label, box);
    }
    // Neighbouring counters keep at least a space between them, those on the right
    // moving over as the ones on their left grow.
    const int space = lbCount->fontMetrics().horizontalAdvance(QChar(' '));
    int previousRight = std::numeric_limits<int>::min();
    for (QLabel *counter : {lbCount, lbKnowsUE1, lbKnows0, lbKnows1, lbKnows2, lbKnowsGE3}) {
        QRect &box = boxes[counter];
        box.moveLeft(std::max(box.left(), previousRight + space));
        previousRight = box.right() + 1;
    }
    // The elapsed clock and its caption make room for a total of a thousand hours.
    const int overlap = std::max(0, boxes[lbTotalTime].right() + 3 - boxes[Label7].left());
    for (QLabel *label : {Label7, lbElapsedTime})
        boxes[label].translate(overlap, 0);
    for (auto it = boxes.cbegin(); it != boxes.cend(); ++it)
        if (it.key()->geometry() != it.value())
            it.key()->setGeometry(it.value());
}

void TForm1::VisualFeedback() {
    lbKnowsGE3->setText(QString::number(cardList->KnowCount));
    lbKnows2->setText(QString::number(cardList->Box3Count));
    lbKnows1->setText(QString::number(cardList->Box2Count));
    lbKnows0->setText(QString::number(cardList->Box1Count));
    lbKnowsUE1->setText(QString::number(cardList->DontKnowCount));
    lbCount->setText(QString::number(cardList->Count()));
    FitCounters();
}

void TForm1::SetTextColor(const QColor &color) {
    for (QLabel *label :
         {LabellTextWord, Label_definitie1, Label_definitie2, Label_definitie3, Label_definitie4}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
    }
}

QColor TForm1::DefinitionTextColor() const {
    return Label_definitie1->palette().color(QPalette::WindowText);
}

void TForm1::EndPause() {
    s.Paused = false;
    Pause1->setText(QStringLiteral("Pause"));
    SetTextColor(QApplication::palette().color(QPalette::WindowText));
}

void TForm1::Pause1Click() {
    if (!s.LibraryOpen) {
        NoLibraryOpen();
        return;
    }
    if (!s.Paused) {
        s.Paused = true;
        EnableAllButtons(false);
        SetTextColor(QColor(128, 128, 128));
        Pause1->setText(QStringLiteral("Continue"));
    } else {
        EndPause();
        EnableAllButtons(true);
    }
}

namespace {
const QString AllCards = QStringLiteral("All the cards!");
const QString DontKnowCards = QStringLiteral("You don't know these cards!");
const QString Box1Cards =
    QStringLiteral("You haven't been asked or you know these cards very little !");
const QString Box2Cards = QStringLiteral("You know these cards a little !");
const QString Box3Cards = QStringLiteral("You know these cards !");
const QString KnownCards = QStringLiteral("You know these cards very well !");

void setHeading(const QString &heading) {
    if (frm_showpackage->Label1)
        frm_showpackage->Label1->setText(heading);
}
} // namespace

void TForm1::ImageXClick(const QString &heading, int32_t boxCode) {
    if (!s.LibraryOpen) {
        NoLibraryOpen();
        return;
    }
    setHeading(heading);
    dm->tb_library->SetFilter(QString::fromStdString(cardList->BoxFilter(boxCode)));
    dm->tb_library->SetFiltered(true);
    ShowViewer();
    dm->tb_library->SetSort(QString());
    dm->tb_library->SetFiltered(false);
}

void TForm1::ShowViewer() {
    try {
        // Listing the rows first: a file that cannot be read is reported here, and the
        // session in memory goes on.
        dm->tb_library->Open();
        dm->tb_library->RecordCount();
    } catch (const LexomatError &error) {
        ShowError(QStringLiteral("The cards cannot be listed."), error);
        return;
    }
    frm_showpackage->exec();
}

void TForm1::Label1Click() {
    if (!s.LibraryOpen) {
        NoLibraryOpen();
        return;
    }
    setHeading(AllCards);
    ShowViewer();
    dm->tb_library->SetSort(QString());
    dm->tb_library->SetFiltered(false);
}
void TForm1::lbCountClick() {
    Label1Click();
}

// Box 1 keeps the column order chosen in its viewer for the next time.
void TForm1::Label3Click() {
    if (!s.LibraryOpen) {
        NoLibraryOpen();
        return;
    }
    setHeading(Box1Cards);
    dm->tb_library->SetFilter(QString::fromStdString(cardList->BoxFilter(0)));
    dm->tb_library->SetFiltered(true);
    ShowViewer();
    dm->tb_library->SetFiltered(false);
}
void TForm1::lbKnows0Click() {
    Label3Click();
}

void TForm1::Label2Click() {
    ImageXClick(DontKnowCards, -1);
}
void TForm1::lbKnowsUE1Click() {
    ImageXClick(DontKnowCards, -1);
}
void TForm1::Label4Click() {
    ImageXClick(Box2Cards, 1);
}
void TForm1::lbKnows1Click() {
    ImageXClick(Box2Cards, 1);
}
void TForm1::Label6Click() {
    ImageXClick(Box3Cards, 2);
}
void TForm1::lbKnows2Click() {
    ImageXClick(Box3Cards, 2);
}
void TForm1::Label8Click() {
    ImageXClick(KnownCards, 3);
}
void TForm1::lbKnowsGE3Click() {
    ImageXClick(KnownCards, 3);
}
