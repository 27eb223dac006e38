#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;
class Tdm;

// While it lives, shows the learner what the data module is waiting for: a busy cursor
// at once, and after half a second a dialog ("in use by another program" with Cancel,
// or "Saving..."), with the windows still painting. Made around one store operation.
class StoreWaitFeedback {
public:
    StoreWaitFeedback(Tdm &dm, QWidget *parent, const QString &fileName);
    ~StoreWaitFeedback();
    StoreWaitFeedback(const StoreWaitFeedback &) = delete;
    StoreWaitFeedback &operator=(const StoreWaitFeedback &) = delete;

    static constexpr int DialogDelayMs = 500;

private:
    bool Waiting(bool fileInUse, qint64 elapsedMs);

    Tdm &dm;
    QWidget *parent;
    QString fileName;
    bool cursorSet = false;
    QPointer<QProgressDialog> dialog;
    QElapsedTimer sincePaint;
};
