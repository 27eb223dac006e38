#pragma once

#include "platform/LexomatError.h"

#include <QString>
#include <exception>

// The reason a failure gives, for the line under a message: our own failures carry
// their text, others their what().
inline QString FailureText(const std::exception &e) {
    if (const auto *own = dynamic_cast<const LexomatError *>(&e))
        return own->message();
    return QString::fromUtf8(e.what());
}

// The same without the words of the library below, which FailureDetail gives (empty when
// there are none): an error box shows the reason and keeps those words as its detail.
inline QString FailureReason(const std::exception &e) {
    if (const auto *own = dynamic_cast<const LexomatError *>(&e))
        return own->reason();
    return QString::fromUtf8(e.what());
}
inline QString FailureDetail(const std::exception &e) {
    const auto *own = dynamic_cast<const LexomatError *>(&e);
    return own ? own->detail() : QString();
}
