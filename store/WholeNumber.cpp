#include "store/WholeNumber.h"

#include <cmath>
#include <limits>

std::optional<int32_t> WholeNumberOf(const QVariant &value) {
    if (value.typeId() == QMetaType::Int)
        return value.toInt();
    bool ok = false;
    qlonglong n = 0;
    if (value.isNull()) {
        ok = false;
    } else if (value.typeId() == QMetaType::Double) {
        const double v = value.toDouble();
        ok = std::trunc(v) == v && v >= std::numeric_limits<int>::min() &&
             v <= std::numeric_limits<int>::max();
        n = ok ? qlonglong(v) : 0;
    } else if (value.typeId() == QMetaType::QString) {
        n = value.toString().trimmed().toLongLong(&ok);
    } else {
        n = value.toLongLong(&ok);
    }
    if (ok && n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
        return int32_t(n);
    return std::nullopt;
}
