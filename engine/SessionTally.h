#pragma once

#include <cstdint>
#include <limits>

// What was studied since the library was opened or last saved: the seconds the clocks
// ran, the questions scored, how many of them were right at the first click, and
// whether the library was reset in between. A save records it and starts a new one.
struct TSessionTally {
    int32_t Seconds = 0;
    int32_t Answers = 0;
    int32_t RightFirst = 0;
    bool Reset = false;

    void Tick() { Grow(Seconds); }
    void Score(bool rightAtFirstClick) {
        Grow(Answers);
        if (rightAtFirstClick)
            Grow(RightFirst);
    }
    // A save with nothing studied and no reset has no session to record.
    bool Empty() const { return Seconds == 0 && Answers == 0 && !Reset; }

private:
    static void Grow(int32_t &value) {
        if (value < std::numeric_limits<int32_t>::max())
            ++value;
    }
};
