#include "widgets/FileQuestion.h"

#include "widgets/FileDialogLayout.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {
// Asks before replacing a file itself, so that the question shows the name as it is,
// never as rich text.
class FileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList files = selectedFiles();
        if (acceptMode() == AcceptSave && files.size() == 1) {
            const QFileInfo chosen(files.first());
            if (chosen.exists() && !chosen.isDir()) {
                QMessageBox question(
                    QMessageBox::Warning, windowTitle(),
                    tr("%1 already exists.\nDo you want to replace it?").arg(chosen.fileName()),
                    QMessageBox::Yes | QMessageBox::No, this);
                question.setTextFormat(Qt::PlainText);
                question.setDefaultButton(QMessageBox::No);
                if (question.exec() != QMessageBox::Yes)
                    return;
            }
        }
        QFileDialog::accept();
    }
};
} // namespace

// A caption as a title shows it: "&Open..." names a menu item with its access key, and
// a title has none ("&&" stands for one ampersand).
QString WithoutAccessKeys(const QString &caption) {
    QString title;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        title += caption[i];
    }
    return title;
}

QString FileQuestion::Ask(QWidget *parent) const {
    FileDialog dialog(parent, WithoutAccessKeys(caption), folder);
    dialog.setObjectName(objectName);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // asked in accept() above
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    if (!selectedFilter.isEmpty())
        dialog.selectNameFilter(selectedFilter);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!suggested.isEmpty())
        dialog.selectFile(suggested);
    if (filterSuffixes.size() == filters.size()) {
        const QStringList entries = filters;
        const QStringList suffixes = filterSuffixes;
        const QString fallback = defaultSuffix;
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, entries, suffixes, fallback](const QString &filter) {
                             const QString suffix = suffixes.value(entries.indexOf(filter));
                             dialog.setDefaultSuffix(suffix.isEmpty() ? fallback : suffix);
                         });
    }
    ShowFileDetailsWhole(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
