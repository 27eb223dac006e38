#pragma once

#include <QString>
#include <cstdint>

// Study seconds as "hh:mm:ss"; hours have no upper width and anything below one
// second shows as "00:00:00".
QString SecondsToText(int32_t seconds);
