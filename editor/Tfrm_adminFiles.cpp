// The editor's library files: the untitled temporary library, New, Open..., Save,
// closing, and untitled libraries left behind by an earlier run.
#include "dialogs/LegacyLibraryConversion.h"
#include "dialogs/StoreWaitFeedback.h"
#include "editor/EditorMessages.h"
#include "editor/Tfrm_admin.h"
#include "editor/Tfrm_sheet.h"
#include "editor/WorkbookExport.h"
#include "editor/WorkbookImport.h"

#include "editor/UnsavedLibraries.h"
#include "engine/Random.h"
#include "platform/BesideFiles.h"
#include "platform/LexomatError.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "widgets/FileQuestion.h"
#include "widgets/ModalResult.h"
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLockFile>

QString Tfrm_admin::LibraryFolder() const {
    return QDir(StartupDir()).filePath(QStringLiteral("library"));
}

bool Tfrm_admin::HoldTempLibrary(const QString &path) {
    auto lock = std::make_unique<QLockFile>(UnsavedLibraries::LockPath(path));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    tempLock = std::move(lock);
    return true;
}

void Tfrm_admin::ForgetTempLibrary(bool deleteFile) {
    if (deleteFile && !TempLibraryPath.isEmpty())
        QFile::remove(TempLibraryPath); // a file that is not there is no error
    tempLock.reset();                   // unlocks and removes the lock file
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

void Tfrm_admin::OpenLibraryFile(const QString &path) {
    CloseLibrary();
    StoreWaitFeedback feedback(*dm, this, path);
    dm->SetDatabasePath(path);
    dm->OpenDatabase();
    AttachOpenedLibrary();
}

void Tfrm_admin::AttachOpenedLibrary() {
    AttachGrid();
    ApplySearch();
}

void Tfrm_admin::CreateTempDatabase() {
    CloseLibrary();
    // The one random generator of the program names it; a name held by a running
    // editor is drawn again.
    QString path;
    for (int attempt = 0; attempt < 100 && path.isEmpty(); ++attempt) {
        const QString candidate =
            QDir(StartupDir())
                .filePath(QString::number(LexomatRandom::InRange(0, 2147483646)) +
                          QStringLiteral(".mdb"));
        if (HoldTempLibrary(candidate))
            path = candidate;
    }
    if (path.isEmpty())
        throw LexomatError(QString("No untitled library can be made in \"%1\": its lock files "
                                   "cannot be written.")
                               .arg(StartupDir()));
    TempLibraryPath = path;
    try {
        dm->CreateDatabase(TempLibraryPath);
        AttachOpenedLibrary();
    } catch (...) {
        dm->CloseDatabase();
        ForgetTempLibrary(true);
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
    if (!Guarded([&] { OpenLibraryFile(fileName); })) {
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
    CloseLibrary();
    QString failure;
    try {
        Tdm::CopyLibraryFile(TempLibraryPath, fileName);
    } catch (const LexomatError &error) {
        failure = error.message();
    }
    if (!failure.isEmpty()) {
        // The untitled library stays open and untitled; the target is as it was.
        Guarded([this] { OpenLibraryFile(TempLibraryPath); });
        SetCurrentLibrary(Library::Untitled);
        EditorMessages::Error(this, failure);
        return false;
    }
    ForgetTempLibrary(true);
    if (Guarded([&] { OpenLibraryFile(fileName); }))
        SetCurrentLibrary(Library::Named, fileName);
    else
        SetCurrentLibrary(Library::None);
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
        CloseLibrary();
        ForgetTempLibrary(true);
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
    for (const QString &path : UnsavedLibraries::Stranded(StartupDir())) {
        int cards = 0;
        try {
            cards = Tdm::CardCount(path);
        } catch (const LexomatError &) {
            continue; // not a library: not ours to offer
        }
        if (cards < 1 || !HoldTempLibrary(path))
            continue;
        const int answer = EditorMessages::YesNoCancel(
            this, QString("An unsaved library from an earlier session was found (%1 cards). "
                          "Save it now?")
                      .arg(cards));
        if (answer == mrCancel) {
            tempLock.reset();
            continue;
        }
        TempLibraryPath = path;
        if (answer == mrNo) {
            ForgetTempLibrary(true);
            continue;
        }
        // Opened as the untitled library, then saved under a name; when the save
        // dialog is cancelled it stays open untitled.
        if (!Guarded([&] { OpenLibraryFile(path); })) {
            dm->CloseDatabase();
            tempLock.reset();
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
