#pragma once

#include <QDialog>
#include <vector>

// The progress window: the five boxes of the open library over its saved sessions,
// with the unsaved session as the last point, and the minutes studied per day with
// the share of first-click right answers. Resizable; the charts follow its size.
class QChartView;
class QLabel;
class QWidget;
class TBitBtnWithColor;
class Tdm;
struct ProgressRow;
namespace Ui {
class Tfrm_progress;
}

class Tfrm_progress : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_progress(QWidget *parent = nullptr);
    ~Tfrm_progress() override;

    // Reads the progress saved in the library open in `dm` and shows it modally.
    int ShowProgress(Tdm &dm, const ProgressRow &current);
    // Draws the saved rows and the unsaved session; "No progress saved yet" without rows.
    void SetProgress(const std::vector<ProgressRow> &saved, const ProgressRow &current);
    // Shows why the saved progress could not be read, instead of the charts.
    void SetProgressFailure(const QString &message);

    void bt_saveChartClick();            // "Save Chart As...": both charts as one PNG picture
    bool SaveChart(const QString &path); // reports a failure in the message box

    // The days the bar chart covers at most.
    static constexpr int ShownDays = 60;

    QLabel *lbNoProgress = nullptr;
    QWidget *ChartPanel = nullptr;
    QChartView *ChartBoxes = nullptr;
    QChartView *ChartDays = nullptr;
    TBitBtnWithColor *bt_saveChart = nullptr;
    TBitBtnWithColor *bt_close = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

public slots:
    void reject() override;

private:
    void ShowCharts(bool on);
    // On a screen smaller than the window (a small one, or a large scale factor) it opens
    // as large as there is room for, its buttons within reach.
    void FitOnScreen();
    QString AskChartFile();

    Ui::Tfrm_progress *ui;
    QString libraryPath;
    bool placed = false;
};

extern Tfrm_progress *frm_progress;
