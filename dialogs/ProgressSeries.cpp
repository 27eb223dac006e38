#include "dialogs/ProgressSeries.h"

#include <QDateTime>
#include <algorithm>
#include <map>

namespace ProgressSeries {

std::vector<BoxPoint> BoxPoints(const std::vector<ProgressRow> &saved, const ProgressRow &current) {
    std::vector<BoxPoint> points;
    points.reserve(saved.size() + 1);
    for (const ProgressRow &row : saved)
        points.push_back({row.SavedAt, row.Boxes});
    std::stable_sort(points.begin(), points.end(),
                     [](const BoxPoint &a, const BoxPoint &b) { return a.SavedAt < b.SavedAt; });
    const int64_t last = points.empty() ? current.SavedAt : points.back().SavedAt;
    points.push_back({std::max(current.SavedAt, last), current.Boxes});
    return points;
}

namespace {
QDate LocalDay(int64_t savedAt) {
    return QDateTime::fromSecsSinceEpoch(savedAt).date();
}
bool Studied(const ProgressRow &row) {
    return row.StudySeconds > 0 || row.Answers > 0;
}
} // namespace

std::vector<StudyDay> StudyDays(const std::vector<ProgressRow> &saved, const ProgressRow &current,
                                int maxDays) {
    std::map<QDate, StudyDay> byDay;
    auto add = [&byDay](const ProgressRow &row) {
        if (!Studied(row))
            return;
        StudyDay &day = byDay[LocalDay(row.SavedAt)];
        day.Seconds += row.StudySeconds;
        day.Answers += row.Answers;
        day.RightFirst += row.RightFirst;
    };
    for (const ProgressRow &row : saved)
        add(row);
    add(current);
    std::vector<StudyDay> days;
    if (byDay.empty() || maxDays < 1)
        return days;
    const QDate last = byDay.rbegin()->first;
    const QDate first = std::max(byDay.begin()->first, last.addDays(1 - maxDays));
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        const auto found = byDay.find(day);
        StudyDay entry = found == byDay.end() ? StudyDay{} : found->second;
        entry.Day = day;
        days.push_back(entry);
    }
    return days;
}

} // namespace ProgressSeries
