#pragma once

#include <QString>
#include <stdexcept>

// The one failure type that the program's layers throw: it carries a message meant
// for the learner (file name and reason), which the failure handler shows as is.
class LexomatError : public std::runtime_error {
public:
    explicit LexomatError(const QString &message)
        : std::runtime_error(message.toStdString()), text(message) {}
    const QString &message() const { return text; }

private:
    QString text;
};
