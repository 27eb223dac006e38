#include "editor/Tfrm_addlibrary.h"
#include "editor/Tfrm_admin.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "tools/screenshot/Shot.h"
#include <QApplication>
#include <QDir>
#include <QLineEdit>

namespace {
QString firstSample() {
    const QStringList samples =
        QDir(ShotWorkDir() + "/library").entryList({"*.mdb"}, QDir::Files, QDir::Name);
    return samples.isEmpty() ? QString() : ShotWorkDir() + "/library/" + samples.first();
}

// The editor over a sample library, sorted by word, with a search typed.
QWidget *editorWithCards() {
    const QString sample = firstSample();
    if (sample.isEmpty())
        return nullptr;
    frm_admin->show();
    QApplication::processEvents();
    if (!frm_admin->FileOpen1Accept(sample))
        return nullptr;
    frm_admin->grid_libraryTitleClick(0);
    frm_admin->EditFiltru->setText(QStringLiteral("e"));
    return frm_admin;
}

// The record dialog over a card being added.
QWidget *recordDialog() {
    const QString sample = firstSample();
    if (sample.isEmpty())
        return nullptr;
    dm->SetDatabasePath(sample);
    dm->OpenDatabase();
    dm->tb_library->Append();
    dm->tb_library->SetFieldValue(QStringLiteral("Word"), QStringLiteral("serendipity"));
    dm->tb_library->SetFieldValue(QStringLiteral("Definition"),
                                  QStringLiteral("the faculty of making fortunate discoveries "
                                                 "by accident"));
    frm_addlibrary->setWindowTitle(QStringLiteral("Add Record"));
    return frm_addlibrary;
}
} // namespace

static ShotRegistration editor(
    "Tfrm_admin", [] { return static_cast<QWidget *>(frm_admin); }, [] { frm_admin->FormClose(); });

static ShotRegistration editorCards("Tfrm_admin-cards", editorWithCards, [] {
    frm_admin->EditFiltru->clear();
    frm_admin->FormClose();
});

static ShotRegistration record("Tfrm_addlibrary", recordDialog, [] {
    dm->tb_library->Cancel();
    dm->CloseDatabase();
});
