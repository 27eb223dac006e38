#pragma once

#include "store/ProgressHistory.h"
#include <QDate>
#include <array>
#include <cstdint>
#include <vector>

// What the progress window draws, worked out from the saved rows and the unsaved
// session, apart from the charts that draw it.
namespace ProgressSeries {

// The five boxes at one moment.
struct BoxPoint {
    int64_t SavedAt = 0; // UTC seconds
    std::array<int32_t, 5> Boxes{};
};

// One point per saved row in the order of their times (rows of one time in the order
// saved), then the unsaved session. A clock that was set back cannot draw the
// unsaved session before the last saved point: it stands at that point's time then.
std::vector<BoxPoint> BoxPoints(const std::vector<ProgressRow> &saved, const ProgressRow &current);

// Study of one calendar day (local time).
struct StudyDay {
    QDate Day;
    int64_t Seconds = 0;
    int64_t Answers = 0;
    int64_t RightFirst = 0;
    double Minutes() const { return Seconds / 60.0; }
    // The share of first-click right answers, 0 to 100; -1 without answers.
    double RightPercent() const { return Answers > 0 ? 100.0 * RightFirst / Answers : -1; }
};

// Every day of the at most `maxDays` days that end with the last day on which anything
// was studied (the unsaved session included), days without study as zero; none when
// nothing was ever studied.
std::vector<StudyDay> StudyDays(const std::vector<ProgressRow> &saved, const ProgressRow &current,
                                int maxDays);

} // namespace ProgressSeries
