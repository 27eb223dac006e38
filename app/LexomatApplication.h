#pragma once

#include <QApplication>
#include <functional>

// The application object. Qt does not carry exceptions through its event loop, so
// notify() catches what an event handler throws and hands it to the failure handler
// (the main window's AppException). A LexomatError (a file that cannot be read or
// written) is one the program can go on after; anything else ends it.
class LexomatApplication : public QApplication {
    Q_OBJECT
public:
    LexomatApplication(int &argc, char **argv);

    using FailureHandler = std::function<void(const QString &message, bool canGoOn)>;
    void SetFailureHandler(FailureHandler handler);
    void HandleFailure(const QString &message, bool canGoOn = false);

    bool notify(QObject *receiver, QEvent *event) override;

private:
    FailureHandler onFailure;
};
