// Files handed over by the desktop: the file argument and files dropped on the window.
#include "app/TForm1.h"

#include "editor/Tfrm_admin.h"
#include "formats/LibraryFileKind.h"
#include "widgets/DroppedFile.h"
#include "widgets/ModalResult.h"
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>

namespace {
bool IsLibrary(const QString &path) {
    return IsLibraryFile(path) ||
           QFileInfo(path).suffix().compare(u"mdb", Qt::CaseInsensitive) == 0;
}
} // namespace

void TForm1::OpenFile(const QString &path) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        ShowMessage(QStringLiteral("Error"),
                    QStringLiteral("\n\r\"%1\" cannot be opened: %2")
                        .arg(info.fileName(), info.isDir() ? QStringLiteral("it is a folder.")
                                              : info.exists()
                                                  ? QStringLiteral("it is not a regular file.")
                                                  : QStringLiteral("there is no such file.")),
                    1);
        return;
    }
    const bool library = IsLibrary(path);
    // Asked before anything is left: a library that another copy has open, and the
    // learner does not want to open too, leaves the study here as it was.
    std::optional<LibraryClaim> claim;
    if (library && DetectLibraryFileKind(path) == LibraryFileKind::SQLite) {
        claim = ClaimLibrary(path);
        if (!claim)
            return;
    }
    if (s.LibraryOpen && SaveCurrentSession() == mrCancel)
        return;
    LeaveLibrary();
    ClearScreen();
    if (library) {
        OpenLibrary(path, std::move(claim));
        return;
    }
    frm_admin->ImportWhenShown(path);
    frm_admin->exec();
}

void TForm1::dragEnterEvent(QDragEnterEvent *event) {
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event) {
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The drag ends before any question is asked.
    QTimer::singleShot(0, this, [this, path] { OpenFile(path); });
}
