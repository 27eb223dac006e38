// The progress window over the open library.
#include "app/TForm1.h"

#include "dialogs/Tfrm_progress.h"
#include "engine/LexomatList.h"
#include "store/ProgressHistory.h"
#include "store/Tdm.h"
#include <QDateTime>

ProgressRow TForm1::SessionProgress() const {
    ProgressRow row;
    row.SavedAt = QDateTime::currentSecsSinceEpoch();
    row.StudySeconds = s.Unsaved.Seconds;
    row.Answers = s.Unsaved.Answers;
    row.RightFirst = s.Unsaved.RightFirst;
    row.Boxes = {cardList->DontKnowCount, cardList->Box1Count, cardList->Box2Count,
                 cardList->Box3Count, cardList->KnowCount};
    row.Reset = s.Unsaved.Reset;
    return row;
}

void TForm1::act_progressExecute() {
    if (!s.LibraryOpen) {
        NoLibraryOpen();
        return;
    }
    frm_progress->ShowProgress(*dm, SessionProgress());
}
