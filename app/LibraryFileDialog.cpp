#include "app/LibraryFileDialog.h"

#include "widgets/FileDialogLayout.h"
#include <QFileDialog>

const char *const LibraryFileFilter =
    "Library File(Access Database *.mdb)|*.mdb|All Files (*.*)|*.*";

QString QtNameFilters(const QString &classicFilter) {
    const QStringList parts = classicFilter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString &pattern : patterns)
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*"); // every file, also those without a dot
        filters << parts[i] + QStringLiteral(" (") + patterns.join(' ') + ')';
    }
    return filters.join(QStringLiteral(";;"));
}

QString AskLibraryFile(QWidget *parent, const QString &startFolder) {
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("FileOpen1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(QtNameFilters(QString::fromLatin1(LibraryFileFilter)).split(";;"));
    dialog.setDirectory(startFolder);
    // The filter reads as written ("Library File(Access Database *.mdb)").
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    ShowFileDetailsWhole(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
