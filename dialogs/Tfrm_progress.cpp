#include "dialogs/Tfrm_progress.h"

#include "dialogs/LearnerDialogSupport.h"
#include "dialogs/ProgressCharts.h"
#include "dialogs/ProgressSeries.h"
#include "dialogs/Tfrm_message.h"
#include "dialogs/ui_Tfrm_progress.h"
#include "platform/LexomatError.h"
#include "store/ProgressHistory.h"
#include "store/Tdm.h"
#include "widgets/FileDialogLayout.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QSaveFile>
#include <QScreen>

Tfrm_progress *frm_progress = nullptr;

namespace {
void ReplaceChart(QChartView *view, QChart *chart) {
    QChart *old = view->chart();
    view->setChart(chart); // the view owns the new chart and lets go of the old one
    delete old;
}
} // namespace

Tfrm_progress::Tfrm_progress(QWidget *parent) : QDialog(parent), ui(new Ui::Tfrm_progress) {
    ui->setupUi(this);
    lbNoProgress = ui->lbNoProgress;
    ChartPanel = ui->ChartPanel;
    ChartBoxes = ui->ChartBoxes;
    ChartDays = ui->ChartDays;
    bt_saveChart = ui->bt_saveChart;
    bt_close = ui->bt_close;

    PaintWhite(this);
    lbNoProgress->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    for (QChartView *view : {ChartBoxes, ChartDays}) {
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumHeight(160);
        view->setFocusPolicy(Qt::NoFocus); // the keys go to the buttons
    }
    for (TBitBtnWithColor *button : {bt_saveChart, bt_close})
        button->SetColor(Qt::white);
    bt_close->SetModalResult(mrCancel);
    bt_close->SetCancel(true);
    bt_close->SetDefault(true);
    connect(bt_saveChart, &QPushButton::clicked, this, &Tfrm_progress::bt_saveChartClick);
    ShowCharts(false);
}

Tfrm_progress::~Tfrm_progress() {
    delete ui;
}

int Tfrm_progress::ShowProgress(Tdm &dm, const ProgressRow &current) {
    libraryPath = dm.DatabasePath();
    setWindowTitle(QStringLiteral("Progress - ") + QFileInfo(libraryPath).fileName());
    try {
        SetProgress(ProgressHistory::Read(dm), current);
    } catch (const LexomatError &error) {
        SetProgressFailure(error.message());
    }
    return exec();
}

void Tfrm_progress::SetProgress(const std::vector<ProgressRow> &saved, const ProgressRow &current) {
    if (saved.empty()) {
        lbNoProgress->setText(QStringLiteral("No progress saved yet"));
        ShowCharts(false);
        return;
    }
    ReplaceChart(ChartBoxes,
                 ProgressCharts::BoxChart(ProgressSeries::BoxPoints(saved, current), font()));
    ReplaceChart(ChartDays, ProgressCharts::DayChart(
                                ProgressSeries::StudyDays(saved, current, ShownDays), font()));
    ShowCharts(true);
}

void Tfrm_progress::SetProgressFailure(const QString &message) {
    lbNoProgress->setText(message);
    ShowCharts(false);
}

void Tfrm_progress::ShowCharts(bool on) {
    ChartPanel->setVisible(on);
    lbNoProgress->setVisible(!on);
    bt_saveChart->setEnabled(on);
}

void Tfrm_progress::showEvent(QShowEvent *event) {
    // Placed once; after that it keeps where and how large the learner made it.
    if (!placed) {
        placed = true;
        FitOnScreen();
        CentreOverMainWindow(this);
    }
    QDialog::showEvent(event);
    bt_close->setFocus();
}

void Tfrm_progress::reject() {
    done(mrCancel);
}

void Tfrm_progress::FitOnScreen() {
    const QScreen *on = screen();
    if (!on)
        return;
    // The frame a window of this program gets, learnt from the one it opens over.
    QSize frame;
    if (const QWidget *over = parentWidget() ? parentWidget()->window() : nullptr)
        frame = over->frameGeometry().size() - over->geometry().size();
    const QSize room = on->availableGeometry().size() - frame;
    setMinimumSize(minimumSize().boundedTo(room));
    resize(size().boundedTo(room));
}

QString Tfrm_progress::AskChartFile() {
    const QFileInfo library(libraryPath);
    const QString folder = library.dir().exists() ? library.absolutePath() : QDir::currentPath();
    QFileDialog dialog(this, QStringLiteral("Save Chart As..."), folder);
    dialog.setObjectName(QStringLiteral("FileSaveChart1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("PNG Image (*.png)")});
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.selectFile(library.completeBaseName() + QStringLiteral(" progress.png"));
    ShowFileDetailsWhole(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void Tfrm_progress::bt_saveChartClick() {
    const QString path = AskChartFile();
    if (!path.isEmpty())
        SaveChart(path);
}

bool Tfrm_progress::SaveChart(const QString &path) {
    // Written beside the target and renamed over it when complete: a failed write
    // leaves an earlier picture of that name as it was.
    const QPixmap picture = ChartPanel->grab();
    QSaveFile file(path);
    QString reason;
    if (!file.open(QIODevice::WriteOnly))
        reason = file.errorString();
    else if (!picture.save(&file, "PNG"))
        reason = QStringLiteral("The picture could not be written.");
    else if (!file.commit())
        reason = file.errorString();
    if (reason.isEmpty())
        return true;
    file.cancelWriting();
    frm_message->setWindowTitle(QStringLiteral("Error"));
    frm_message->Label1->setText(QStringLiteral("\n\rThe chart could not be saved as \"%1\".\n\r")
                                     .arg(QDir::toNativeSeparators(path)) +
                                 reason);
    frm_message->Set1Button();
    frm_message->exec();
    return false;
}
