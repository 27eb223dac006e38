#pragma once

#include <QString>
#include <stdexcept>

// The one failure type that the program's layers throw: it carries a message meant
// for the learner (file name and reason), which the failure handler shows as is. A
// failure that comes from a library below may carry that library's own words as a
// detail: message() then ends with them on a line of their own, reason() leaves them out.
class LexomatError : public std::runtime_error {
public:
    explicit LexomatError(const QString &message, const QString &detail = QString())
        : std::runtime_error(Joined(message, detail).toStdString()), text(Joined(message, detail)),
          plain(message), words(detail) {}
    const QString &message() const { return text; }
    const QString &reason() const { return plain; }
    const QString &detail() const { return words; }

private:
    static QString Joined(const QString &message, const QString &detail) {
        return detail.isEmpty() ? message : message + QLatin1Char('\n') + detail;
    }

    QString text;
    QString plain;
    QString words;
};
