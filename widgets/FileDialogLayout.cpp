#include "widgets/FileDialogLayout.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>

void ShowFileDetailsWhole(QFileDialog &dialog) {
    dialog.setSizeGripEnabled(true);
    dialog.resize(dialog.sizeHint().expandedTo(QSize(760, 460)));
    // The name takes what the others leave; size, type and date are never cut.
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        QHeaderView *header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}
