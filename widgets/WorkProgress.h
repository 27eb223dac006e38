#pragma once

#include <QElapsedTimer>
#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

// The progress of long work on the window thread: a modal progress dialog with
// Cancel that appears only once the work has taken `delayMs` (half a second unless
// told), so short work shows nothing. When it goes, the windows beneath are painted
// again before anything else shows. Object name "WorkProgress"; its title is the
// program's name unless one is given.
class WorkProgress {
public:
    WorkProgress(QWidget *parent, const QString &text, int delayMs = 500,
                 const QString &title = QString());
    ~WorkProgress();
    // done of total (total 0: unknown). Returns false once the user has cancelled.
    bool Step(qint64 done, qint64 total, const QString &text = QString());
    bool Cancelled() const;
    bool Shown() const { return dialog != nullptr; }

private:
    QWidget *parent;
    QString text;
    int delayMs;
    QString title;
    QElapsedTimer clock;
    std::unique_ptr<QProgressDialog> dialog;
    bool cancelled = false;
};
