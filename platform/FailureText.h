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
