#pragma once

#include <cstdint>

// The one definition of the boxes and of how an answer moves a card's level.

// Box codes, as BoxFilter and the box viewer use them.
constexpr int32_t BoxDontKnow = -1;
constexpr int32_t BoxOne = 0;
constexpr int32_t BoxTwo = 1;
constexpr int32_t BoxThree = 2;
constexpr int32_t BoxKnow = 3;

int32_t BoxOfLevel(int32_t level);

// A right answer lifts a negative card straight to 0 and any other one level. A
// wrong one sends a card to -1, or one lower when it is already negative. Levels
// stop at the ends of the 32-bit range instead of wrapping around into the
// opposite box.
int32_t RaisedLevel(int32_t level);
int32_t LoweredLevel(int32_t level);

// The share of the list from which the next question is drawn after a streak of
// right (> 0) or wrong (< 0) answers. Held in single precision: those values decide
// the picks that would otherwise fall on exact halves.
float StreakFactor(int32_t streak);
