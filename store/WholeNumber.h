#pragma once

#include <QVariant>
#include <cstdint>
#include <optional>

// A field's value as a whole 32-bit number: an integer in range, a real without a
// fraction, or a text of one (blanks around it allowed). Empty for anything else, an
// empty value included: a number made up here would be written back as if stored.
std::optional<int32_t> WholeNumberOf(const QVariant &value);
