// The editor's library files: the untitled temporary library, New, Open..., Save,
// closing, and untitled libraries left behind by an earlier run.
#include "dialogs/LegacyLibraryConversion.h"
#include "dialogs/StoreWaitFeedback.h"
#include "editor/EditorMessages.h"
#include "editor/Tfrm_admin.h"
#include "editor/Tfrm_sheet.h"
#include "editor/WorkbookExport.h"
#include "editor/WorkbookImport.h"

#include "editor/UntitledLibrary.h"
#include "platform/BesideFiles.h"
#include "platform/CountedNoun.h"
#include "platform/LexomatError.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "widgets/FileQuestion.h"
#include "widgets/ModalResult.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

QString Tfrm_admin::LibraryFolder() const {
    return QDir(StartupDir()).filePath(QStringLiteral("library"));
}

void Tfrm_admin::DiscardUntitled() {
    CloseLibrary();
    if (untitled)
        untitled->Remove();
    untitled.reset();
}

void Tfrm_admin::CloseLibrary() {
    dm->CloseDatabase();
    // The search is the editor's own: whoever opens the table next sees every card.
    dm->tb_library->SetFiltered(false);
}

void Tfrm_admin::SetCurrentLibrary(Library state, const QString &path) {
    EditingTempLibrary = state == Library::Untitled;
    EditingLibraryFile = state == Library::Named;
    EnableAllButtons(true);
    RefreshCount();
    SetCaption(state == Library::Untitled ? QStringLiteral("untitled.mdb")
               : state == Library::Named  ? path
                                          : QString());
    Test_Tabel_Gol();
}

void Tfrm_admin::OpenInDataModule(const QString &path, std::optional<LibraryClaim> claim) {
    CloseLibrary();
    StoreWaitFeedback feedback(*dm, this, path);
    dm->SetDatabasePath(path);
    if (claim)
        dm->OpenDatabase(std::move(*claim));
    else
        dm->OpenDatabase();
    AttachOpenedLibrary();
}

void Tfrm_admin::AttachOpenedLibrary() {
    AttachGrid();
    ApplySearch();
}

void Tfrm_admin::CreateTempDatabase() {
    CloseLibrary();
    // Its callers have settled an untitled library that was open; should one still be
    // here, its file stays to be offered again.
    untitled.reset();
    untitled = UntitledLibrary::Make(StartupDir());
    TempLibraryPath = untitled->Path();
    try {
        OpenInDataModule(TempLibraryPath);
    } catch (...) {
        DiscardUntitled();
        SetCurrentLibrary(Library::None);
        throw;
    }
    SetCurrentLibrary(Library::Untitled);
}

void Tfrm_admin::act_newExecute() {
    if (EditingTempLibrary && SaveCurrentLibrary() == mrCancel)
        return;
    Guarded([this] { CreateTempDatabase(); });
}

void Tfrm_admin::act_openExecute() {
    if (EditingTempLibrary && SaveCurrentLibrary() == mrCancel)
        return;
    // Reset before the dialog, whether or not a file is then chosen.
    SetCaption(QString());
    lbWords->setText(QStringLiteral("Total Words: 0"));
    // A library in the older Access format is offered as a converted copy.
    const QString chosen = AskOpenFile();
    const QString fileName =
        chosen.isEmpty()
            ? chosen
            : LegacyLibraryConversion::PathToOpen(this, chosen, QuestionStyle::StandardMessageBox);
    if (!fileName.isEmpty())
        FileOpen1Accept(fileName);
}

bool Tfrm_admin::FileOpen1Accept(const QString &fileName) {
    // Asked before the library open now is left: a no keeps it open, as a cancelled
    // dialog does.
    std::optional<LibraryClaim> claim = Tdm::ClaimLibrary(fileName, [this](const QString &file) {
        return EditorMessages::YesNo(
                   this, QString("\"%1\" is open in another Lexomat window. Open it anyway?")
                             .arg(file)) == mrYes;
    });
    if (!claim)
        return false;
    if (!Guarded([&] { OpenInDataModule(fileName, std::move(*claim)); })) {
        // Refused (not a library, unreadable): nothing is open.
        CloseLibrary();
        SetCurrentLibrary(Library::None);
        return false;
    }
    SetCurrentLibrary(Library::Named, fileName);
    return true;
}

void Tfrm_admin::act_saveExecute() {
    if (!EditingTempLibrary && !EditingLibraryFile && !EnsureLibrary())
        return;
    if (!EditingTempLibrary)
        return;
    const QString fileName = AskSaveFile();
    if (!fileName.isEmpty())
        FileSaveAs1Accept(fileName);
}

bool Tfrm_admin::FileSaveAs1Accept(const QString &fileName) {
    if (!untitled)
        return false;
    // Saving over a library that another copy of the program has open would pull the
    // file from under it; the lock of the new name is taken before anything is written.
    // Another window of this copy (the main window) may have it open too: replaced, its
    // file would be gone from under that window.
    const bool openHere =
        LibraryHold::HeldHere(fileName) &&
        LibraryHold::LockedFile(fileName) != LibraryHold::LockedFile(untitled->Path());
    LibraryHold::Taken target = LibraryHold::Take(fileName);
    if (openHere || target.outcome == LibraryHold::Outcome::HeldElsewhere) {
        EditorMessages::Error(this, QString("The library could not be saved as \"%1\": it is "
                                            "open in another Lexomat window.")
                                        .arg(fileName));
        return false;
    }
    Tdm::SavedBy savedBy = Tdm::SavedBy::Moving;
    try {
        // The file dialog asked before it returned a name that is taken.
        const bool replace = QFileInfo::exists(fileName);
        // The table stays open on the library throughout, with its rows, order and current
        // card; refused for the untitled file itself (also through a link).
        savedBy = dm->SaveDatabaseAs(fileName, replace, std::move(target.hold));
    } catch (const LexomatError &error) {
        // The untitled library stays open and untitled where it can; the target is as it
        // was.
        if (!dm->Connected()) {
            CloseLibrary();
            untitled.reset();
            SetCurrentLibrary(Library::None);
        }
        EditorMessages::Error(this, error.reason(), error.detail());
        return false;
    }
    // Only now does the untitled name go: the saved name is on disk.
    if (savedBy == Tdm::SavedBy::Moving)
        untitled->Moved();
    else
        untitled->Remove();
    untitled.reset();
    SetCurrentLibrary(Library::Named, fileName);
    return true;
}

int Tfrm_admin::SaveCurrentLibrary() {
    switch (EditorMessages::YesNoCancel(this, QStringLiteral("Save current library ?"))) {
    case mrYes: {
        const QString fileName = AskSaveFile();
        if (fileName.isEmpty() || !FileSaveAs1Accept(fileName))
            return mrCancel;
        return mrYes;
    }
    case mrNo:
        DiscardUntitled();
        SetCurrentLibrary(Library::None);
        return mrNo;
    default:
        return mrCancel;
    }
}

bool Tfrm_admin::FormClose() {
    if (EditingTempLibrary && SaveCurrentLibrary() == mrCancel)
        return false;
    CloseLibrary();
    untitled.reset();
    SetCurrentLibrary(Library::None);
    return true;
}

QString Tfrm_admin::AskOpenFile() {
    FileQuestion question;
    question.objectName = QStringLiteral("FileOpen1");
    question.caption = QStringLiteral("&Open...");
    question.folder = LibraryFolder();
    question.filters = {QStringLiteral("Library File (*.mdb)"), QStringLiteral("All Files (*)")};
    question.defaultSuffix = QStringLiteral("mdb");
    return question.Ask(this);
}

QString Tfrm_admin::AskSaveFile() {
    FileQuestion question;
    question.objectName = QStringLiteral("FileSaveAs1");
    question.caption = QStringLiteral("Save &As...");
    question.folder = LibraryFolder();
    question.save = true;
    question.filters = {QStringLiteral("Access Database (*.mdb)"), QStringLiteral("All Files (*)")};
    question.defaultSuffix = QStringLiteral("mdb");
    return question.Ask(this);
}

void Tfrm_admin::OfferUnsavedLibraries() {
    if (EditingTempLibrary || EditingLibraryFile)
        return;
    for (std::unique_ptr<UntitledLibrary> &left : UntitledLibrary::LeftBehind(StartupDir())) {
        int cards = 0;
        try {
            cards = Tdm::CardCount(left->Path());
        } catch (const LexomatError &) {
            continue; // not a library (any more): nothing to offer
        }
        if (cards < 1)
            continue;
        const int answer = EditorMessages::YesNoCancel(
            this, QString("An unsaved library from an earlier session was found (%1). "
                          "Save it now?")
                      .arg(Counted(cards, "card", "cards")));
        if (answer == mrCancel)
            continue;
        if (answer == mrNo) {
            // Deleted only when the user says so twice; otherwise offered again later.
            if (EditorMessages::YesNo(
                    this, QString("Delete the unsaved library for good? %1 cannot be "
                                  "brought back.\nNo keeps it, and it is offered again the next "
                                  "time the library editor opens.")
                              .arg(cards == 1 ? QStringLiteral("Its card")
                                              : QString("Its %1 cards").arg(cards))) == mrYes)
                left->Remove();
            continue;
        }
        // Opened as the untitled library, then saved under a name; when the save
        // dialog is cancelled it stays open untitled.
        untitled = std::move(left);
        TempLibraryPath = untitled->Path();
        if (!Guarded([this] { OpenInDataModule(untitled->Path()); })) {
            CloseLibrary();
            untitled.reset();
            SetCurrentLibrary(Library::None);
            continue;
        }
        SetCurrentLibrary(Library::Untitled);
        act_saveExecute();
        return;
    }
}

// "Import Excel File": the file dialog, then the sheet chooser and the import into the
// open library (an untitled one is made when none is open).
void Tfrm_admin::FileOpen2Accept() {
    WorkbookImport import(this, dm, frm_sheet);
    import.EnsureLibrary = [this] { return EnsureLibrary();
};
import.CardsAdded = [this](int) { RefreshCount();
Test_Tabel_Gol();
}
;
import.Execute();
}

// "Export To Excel File": every card of the open library into a new workbook.
void Tfrm_admin::FileSaveAs2Accept() {
    WorkbookExport exporter(this, dm);
    exporter.EnsureLibrary = [this] { return EnsureLibrary(); };
    exporter.Execute();
}
