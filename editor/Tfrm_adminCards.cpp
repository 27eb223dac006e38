// The editor's card commands: add, update, delete, sort by a title and search.
#include "dialogs/SortWithProgress.h"
#include "editor/EditorMessages.h"
#include "editor/Tfrm_addlibrary.h"
#include "editor/Tfrm_admin.h"
#include "platform/LexomatError.h"
#include "store/StoredLevels.h"
#include "store/TTable.h"
#include "store/TTableModel.h"
#include "store/Tdm.h"
#include "widgets/ModalResult.h"
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTableView>

namespace {
const QString LevelField = QStringLiteral("ImportanceField");

std::optional<int32_t> LevelOf(const QVariant &value) {
    bool whole = false;
    const int32_t level = value.toString().trimmed().toInt(&whole);
    return whole ? std::optional<int32_t>(level) : std::nullopt;
}
} // namespace

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
    std::optional<ShownCard> shown;
    if (!Guarded([&] {
            if (adding) {
                table->Append();
            } else {
                table->Edit();
                // An edit of an empty table adds a card instead.
                if (table->GetState() == TTable::State::Edit)
                    shown = ShownCard{table->FieldByName(QStringLiteral("ID")).toInt(),
                                      LevelOf(table->FieldByName(LevelField)),
                                      table->FieldAsString(QStringLiteral("Word"))};
            }
        }))
        return false;
    for (;;) {
        if (frm_addlibrary->exec() != mrOk) {
            table->Cancel();
            return false;
        }
        if (Guarded([&] { PostRow(table, shown); }))
            return true;
    }
}

void Tfrm_admin::PostRow(TTable *table, const std::optional<ShownCard> &shown) {
    if (!shown || !shown->level) {
        table->Post();
        return;
    }
    // The look and the write in one transaction: nothing comes between them.
    LibraryConnection &connection = dm->Connection();
    const QString what = QStringLiteral("Saving the card");
    std::optional<int32_t> overwritten; // a stored level the user chose to write over
    for (;;) {
        const std::optional<int32_t> typed = LevelOf(table->FieldByName(LevelField));
        QVariantList edited;
        const QStringList fields = table->FieldNames();
        for (const QString &field : fields)
            edited << table->FieldByName(field);
        connection.Begin(what);
        try {
            const std::optional<int32_t> stored = StoredLevels::LevelOf(connection, shown->id);
            if (stored && stored != shown->level && stored != typed && stored != overwritten) {
                if (typed != shown->level) {
                    connection.Rollback();
                    if (EditorMessages::YesNo(
                            this,
                            QString("Since \"%1\" was shown here, another program has changed "
                                    "its importance to %2. Overwrite it with %3?")
                                .arg(shown->word)
                                .arg(*stored)
                                .arg(typed ? QString::number(*typed) : QString())) == mrYes)
                        overwritten = stored;
                    else
                        table->SetFieldValue(LevelField, *stored); // the rest of the edit stays
                    continue;
                }
                // Left as it was shown: the other program's level stays.
                table->SetFieldValue(LevelField, *stored);
            }
            table->Post();
            connection.Commit(what);
            return;
        } catch (...) {
            // A post undone after it went through: the row is edited again as typed, so
            // that the dialog comes back with it.
            const bool posted = table->GetState() == TTable::State::Browse;
            connection.Rollback();
            if (posted) {
                table->Refresh();
                if (table->Locate(QStringLiteral("ID"), shown->id)) {
                    table->Edit();
                    for (qsizetype i = 0; i < fields.size(); ++i)
                        if (table->FieldByName(fields[i]) != edited[i])
                            table->SetFieldValue(fields[i], edited[i]);
                }
            }
            throw;
        }
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
