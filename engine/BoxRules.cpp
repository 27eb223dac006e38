#include "engine/BoxRules.h"

#include <limits>

int32_t BoxOfLevel(int32_t level) {
    if (level <= -1)
        return BoxDontKnow;
    if (level >= 3)
        return BoxKnow;
    return level;
}

int32_t RaisedLevel(int32_t level) {
    if (level <= -1)
        return 0;
    return level < std::numeric_limits<int32_t>::max() ? level + 1 : level;
}

int32_t LoweredLevel(int32_t level) {
    if (level >= 0)
        return -1;
    return level > std::numeric_limits<int32_t>::min() ? level - 1 : level;
}

float StreakFactor(int32_t streak) {
    switch (streak) {
    case -1:
        return 0.8f;
    case -2:
        return 0.85f;
    case -3:
        return 0.9f;
    case 1:
        return 0.2f;
    case 2:
        return 0.15f;
    case 3:
        return 0.1f;
    default:
        return streak < 0 ? 0.95f : 0.05f;
    }
}
