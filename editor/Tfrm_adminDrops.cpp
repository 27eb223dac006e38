// Files handed over by the desktop: dropped on the editor, or given to the program.
#include "dialogs/LegacyLibraryConversion.h"
#include "editor/Tfrm_admin.h"
#include "editor/Tfrm_sheet.h"
#include "editor/WorkbookImport.h"
#include "formats/LibraryFileKind.h"
#include "store/Tdm.h"
#include "widgets/DroppedFile.h"
#include "widgets/ModalResult.h"
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>

void Tfrm_admin::ImportFile(const QString &path) {
    WorkbookImport import(this, dm, frm_sheet);
    import.EnsureLibrary = [this] { return EnsureLibrary();
};
import.CardsAdded = [this](int) { RefreshCount();
Test_Tabel_Gol();
}
;
import.FileOpen2Accept(path);
}

void Tfrm_admin::OpenLibraryFile(const QString &path) {
    if (EditingTempLibrary && SaveCurrentLibrary() == mrCancel)
        return;
    const QString fileName =
        LegacyLibraryConversion::PathToOpen(this, path, QuestionStyle::StandardMessageBox);
    if (!fileName.isEmpty())
        FileOpen1Accept(fileName);
}

void Tfrm_admin::dragEnterEvent(QDragEnterEvent *event) {
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Tfrm_admin::dropEvent(QDropEvent *event) {
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    const bool library = IsLibraryFile(path);
    // The drag ends before any question is asked.
    QTimer::singleShot(0, this, [this, path, library] {
        if (library)
            OpenLibraryFile(path);
        else
            ImportFile(path);
    });
}
