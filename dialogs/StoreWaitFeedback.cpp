#include "dialogs/StoreWaitFeedback.h"

#include "store/Tdm.h"
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QProgressDialog>

StoreWaitFeedback::StoreWaitFeedback(Tdm &dm, QWidget *parent, const QString &fileName)
    : dm(dm), parent(parent), fileName(QFileInfo(fileName).fileName()) {
    dm.SetWaitHandler([this](Tdm::Wait what, qint64 elapsedMs) {
        return Waiting(what == Tdm::Wait::FileInUse, elapsedMs);
    });
}

StoreWaitFeedback::~StoreWaitFeedback() {
    dm.SetWaitHandler({});
    delete dialog;
    if (cursorSet)
        QApplication::restoreOverrideCursor();
}

bool StoreWaitFeedback::Waiting(bool fileInUse, qint64 elapsedMs) {
    if (!cursorSet) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        cursorSet = true;
    }
    if (!dialog && elapsedMs >= DialogDelayMs) {
        dialog = new QProgressDialog(parent);
        // The file name is shown as it is, never read as markup.
        auto *label = new QLabel(dialog);
        label->setTextFormat(Qt::PlainText);
        dialog->setLabel(label);
        dialog->setObjectName(QStringLiteral("StoreWaitDialog"));
        dialog->setWindowTitle(QStringLiteral("Lexomat"));
        dialog->setRange(0, 0);
        dialog->setMinimumDuration(0);
        dialog->setAutoReset(false);
        dialog->setWindowModality(Qt::WindowModal);
        if (fileInUse) {
            dialog->setLabelText(
                QStringLiteral("\"%1\" is in use by another program.\nWaiting for it...")
                    .arg(fileName));
            dialog->setCancelButtonText(QStringLiteral("Cancel"));
        } else {
            dialog->setLabelText(QStringLiteral("Saving \"%1\"...").arg(fileName));
            dialog->setCancelButton(nullptr);
        }
        dialog->show();
    }
    // The windows keep painting; only the wait dialog takes clicks (Cancel).
    if (!sincePaint.isValid() || sincePaint.elapsed() >= 30) {
        QApplication::processEvents(dialog ? QEventLoop::AllEvents
                                           : QEventLoop::ExcludeUserInputEvents);
        sincePaint.start();
    }
    return !(dialog && dialog->wasCanceled());
}
