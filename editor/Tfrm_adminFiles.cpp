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
#include "widgets/FileDialogLayout.h"
#include "widgets/ModalResult.h"
#include <QDir>
#include <QFile>
#include <QFileDialog>
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
        AttachGrid();
        ApplySearch();
    } catch (...) {
        dm->CloseDatabase();
        ForgetTempLibrary(true);
        EditingTempLibrary = EditingLibraryFile = false;
        SetCaption(QString());
        Test_Tabel_Gol();
        throw;
    }
    Test_Tabel_Gol();
    SetCaption(QStringLiteral("untitled.mdb"));
    RefreshCount();
    EditingTempLibrary = true;
    EditingLibraryFile = false;
}

void Tfrm_admin::act_newExecute() {
    if (EditingTempLibrary && SaveCurrentLibrary() == mrCancel)
        return;
    Guarded([this] { CreateTempDatabase(); });
}

void Tfrm_admin::act_openExecute() {
    if (EditingTempLibrary && SaveCurrentLibrary() == mrCancel)
        return;
    SetCaption(QString());
    lbWords->setText(QStringLiteral("Total Words: 0"));
    // A library in the older Access format is offered as a converted copy.
    const QString chosen = AskOpenFile();
    const QString fileName =
        chosen.isEmpty()
            ? chosen
            : LegacyLibraryConversion::PathToOpen(this, chosen, QuestionStyle::StandardMessageBox);
    if (!fileName.isEmpty() && FileOpen1Accept(fileName))
        EditingLibraryFile = true;
}

bool Tfrm_admin::FileOpen1Accept(const QString &fileName) {
    CloseLibrary();
    EditingTempLibrary = EditingLibraryFile = false;
    const bool opened = Guarded([&] {
        StoreWaitFeedback feedback(*dm, this, fileName);
        dm->SetDatabasePath(fileName);
        dm->OpenDatabase();
        AttachGrid();
        ApplySearch();
    });
    if (!opened) {
        // Refused (not a library, unreadable): nothing is open.
        CloseLibrary();
        SetCaption(QString());
        lbWords->setText(QStringLiteral("Total Words: 0"));
        EnableAllButtons(true);
        Test_Tabel_Gol();
        return false;
    }
    EnableAllButtons(true);
    RefreshCount();
    SetCaption(fileName);
    Test_Tabel_Gol();
    EditingLibraryFile = true;
    return true;
}

void Tfrm_admin::act_saveExecute() {
    if (!EditingTempLibrary && !EditingLibraryFile && !EnsureLibrary())
        return;
    if (!EditingTempLibrary)
        return;
    const QString fileName = AskSaveFile();
    if (!fileName.isEmpty() && FileSaveAs1Accept(fileName)) {
        EditingTempLibrary = false;
        EditingLibraryFile = true;
    }
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
        Guarded([this] {
            dm->SetDatabasePath(TempLibraryPath);
            dm->OpenDatabase();
            AttachGrid();
            ApplySearch();
        });
        Test_Tabel_Gol();
        EditorMessages::Error(this, failure);
        return false;
    }
    ForgetTempLibrary(true);
    EditingTempLibrary = false;
    EditingLibraryFile = true;
    const bool opened = Guarded([&] {
        dm->SetDatabasePath(fileName);
        dm->OpenDatabase();
        AttachGrid();
        ApplySearch();
    });
    SetCaption(opened ? fileName : QString());
    if (!opened)
        EditingLibraryFile = false;
    Test_Tabel_Gol();
    return true;
}

int Tfrm_admin::SaveCurrentLibrary() {
    switch (EditorMessages::YesNoCancel(this, QStringLiteral("Save current library ?"))) {
    case mrYes: {
        const QString fileName = AskSaveFile();
        if (fileName.isEmpty() || !FileSaveAs1Accept(fileName))
            return mrCancel;
        EditingTempLibrary = false;
        EditingLibraryFile = true;
        return mrYes;
    }
    case mrNo:
        CloseLibrary();
        ForgetTempLibrary(true);
        EditingTempLibrary = EditingLibraryFile = false;
        act_mod->setEnabled(false);
        act_del->setEnabled(false);
        return mrNo;
    default:
        return mrCancel;
    }
}

bool Tfrm_admin::FormClose() {
    if (EditingTempLibrary && SaveCurrentLibrary() == mrCancel)
        return false;
    CloseLibrary();
    EditingTempLibrary = EditingLibraryFile = false;
    return true;
}

QString Tfrm_admin::AskOpenFile() {
    QFileDialog dialog(this, QStringLiteral("&Open..."), LibraryFolder());
    dialog.setObjectName(QStringLiteral("FileOpen1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {QStringLiteral("Library File (*.mdb)"), QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("mdb"));
    ShowFileDetailsWhole(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString Tfrm_admin::AskSaveFile() {
    QFileDialog dialog(this, QStringLiteral("Save &As..."), LibraryFolder());
    dialog.setObjectName(QStringLiteral("FileSaveAs1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        {QStringLiteral("Access Database (*.mdb)"), QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("mdb"));
    ShowFileDetailsWhole(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
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
        const bool opened = Guarded([&] {
            dm->CloseDatabase();
            dm->SetDatabasePath(path);
            dm->OpenDatabase();
            AttachGrid();
            ApplySearch();
        });
        if (!opened) {
            dm->CloseDatabase();
            tempLock.reset();
            continue;
        }
        EditingTempLibrary = true;
        EditingLibraryFile = false;
        EnableAllButtons(true);
        SetCaption(QStringLiteral("untitled.mdb"));
        RefreshCount();
        Test_Tabel_Gol();
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
