#include "dialogs/ProgressCharts.h"

#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QDateTimeAxis>
#include <QFont>
#include <QLineSeries>
#include <QLocale>
#include <QPen>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace ProgressCharts {

namespace {
const QColor BoxColors[5] = {QColor(214, 69, 65), QColor(240, 152, 56), QColor(240, 204, 70),
                             QColor(139, 195, 95), QColor(46, 139, 87)};
const QColor MinutesColor(70, 130, 180);
const QColor ShareColor(200, 90, 20);

QFont TitleFont(const QFont &font) {
    QFont title = font;
    title.setBold(true);
    if (font.pixelSize() > 0)
        title.setPixelSize(font.pixelSize() + 2);
    else
        title.setPointSizeF(font.pointSizeF() * 1.15);
    return title;
}

QChart *NewChart(const QString &title, const QFont &font) {
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->setTitleFont(TitleFont(font));
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setFont(font);
    return chart;
}

void StyleAxis(QAbstractAxis *axis, const QFont &font, const QString &title = {}) {
    axis->setLabelsFont(font);
    if (!title.isEmpty()) {
        axis->setTitleText(title);
        axis->setTitleFont(font);
    }
}

// Whole-number ticks (1, 2 or 5 times a power of ten) from 0, at most six of them up to
// `top`; the axis ends at `top` itself, or at the next tick when `roundUp`.
QValueAxis *CountAxis(double top, bool roundUp) {
    auto *axis = new QValueAxis;
    top = std::max(top, 1.0);
    double step = 1;
    for (double power = 1; step * 6 < top; power *= 10)
        for (double factor : {1.0, 2.0, 5.0, 10.0}) {
            step = factor * power;
            if (step * 6 >= top)
                break;
        }
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setRange(0, roundUp ? std::ceil(top / step) * step : top);
    axis->setLabelFormat(QStringLiteral("%i"));
    return axis;
}

QString DateFormat(int64_t span) {
    if (span <= 2 * 86400)
        return QStringLiteral("d MMM hh:mm");
    if (span <= 400 * 86400)
        return QStringLiteral("d MMM");
    return QStringLiteral("MMM yyyy");
}
} // namespace

QString BoxName(int box) {
    static const char *const names[5] = {"Don't Know", "Box 1", "Box 2", "Box 3", "Know"};
    return QString::fromLatin1(names[box]);
}

QChart *BoxChart(const std::vector<ProgressSeries::BoxPoint> &points, const QFont &font) {
    QChart *chart = NewChart(QStringLiteral("Cards in each box"), font);
    // Stacked from "Know" at the bottom up to "Don't Know": each area lies between the
    // running sum below it and that sum plus its own count.
    QList<QPointF> bounds[5];
    double top = 0;
    for (auto &b : bounds)
        b.reserve(qsizetype(points.size()));
    for (const ProgressSeries::BoxPoint &point : points) {
        const double x = double(point.SavedAt) * 1000.0;
        double sum = 0;
        for (int box = 4; box >= 0; --box) {
            sum += point.Boxes[size_t(box)];
            bounds[box].append(QPointF(x, sum));
        }
        top = std::max(top, sum);
    }
    auto *dates = new QDateTimeAxis;
    const int64_t first = points.empty() ? 0 : points.front().SavedAt;
    const int64_t last = points.empty() ? 0 : points.back().SavedAt;
    dates->setFormat(DateFormat(last - first));
    dates->setTickCount(6);
    // A single moment gets an hour around it, so that the area can be seen.
    const int64_t pad = last - first < 60 ? 1800 : 0;
    dates->setRange(QDateTime::fromSecsSinceEpoch(first - pad),
                    QDateTime::fromSecsSinceEpoch(last + pad));
    StyleAxis(dates, font);
    QValueAxis *cards = CountAxis(top, false);
    StyleAxis(cards, font, QStringLiteral("Cards"));
    chart->addAxis(dates, Qt::AlignBottom);
    chart->addAxis(cards, Qt::AlignLeft);
    QLineSeries *below = nullptr;
    QAreaSeries *areas[5] = {};
    for (int box = 4; box >= 0; --box) {
        auto *upper = new QLineSeries(chart);
        upper->replace(bounds[box]);
        auto *area = new QAreaSeries(upper, below);
        area->setName(BoxName(box));
        area->setColor(BoxColors[box]);
        area->setBorderColor(BoxColors[box].darker(115));
        areas[box] = area;
        if (box == 0)
            break;
        // The next box up starts where this one ends.
        below = new QLineSeries(chart);
        below->replace(bounds[box]);
    }
    // Added in the order of the boxes, so the legend reads from "Don't Know" to "Know".
    for (QAreaSeries *area : areas) {
        chart->addSeries(area);
        area->attachAxis(dates);
        area->attachAxis(cards);
    }
    return chart;
}

QChart *DayChart(const std::vector<ProgressSeries::StudyDay> &days, const QFont &font) {
    QChart *chart = NewChart(QStringLiteral("Minutes studied per day"), font);
    auto *minutes = new QBarSet(QStringLiteral("Minutes studied"));
    minutes->setColor(MinutesColor);
    minutes->setBorderColor(MinutesColor);
    auto *share = new QLineSeries;
    share->setName(QStringLiteral("Right at the first click (%)"));
    share->setPen(QPen(ShareColor, 2));
    share->setPointsVisible(true);
    double most = 0;
    QList<QPointF> shares;
    for (size_t i = 0; i < days.size(); ++i) {
        minutes->append(days[i].Minutes());
        most = std::max(most, days[i].Minutes());
        if (days[i].Answers > 0)
            shares.append(QPointF(double(i), days[i].RightPercent()));
    }
    share->replace(shares);
    auto *bars = new QBarSeries;
    bars->setBarWidth(0.7);
    bars->append(minutes);

    // One label a day for a short span, one a week for a longer one.
    auto *dayAxis = new QCategoryAxis;
    const int count = int(days.size());
    const int step = count <= 10 ? 1 : count <= 70 ? 7 : (count + 9) / 10;
    dayAxis->setStartValue(-0.5);
    dayAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    // The last day always has its label; the others count back from it.
    QList<int> labelled;
    for (int i = count - 1; i >= 0; i -= step)
        labelled.prepend(i);
    const QLocale locale;
    for (int i : labelled)
        dayAxis->append(locale.toString(days[size_t(i)].Day, QStringLiteral("d MMM")), i);
    dayAxis->setRange(-0.5, std::max(count, 1) - 0.5);
    dayAxis->setGridLineVisible(false);
    StyleAxis(dayAxis, font);
    QValueAxis *minuteAxis = CountAxis(most, true);
    StyleAxis(minuteAxis, font, QStringLiteral("Minutes"));
    auto *percentAxis = new QValueAxis;
    percentAxis->setRange(0, 100);
    percentAxis->setTickCount(5);
    percentAxis->setLabelFormat(QStringLiteral("%i%%"));
    percentAxis->setGridLineVisible(false);
    StyleAxis(percentAxis, font, QStringLiteral("Right at the first click"));

    chart->addAxis(dayAxis, Qt::AlignBottom);
    chart->addAxis(minuteAxis, Qt::AlignLeft);
    chart->addAxis(percentAxis, Qt::AlignRight);
    chart->addSeries(bars);
    bars->attachAxis(dayAxis);
    bars->attachAxis(minuteAxis);
    chart->addSeries(share);
    share->attachAxis(dayAxis);
    share->attachAxis(percentAxis);
    return chart;
}

} // namespace ProgressCharts
