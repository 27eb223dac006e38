#include "dialogs/SortWithProgress.h"

#include "store/TTable.h"
#include "widgets/WorkProgress.h"

#include <QApplication>
#include <QScopeGuard>

bool SortWithProgress(QWidget *parent, TTable *table, const QString &sortText) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    WorkProgress progress(parent, QStringLiteral("Sorting the cards..."));
    bool shown = false;
    table->SetWorkProgress([&](qint64 done, qint64 total) {
        const bool goOn = progress.Step(done, total);
        if (!shown && progress.Shown()) {
            // The pointer must show that Cancel can be clicked.
            shown = true;
            QApplication::changeOverrideCursor(Qt::BusyCursor);
        }
        return goOn;
    });
    const auto restore = qScopeGuard([table] {
        table->SetWorkProgress(nullptr);
        QApplication::restoreOverrideCursor();
    });
    return table->SetSort(sortText);
}
