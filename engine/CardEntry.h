#pragma once

#include <cstdint>

// One card of the open library as the study engine sees it: its level and its ID.
struct TCardEntry {
    int32_t ImportanceField = 0;
    int32_t ID = 0;
};
