#include "app/LexomatApplication.h"

#include "platform/LexomatError.h"
#include <cstdlib>

LexomatApplication::LexomatApplication(int &argc, char **argv) : QApplication(argc, argv) {}

void LexomatApplication::SetFailureHandler(FailureHandler handler) {
    onFailure = std::move(handler);
}

void LexomatApplication::HandleFailure(const QString &message, bool canGoOn) {
    if (onFailure) {
        onFailure(message, canGoOn);
        return;
    }
    qCritical("%s", qPrintable(message));
    std::exit(1);
}

bool LexomatApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const LexomatError &error) {
        HandleFailure(error.message(), true);
    } catch (const std::exception &error) {
        HandleFailure(QString::fromLocal8Bit(error.what()));
    }
    return false;
}
