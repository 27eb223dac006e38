// Opening, closing, resetting and saving a library, and the question cycle.
#include "app/TForm1.h"

#include "app/LibraryFileDialog.h"
#include "app/SecondsToText.h"
#include "app/SessionStore.h"
#include "app/TBevelPanel.h"
#include "dialogs/LegacyLibraryConversion.h"
#include "dialogs/StoreWaitFeedback.h"
#include "dialogs/Tfrm_lastq.h"
#include "editor/Tfrm_admin.h"
#include "engine/LexomatList.h"
#include "engine/Random.h"
#include "platform/BesideFiles.h"
#include "platform/LexomatError.h"
#include "platform/SoundPlayer.h"
#include "store/ProgressHistory.h"
#include "store/Tdm.h"
#include "widgets/ModalResult.h"
#include "widgets/WrappedTextFit.h"
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>

namespace {
constexpr int32_t MinimumCards = 10;
}

int TForm1::SaveCurrentSession() {
    const int answer =
        ShowMessage(QStringLiteral("Save"), QStringLiteral("\n\rSave current session ?"), 3);
    if (answer == mrYes)
        return WriteSession() ? mrYes : mrCancel;
    return answer == mrNo ? mrNo : mrCancel;
}

bool TForm1::WriteSession() {
    try {
        // The question box is gone before the write starts.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        std::optional<ProgressRow> progress;
        if (!s.Unsaved.Empty())
            progress = SessionProgress();
        std::optional<SessionStore::OverwriteAnswer> answer;
        for (;;) {
            SessionStore::SaveResult result;
            {
                StoreWaitFeedback feedback(*dm, this, dm->DatabasePath());
                result = SessionStore::SaveLevelsAndTime(
                    *dm, *cardList, {s.TotalSeconds, s.StoredSeconds}, progress, answer);
            }
            if (!result.saved) {
                // Asked again should the other program change more meanwhile.
                const int reply = AskOverwrite(result.changes);
                if (reply == mrCancel)
                    return false;
                answer = SessionStore::OverwriteAnswer{reply == mrYes, result.changes};
                continue;
            }
            s.Unsaved = {};
            s.TotalSeconds = s.StoredSeconds = result.seconds;
            lbTotalTime->setText(SecondsToText(s.TotalSeconds));
            if (!result.changes.Empty())
                TellKept(result.changes);
            return true;
        }
    } catch (const LexomatError &error) {
        // Nothing was written; the levels and time stay in memory for another try.
        ShowError(QStringLiteral("The session could not be saved."), error);
        return false;
    }
}

namespace {
QString Cards(size_t count) {
    return count == 1 ? QStringLiteral("the level of 1 card")
                      : QString("the levels of %1 cards").arg(count);
}
} // namespace

int TForm1::AskOverwrite(const SessionStore::OtherChanges &changes) {
    QStringList what;
    if (!changes.levels.empty())
        what << Cards(changes.levels.size());
    if (changes.seconds)
        what << QStringLiteral("the study time");
    const bool one = what.size() == 1 && changes.levels.size() <= 1;
    const int answer = ShowMessage(
        QStringLiteral("Save"),
        QString("\n\rSince this window read \"%1\", another program has changed %2.\n\r"
                "Overwrite %3 with this session's?")
            .arg(QFileInfo(dm->DatabasePath()).fileName(), what.join(QStringLiteral(" and ")),
                 one ? QStringLiteral("it") : QStringLiteral("them")),
        3);
    return answer == mrYes || answer == mrNo ? answer : mrCancel;
}

void TForm1::TellKept(const SessionStore::OtherChanges &changes) {
    QString text;
    if (!changes.levels.empty()) {
        // The cards now stand where the other program put them, the question too.
        const int32_t index = cardList->IndexOfId(s.QuestionID);
        if (index >= 0)
            s.QuestionIndex = index;
        VisualFeedback();
        text += changes.levels.size() == 1
                    ? QStringLiteral("\n\rThe level another program gave 1 card was kept: "
                                     "this session's answers to it were not saved.")
                    : QString("\n\rThe levels another program gave %1 cards were kept: this "
                              "session's answers to them were not saved.")
                          .arg(changes.levels.size());
    }
    if (changes.seconds)
        text += QStringLiteral("\n\rThis session's study time was added to the study time "
                               "the other program saved.");
    ShowMessage(QStringLiteral("Save"), text, 1);
}

void TForm1::LeaveLibrary() {
    if (dm)
        dm->CloseDatabase();
    s.LibraryOpen = false;
    s.Studying = false;
    s.Unsaved = {};
    cardList->Clear();
    EnableAllButtons(false);
    act_progress->setEnabled(false);
}

void TForm1::act_openExecute() {
    if (s.LibraryOpen && SaveCurrentSession() == mrCancel)
        return;
    LeaveLibrary();
    ClearScreen();
    const QString path =
        AskLibraryFile(this, QDir(StartupDir()).filePath(QStringLiteral("library")));
    if (!path.isEmpty())
        OpenLibrary(path);
}

std::optional<LibraryClaim> TForm1::ClaimLibrary(const QString &path) {
    return Tdm::ClaimLibrary(path, [this](const QString &file) {
        return ShowMessage(QStringLiteral("Open"),
                           QStringLiteral("\n\r\"%1\" is open in another Lexomat window. Open it "
                                          "anyway?")
                               .arg(QFileInfo(file).fileName()),
                           2) == mrYes;
    });
}

bool TForm1::OpenLibrary(const QString &chosenPath, std::optional<LibraryClaim> claim) {
    // An older Access library is studied through a copy in the program's own format.
    const QString path =
        LegacyLibraryConversion::PathToOpen(this, chosenPath, QuestionStyle::ProgramMessageBox);
    if (path.isEmpty())
        return false;
    if (!claim || claim->path != path)
        claim = ClaimLibrary(path);
    if (!claim)
        return false; // another copy has it open: as if no file had been chosen
    try {
        {
            StoreWaitFeedback feedback(*dm, this, path);
            dm->CloseDatabase();
            dm->SetDatabasePath(path);
            dm->OpenDatabase(std::move(*claim));
            cardList->Clear();
            PopulateList();
        }
        if (cardList->Count() < MinimumCards) {
            ShowMessage(QStringLiteral("Error"),
                        QStringLiteral("\n\rLibrary must have at least 10 words!!!"), 1);
            LeaveLibrary();
            return false;
        }
        s.LibraryOpen = true;
        EnableAllButtons(true);
        act_progress->setEnabled(true);
        cardList->SortByLevel();
        PutQuestions();
        VisualFeedback();
        SetTotalTime();
        s.ElapsedSeconds = 0;
        s.Studying = false;
        s.Answered = false;
        s.Unsaved = {};
        EndPause();
        return true;
    } catch (const LexomatError &error) {
        // A file that is no usable library is refused; the program goes on without one.
        LeaveLibrary();
        ClearScreen();
        ShowError(QString("\"%1\" cannot be opened as a library.").arg(QFileInfo(path).fileName()),
                  error);
        return false;
    }
}

void TForm1::PopulateList() {
    SessionStore::PopulateList(*dm, *cardList);
}

void TForm1::act_closeExecute() {
    if (s.LibraryOpen && SaveCurrentSession() == mrCancel)
        return;
    LeaveLibrary();
    s.TotalSeconds = 0;
    ClearScreen();
}

void TForm1::act_resetExecute() {
    if (!s.LibraryOpen) {
        NoLibraryOpen();
        return;
    }
    if (ShowMessage(QStringLiteral("Reset"), QStringLiteral("\n\rReset Library ?"), 2) != mrYes)
        return;
    cardList->ResetLevels();
    s.TotalSeconds = 0;
    s.Unsaved.Reset = true;
    VisualFeedback();
    WriteSession();
}

void TForm1::act_libraryExecute() {
    if (s.LibraryOpen && SaveCurrentSession() == mrCancel)
        return;
    LeaveLibrary();
    ClearScreen();
    frm_admin->exec();
}

void TForm1::Save1Click() {
    if (s.LibraryOpen)
        SaveCurrentSession();
    else
        NoLibraryOpen();
}

QLabel *TForm1::GetLabel(int slot) const {
    QLabel *const labels[] = {Label_definitie1, Label_definitie2, Label_definitie3,
                              Label_definitie4};
    return labels[slot];
}

TBevelPanel *TForm1::GetPanel(int slot) const {
    TBevelPanel *const panels[] = {Panel_definitie1, Panel_definitie2, Panel_definitie3,
                                   Panel_definitie4};
    return panels[slot];
}

int TForm1::SlotOf(QObject *label) const {
    for (int slot = 0; slot < 4; ++slot)
        if (GetLabel(slot) == label)
            return slot;
    return -1;
}

// The labels show plain text, so an "&" in a card is shown as itself. Every card is
// read before anything changes, so a read that fails leaves the last question as it was.
void TForm1::PutQuestions() {
    const int32_t index = cardList->PickQuestionIndex();
    const int32_t id = cardList->IdAt(index);
    const TLexomatList::OtherIds others = cardList->PickOtherIds(index);
    const int32_t otherIds[3] = {others.first, others.second, others.third};
    const int32_t rightSlot = LexomatRandom::InRange(0, 3);
    const MyTextDatabaseRec card = dm->GetRecordByID(id);
    QString definitions[4];
    for (int slot = 0; slot < 4; ++slot)
        definitions[slot] =
            slot == rightSlot
                ? card.Definition
                : dm->GetRecordByID(otherIds[slot < rightSlot ? slot : slot - 1]).Definition;
    s.QuestionIndex = index;
    s.QuestionID = id;
    s.RightSlot = rightSlot;
    s.CurrentCard = card;
    LabellTextWord->setText(card.Word);
    for (int slot = 0; slot < 4; ++slot)
        definitionTexts[slot] = definitions[slot];
    FitDefinitions();
}

void TForm1::FitDefinitions() {
    for (int slot = 0; slot < 4; ++slot) {
        QLabel *label = GetLabel(slot);
        const QString &text = definitionTexts[slot];
        const QString shown = WrappedTextFit::Fitted(
            text, label->fontMetrics(), label->contentsRect(), int(label->alignment()));
        label->setText(shown);
        label->setToolTip(shown == text ? QString() : text);
    }
}

bool TForm1::TryPutQuestions() {
    try {
        PutQuestions();
        return true;
    } catch (const LexomatError &error) {
        // The answered question stays; a click on its right definition tries again.
        ShowError(QStringLiteral("The next question could not be read."), error);
        return false;
    }
}

void TForm1::Label_definitieClick(int slot) {
    if (DefinitionsActive())
        definitieClick(slot);
}

void TForm1::definitieClick(int slot) {
    if (!s.Answered) {
        Answer(slot);
        s.Answered = true;
    }
    if (slot == s.RightSlot) {
        if (TryPutQuestions())
            s.Answered = false;
    } else {
        wrongSound->Play(QDir(StartupDir()).filePath(QStringLiteral("wrong.au")));
    }
}

void TForm1::Answer(int slot) {
    s.Studying = true;
    s.Unsaved.Score(slot == s.RightSlot);
    if (slot == s.RightSlot)
        cardList->RecordRight();
    else
        cardList->RecordWrong();
    cardList->ApplyAnswer(s.QuestionIndex);
    VisualFeedback();
    s.LastCard = s.CurrentCard;
    if (cardList->AllKnown()) {
        s.Studying = false;
        ShowMessage(QStringLiteral("Congratulations!!!"),
                    QStringLiteral("Congratulations!!!\n\rYou have learned this library file.\n\r"
                                   "Don't forget to practice them again."),
                    1);
    }
}

void TForm1::DefinitionMouseEnter(int slot) {
    if (!DefinitionsActive())
        return;
    GetPanel(slot)->SetBevelWidth(2);
    GetLabel(slot)->setCursor(Qt::PointingHandCursor);
}

void TForm1::DefinitionMouseLeave(int slot) {
    GetPanel(slot)->SetBevelWidth(1);
    GetLabel(slot)->setCursor(Qt::ArrowCursor);
}

void TForm1::LabelText1Click() {
    if (!s.LibraryOpen) {
        NoLibraryOpen();
        return;
    }
    if (s.LastCard.Word.isEmpty() || s.LastCard.Definition.isEmpty())
        return;
    if (frm_lastq->Label2) {
        frm_lastq->Label2->setTextFormat(Qt::PlainText);
        frm_lastq->Label2->setText(s.LastCard.Word + QStringLiteral(" = ") + s.LastCard.Definition);
    }
    frm_lastq->exec();
}
