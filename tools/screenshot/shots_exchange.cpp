#include "editor/Tfrm_admin.h"
#include "editor/WorkbookFileDialogs.h"
#include "tools/screenshot/Shot.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

// The import and export file dialogs with a vocabulary format chosen. The dialogs
// are modal and made by the commands themselves: the picture is taken while one is
// up, then it is cancelled and shown as a picture.
namespace {
QLabel *picture = nullptr;

QWidget *fileDialog(const QString &filter, const QString &name, bool exporting) {
    QTimer::singleShot(200, [filter, name] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->selectNameFilter(filter);
        if (auto *edit = dialog->findChild<QLineEdit *>("fileNameEdit"))
            edit->setText(name);
        QApplication::processEvents();
        if (!picture)
            picture = new QLabel;
        picture->setPixmap(dialog->grab());
        picture->resize(dialog->size());
        dialog->reject();
    });
    if (exporting)
        WorkbookFileDialogs::ChooseExportTarget(frm_admin);
    else
        WorkbookFileDialogs::ChooseWorkbookToImport(frm_admin);
    return picture;
}
} // namespace

static ShotRegistration exportDialog("FileSaveAs2-kvtml", [] {
    return fileDialog(QStringLiteral("KVTML Vocabulary (*.kvtml)"), QStringLiteral("German"), true);
});

static ShotRegistration importDialog("FileOpen2-vocabulary", [] {
    return fileDialog(QStringLiteral("Vocabulary Files (*.kvtml *.txt)"), QString(), false);
});
