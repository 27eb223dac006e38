#pragma once

#include <QString>
#include <cstdint>

// One card as read from the library file; the all-empty record stands for a card
// that the file does not hold.
struct MyTextDatabaseRec {
    int32_t ImportanceField = 0;
    int32_t ID = 0;
    QString Word;
    QString Definition;
};
