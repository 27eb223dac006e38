// The editor's card commands: add, update, delete, sort by a title and search.
#include "dialogs/SortWithProgress.h"
#include "editor/EditorMessages.h"
#include "editor/Tfrm_addlibrary.h"
#include "editor/Tfrm_admin.h"
#include "platform/LexomatError.h"
#include "store/TTable.h"
#include "store/TTableModel.h"
#include "store/Tdm.h"
#include "widgets/ModalResult.h"
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTableView>

bool Tfrm_admin::EnsureLibrary() {
    if (EditingTempLibrary || EditingLibraryFile)
        return true;
    return Guarded([this] { CreateTempDatabase(); });
}

// Shows the record dialog over the row in insert or edit mode until the row is
// posted or given up. A post the store refuses is shown and the dialog comes back
// with everything typed; nothing half-written reaches the file.
bool Tfrm_admin::EditRow(bool adding) {
    TTable *table = dm->tb_library;
    frm_addlibrary->setWindowTitle(adding ? QStringLiteral("Add Record")
                                          : QStringLiteral("Update Record"));
    if (!Guarded([&] {
            if (adding)
                table->Append();
            else
                table->Edit();
        }))
        return false;
    for (;;) {
        if (frm_addlibrary->exec() != mrOk) {
            table->Cancel();
            return false;
        }
        if (Guarded([table] { table->Post(); }))
            return true;
    }
}

void Tfrm_admin::act_addExecute() {
    if (!EnsureLibrary())
        return;
    if (EditRow(true))
        RefreshCount();
    Test_Tabel_Gol();
}

void Tfrm_admin::act_modExecute() {
    if (!EnsureLibrary())
        return;
    // On an empty table the update adds a card, which the emptiness check must see.
    const int before = PresentedCount();
    if (EditRow(false)) {
        RefreshCount();
        if (PresentedCount() != before)
            Test_Tabel_Gol();
    }
}

void Tfrm_admin::grid_libraryDblClick() {
    act_modExecute();
}

void Tfrm_admin::act_delExecute() {
    if (!EnsureLibrary())
        return;
    TTable *table = dm->tb_library;
    if (PresentedCount() <= 0) {
        EditorMessages::Plain(this, QStringLiteral("No more records"));
    } else {
        QString word;
        Guarded([&] { word = table->FieldAsString(QStringLiteral("Word")); });
        if (EditorMessages::YesNo(this, QStringLiteral("Delete: ") + word + QStringLiteral(" ?")) ==
            mrYes)
            Guarded([table] { table->Delete(); });
        RefreshCount();
    }
    Test_Tabel_Gol();
}

void Tfrm_admin::DeleteFromGrid() {
    TTable *table = dm->tb_library;
    if (PresentedCount() <= 0)
        return;
    if (!EditorMessages::OkCancel(this, QStringLiteral("Delete record?")))
        return;
    Guarded([table] { table->Delete(); });
    // Unlike a bare grid delete, the count and the empty-table state follow.
    RefreshCount();
    Test_Tabel_Gol();
}

void Tfrm_admin::grid_libraryTitleClick(int column) {
    if (!EnsureLibrary())
        return;
    const QString field = model ? model->FieldAt(column) : QString();
    if (field.isEmpty())
        return;
    TTable *table = dm->tb_library;
    const QString ascending = field + QStringLiteral(" ASC");
    bool sorted = false;
    Guarded([&] {
        sorted = SortWithProgress(
            this, table, table->Sort() == ascending ? field + QStringLiteral(" DESC") : ascending);
    });
    if (sorted)
        grid_library->scrollToTop();
}

void Tfrm_admin::ApplySearch() {
    // The first search of a large library reads every word into the search index.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    TTable *table = dm->tb_library;
    const QString text = EditFiltru->text();
    if (!text.isEmpty()) {
        QString pattern = QStringLiteral("%") + text + QStringLiteral("%");
        pattern.replace(QLatin1Char('\''), QStringLiteral("''"));
        table->SetFilter(QStringLiteral("Word Like '") + pattern + QStringLiteral("'"));
        table->SetFiltered(true);
    } else {
        table->SetFiltered(false);
    }
}

void Tfrm_admin::EditFiltruChange() {
    // The editor may be hidden while the search box keeps its text for the next show.
    if (!isVisible())
        return;
    if (!EnsureLibrary())
        return;
    Guarded([this] { ApplySearch(); });
    Test_Tabel_Gol();
}
