#include "app/TForm1.h"

#include "app/LexomatApplication.h"
#include "app/TBevelPanel.h"
#include "dialogs/Tfrm_about.h"
#include "dialogs/Tfrm_fontalign.h"
#include "dialogs/Tfrm_lastq.h"
#include "dialogs/Tfrm_message.h"
#include "engine/LexomatList.h"
#include "engine/Random.h"
#include "platform/BesideFiles.h"
#include "platform/LinkOpener.h"
#include "platform/SoundPlayer.h"
#include "ui_TForm1.h"
#include "widgets/ModalResult.h"
#include "widgets/TextAlignment.h"
#include "widgets/WindowPlacement.h"
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFontDatabase>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <cstdlib>

TForm1 *Form1 = nullptr;

namespace {
std::function<void(int)> &endProgram() {
    static std::function<void(int)> end = [](int code) {
        for (QWidget *window : QApplication::topLevelWidgets())
            window->hide();
        std::exit(code);
    };
    return end;
}
bool handlingFailure = false;
bool endingAfterFailure = false;
} // namespace

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TForm1>()),
      cardList(std::make_unique<TLexomatList>()) {
    endingAfterFailure = false;
    ui->setupUi(this);
    Image4 = ui->Image4;
    Label5 = ui->Label5;
    lbTotalTime = ui->lbTotalTime;
    Label7 = ui->Label7;
    lbElapsedTime = ui->lbElapsedTime;
    Label1 = ui->Label1;
    Label2 = ui->Label2;
    Label3 = ui->Label3;
    Label4 = ui->Label4;
    Label6 = ui->Label6;
    Label8 = ui->Label8;
    lbCount = ui->lbCount;
    lbKnowsUE1 = ui->lbKnowsUE1;
    lbKnows0 = ui->lbKnows0;
    lbKnows1 = ui->lbKnows1;
    lbKnows2 = ui->lbKnows2;
    lbKnowsGE3 = ui->lbKnowsGE3;
    LabellTextWord = ui->LabellTextWord;
    Panel_definitie1 = ui->Panel_definitie1;
    Panel_definitie2 = ui->Panel_definitie2;
    Panel_definitie3 = ui->Panel_definitie3;
    Panel_definitie4 = ui->Panel_definitie4;
    Label_definitie1 = ui->Label_definitie1;
    Label_definitie2 = ui->Label_definitie2;
    Label_definitie3 = ui->Label_definitie3;
    Label_definitie4 = ui->Label_definitie4;
    LabelText1 = ui->LabelText1;
    Label9 = ui->Label9;
    MainMenu1 = ui->MainMenu1;
    File1 = ui->File1;
    Options1 = ui->Options1;
    Help1 = ui->Help1;
    act_library = ui->act_library;
    act_open = ui->act_open;
    act_close = ui->act_close;
    act_exit = ui->act_exit;
    act_reset = ui->act_reset;
    FontEdit1 = ui->FontEdit1;
    act_alignment = ui->act_alignment;
    act_about = ui->act_about;
    Open1 = ui->Open1;
    Save1 = ui->Save1;
    Exit2 = ui->Exit2;
    Pause1 = ui->Pause1;
    act_progress = ui->act_progress;

    // Fixed client area, no maximise button; the menu bar keeps the system font.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    MainMenu1->setFont(QApplication::font(MainMenu1));
    for (QLabel *label :
         {Label5, Label7, Label1, Label2, Label3, Label4, Label6, Label8, LabelText1})
        label->adjustSize();

    for (QLabel *label : {lbTotalTime, Label7, lbElapsedTime, lbCount, lbKnowsUE1, lbKnows0,
                          lbKnows1, lbKnows2, lbKnowsGE3})
        designedGeometry.insert(label, label->geometry());

    TimerElapsed = new QTimer(this);
    TimerElapsed->setObjectName(QStringLiteral("TimerElapsed"));
    TimerTotal = new QTimer(this);
    TimerTotal->setObjectName(QStringLiteral("TimerTotal"));
    wrongSound = new SoundPlayer(this);
    fontDialog = new QFontDialog(this);
    fontDialog->setObjectName(QStringLiteral("FontDialog1"));
    fontDialog->setOption(QFontDialog::DontUseNativeDialog);
    dialogFont = QFont(QStringLiteral("MS Sans Serif"));
    dialogFont.setPixelSize(11);

    // A library dropped from a file manager is opened (TForm1Files.cpp).
    setAcceptDrops(true);
    connectHandlers();
    FormCreate();
    TimerElapsed->start(1000);
    TimerTotal->start(1000);
}

TForm1::~TForm1() = default;

void TForm1::connectHandlers() {
    connect(act_library, &QAction::triggered, this, &TForm1::act_libraryExecute);
    connect(act_open, &QAction::triggered, this, &TForm1::act_openExecute);
    connect(act_close, &QAction::triggered, this, &TForm1::act_closeExecute);
    connect(act_exit, &QAction::triggered, this, &TForm1::act_exitExecute);
    connect(act_reset, &QAction::triggered, this, &TForm1::act_resetExecute);
    connect(FontEdit1, &QAction::triggered, this, &TForm1::FontEdit1Execute);
    connect(act_alignment, &QAction::triggered, this, &TForm1::act_alignmentExecute);
    connect(act_about, &QAction::triggered, this, &TForm1::act_aboutExecute);
    connect(Open1, &QAction::triggered, this, &TForm1::Open1Click);
    connect(Save1, &QAction::triggered, this, &TForm1::Save1Click);
    connect(Exit2, &QAction::triggered, this, &TForm1::Exit2Click);
    connect(Pause1, &QAction::triggered, this, &TForm1::Pause1Click);
    connect(act_progress, &QAction::triggered, this, &TForm1::act_progressExecute);
    connect(TimerElapsed, &QTimer::timeout, this, &TForm1::TimerElapsedTimer);
    connect(TimerTotal, &QTimer::timeout, this, &TForm1::TimerTotalTimer);

    clickHandlers = {
        {Label1, [this] { Label1Click(); }},         {lbCount, [this] { lbCountClick(); }},
        {Label2, [this] { Label2Click(); }},         {lbKnowsUE1, [this] { lbKnowsUE1Click(); }},
        {Label3, [this] { Label3Click(); }},         {lbKnows0, [this] { lbKnows0Click(); }},
        {Label4, [this] { Label4Click(); }},         {lbKnows1, [this] { lbKnows1Click(); }},
        {Label6, [this] { Label6Click(); }},         {lbKnows2, [this] { lbKnows2Click(); }},
        {Label8, [this] { Label8Click(); }},         {lbKnowsGE3, [this] { lbKnowsGE3Click(); }},
        {LabelText1, [this] { LabelText1Click(); }}, {Label9, [this] { Label9Click(); }},
    };
    for (int slot = 0; slot < 4; ++slot)
        clickHandlers.insert(GetLabel(slot), [this, slot] { Label_definitieClick(slot); });
    for (QObject *label : clickHandlers.keys())
        label->installEventFilter(this);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        doubleClicked = nullptr;
        break;
    case QEvent::MouseButtonDblClick:
        // The second press of a double click is no new click, as on the classic
        // platform: otherwise it would answer the question that the first one put.
        if (clickHandlers.contains(watched))
            doubleClicked = watched;
        break;
    case QEvent::MouseButtonRelease: {
        if (watched == doubleClicked) {
            doubleClicked = nullptr;
            return true;
        }
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const auto *widget = static_cast<QWidget *>(watched);
        if (mouse->button() == Qt::LeftButton &&
            widget->rect().contains(mouse->position().toPoint())) {
            const auto handler = clickHandlers.value(watched);
            if (handler) {
                handler();
                return true;
            }
        }
        break;
    }
    case QEvent::Enter:
        if (const int slot = SlotOf(watched); slot >= 0)
            DefinitionMouseEnter(slot);
        break;
    case QEvent::Leave:
        if (const int slot = SlotOf(watched); slot >= 0)
            DefinitionMouseLeave(slot);
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::keyPressEvent(QKeyEvent *event) {
    // Shift is how some keyboard layouts reach the digit row; a held key clicks once.
    const bool plain =
        (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) == Qt::NoModifier;
    if (plain && event->key() >= Qt::Key_1 && event->key() <= Qt::Key_4) {
        if (event->isAutoRepeat())
            return;
        Label_definitieClick(event->key() - Qt::Key_1);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TForm1::FormCreate() {
    if (auto *app = qobject_cast<LexomatApplication *>(QCoreApplication::instance()))
        app->SetFailureHandler(&TForm1::AppException);
    CreateLibraryFolder();
    SetStartupDir(QDir::currentPath());
    Image4->setPixmap(LoadBesidePicture(QStringLiteral("elements/logo.bmp")));
    const QStringList lines = ReadScrambledLines(QStringLiteral("elements/main.txt"), 3);
    // Only the window's own title: an application display name would be appended to
    // every window title by the platform.
    setWindowTitle(lines[0]);
    Label9->setText(lines[1]);
    Label9->adjustSize();
    Label9->move(830 - Label9->width(), Label9->y());
    s.SiteLink = lines[2];

    adjustSize();
    WindowPlacement::CentreOnScreen(this);
    QFont wordFont = LabellTextWord->font();
    wordFont.setBold(true);
    LabellTextWord->setFont(wordFont);
    s.DefinitionAlignment = 2;
    for (int slot = 0; slot < 4; ++slot)
        GetLabel(slot)->setAlignment(HorizontalAlignmentFromCode(2) | Qt::AlignVCenter);
    LexomatRandom::SeedFromClock();
    cardList->Clear();
    EnableAllButtons(false);
    s.LibraryOpen = false;
    s.Paused = false;
}

void TForm1::SeedRandom(uint64_t seed) {
    LexomatRandom::Seed(seed);
}

void TForm1::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (!shownOnce) {
        shownOnce = true;
        FormShow();
    }
}

void TForm1::FormShow() {
    dialogFont = font();
}

void TForm1::SetEndProgram(std::function<void(int)> end) {
    endProgram() = std::move(end);
}

void TForm1::AppException(const QString &message, bool canGoOn) {
    if (handlingFailure)
        return; // a second failure while reporting the first ends with it
    // A file that could not be read or written mid-session: the session stays in
    // memory and the save question still guards every way out.
    if (canGoOn && Form1 && frm_message) {
        handlingFailure = true;
        if (frm_message->isVisible()) {
            QMessageBox report(QMessageBox::Critical, QStringLiteral("Error"), message,
                               QMessageBox::Ok, Form1);
            report.setTextFormat(Qt::PlainText);
            report.exec();
        } else {
            Form1->ShowMessage(QStringLiteral("Error"), QStringLiteral("\n\r") + message, 1);
        }
        handlingFailure = false;
        return;
    }
    handlingFailure = true;
    endingAfterFailure = true;
    QMessageBox report(QMessageBox::Critical, QGuiApplication::applicationName(), message,
                       QMessageBox::Ok);
    report.setObjectName(QStringLiteral("FailureMessage"));
    report.setTextFormat(Qt::PlainText);
    report.exec();
    QMessageBox closing(QMessageBox::Critical, QGuiApplication::applicationName(),
                        QStringLiteral("Lexomat is closing...!!!"), QMessageBox::Ok);
    closing.setObjectName(QStringLiteral("ClosingMessage"));
    closing.exec();
    handlingFailure = false;
    endProgram()(1);
}

void TForm1::CreateLibraryFolder() {
    if (!QFileInfo(QStringLiteral("library")).isDir())
        QDir().mkdir(QStringLiteral("library"));
}

void TForm1::Label9Click() {
    OpenLink(QStringLiteral("http://") + s.SiteLink);
}

void TForm1::act_exitExecute() {
    close();
}
void TForm1::Exit2Click() {
    act_exitExecute();
}
void TForm1::Open1Click() {
    act_openExecute();
}
void TForm1::act_aboutExecute() {
    frm_about->exec();
}

void TForm1::act_alignmentExecute() {
    ChosenAlignment = static_cast<unsigned char>(s.DefinitionAlignment);
    if (frm_fontalign->exec() != mrYes)
        return;
    s.DefinitionAlignment = ChosenAlignment;
    const Qt::Alignment alignment =
        HorizontalAlignmentFromCode(s.DefinitionAlignment) | Qt::AlignVCenter;
    for (int slot = 0; slot < 4; ++slot)
        GetLabel(slot)->setAlignment(alignment);
    FitDefinitions();
    if (frm_lastq->Label2)
        frm_lastq->Label2->setAlignment(alignment);
}

void TForm1::FontEdit1Execute() {
    // The dialog lists installed faces only: offer the face that is really drawn.
    QFont offered = dialogFont;
    if (!QFontDatabase::hasFamily(offered.family()))
        offered.setFamily(QFont::substitute(offered.family()));
    fontDialog->setCurrentFont(offered);
    if (fontDialog->exec() == QDialog::Accepted)
        FontEdit1Accept(fontDialog->selectedFont());
}

void TForm1::FontEdit1Accept(const QFont &chosen) {
    dialogFont = chosen;
    setFont(chosen);
    QFont wordFont = LabellTextWord->font();
    if (chosen.pixelSize() > 0)
        wordFont.setPixelSize(chosen.pixelSize());
    else
        wordFont.setPointSizeF(chosen.pointSizeF());
    wordFont.setBold(true);
    LabellTextWord->setFont(wordFont);
    frm_lastq->setFont(chosen);
    FitDefinitions();
}

int TForm1::ShowMessage(const QString &caption, const QString &text, int buttons) {
    frm_message->setWindowTitle(caption);
    frm_message->Label1->setText(text);
    if (buttons == 3)
        frm_message->Set3Buttons();
    else if (buttons == 2)
        frm_message->Set2Buttons();
    else
        frm_message->Set1Button();
    return frm_message->exec();
}

void TForm1::ShowError(const QString &what, const LexomatError &error) {
    QString text = QStringLiteral("\n\r") + what + QStringLiteral("\n\r") + error.reason();
    if (!error.detail().isEmpty())
        text += QStringLiteral("\n\r\n\rDetails: ") + error.detail();
    ShowMessage(QStringLiteral("Error"), text, 1);
}

void TForm1::NoLibraryOpen() {
    ShowMessage(QStringLiteral("No Library"), QStringLiteral("\n\rNo Library Open."), 1);
}

void TForm1::EnableAllButtons(bool on) {
    act_reset->setEnabled(on);
    act_close->setEnabled(on);
}

void TForm1::ClearScreen() {
    for (int slot = 0; slot < 4; ++slot) {
        definitionTexts[slot].clear();
        GetLabel(slot)->clear();
        GetLabel(slot)->setToolTip(QString());
    }
    for (QLabel *counter : {lbCount, lbKnowsUE1, lbKnows0, lbKnows1, lbKnows2, lbKnowsGE3})
        counter->setText(QStringLiteral("0"));
    s.ElapsedSeconds = 0;
    s.TotalSeconds = 0;
    lbTotalTime->setText(QStringLiteral("00:00:00"));
    lbElapsedTime->setText(QStringLiteral("00:00:00"));
    LabellTextWord->clear();
    FitCounters();
}

void TForm1::closeEvent(QCloseEvent *event) {
    if (!endingAfterFailure && s.LibraryOpen && SaveCurrentSession() == mrCancel) {
        event->ignore();
        return;
    }
    LeaveLibrary();
    event->accept();
}
