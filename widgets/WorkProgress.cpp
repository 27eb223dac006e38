#include "widgets/WorkProgress.h"

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>

WorkProgress::WorkProgress(QWidget *parent, const QString &text, int delayMs, const QString &title)
    : parent(parent), text(text), delayMs(delayMs),
      title(title.isEmpty() ? QApplication::applicationName() : title) {
    clock.start();
}

WorkProgress::~WorkProgress() {
    if (!dialog)
        return;
    // What the dialog covered is painted again before whatever follows the work (a
    // message box, say) takes the screen.
    dialog->hide();
    dialog.reset();
    if (parent)
        parent->window()->update();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool WorkProgress::Step(qint64 done, qint64 total, const QString &newText) {
    if (!newText.isEmpty())
        text = newText;
    if (!dialog) {
        if (clock.elapsed() < delayMs)
            return !cancelled;
        dialog = std::make_unique<QProgressDialog>(text, QStringLiteral("Cancel"), 0, 0, parent);
        // File names in the text are shown as they are, never read as markup.
        auto *label = new QLabel(text, dialog.get());
        label->setTextFormat(Qt::PlainText);
        dialog->setLabel(label);
        dialog->setObjectName(QStringLiteral("WorkProgress"));
        dialog->setWindowTitle(title);
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->setMinimumDuration(0);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        dialog->show();
    }
    // Whole percent steps keep the repaints few on long work.
    const int maximum = total > 0 ? 1000 : 0;
    if (dialog->maximum() != maximum)
        dialog->setMaximum(maximum);
    dialog->setLabelText(text);
    dialog->setValue(total > 0 ? int(done * 1000 / total) : 0);
    QApplication::processEvents();
    cancelled = cancelled || dialog->wasCanceled();
    return !cancelled;
}

bool WorkProgress::Cancelled() const {
    return cancelled;
}
