#pragma once

#include "dialogs/ProgressSeries.h"
#include <QString>
#include <vector>

class QChart;
class QFont;

// The two charts of the progress window, built from the worked-out series. Every
// text takes the given font; the titles take it bold and a little larger.
namespace ProgressCharts {

// The box names as the counters of the main window call them, in the order of
// ProgressRow::Boxes.
QString BoxName(int box);

// The five boxes stacked over time, one area series per box named after it, "Know" at
// the bottom; the date on the axis below.
QChart *BoxChart(const std::vector<ProgressSeries::BoxPoint> &points, const QFont &font);

// Minutes studied per day as bars, and the share of first-click right answers per day
// (in per cent, on the axis at the right) as a line through the days with answers.
QChart *DayChart(const std::vector<ProgressSeries::StudyDay> &days, const QFont &font);

} // namespace ProgressCharts
