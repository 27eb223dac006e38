#pragma once

#include "engine/SessionTally.h"
#include "platform/LexomatError.h"
#include "store/LibraryHold.h"
#include "store/MyTextDatabaseRec.h"
#include <QFont>
#include <QHash>
#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QFontDialog;
class QLabel;
class QMenu;
class QMenuBar;
class QTimer;
class SoundPlayer;
class TBevelPanel;
class TLexomatList;
struct ProgressRow;
namespace SessionStore {
struct OtherChanges;
}
namespace Ui {
class TForm1;
}

// The study state of the main window; tests read it through TForm1::State().
struct TStudyState {
    QString SiteLink;
    int DefinitionAlignment = 2; // 0 left, 1 right, 2 centre
    bool LibraryOpen = false;
    bool Studying = false;
    bool Paused = false;
    int32_t ElapsedSeconds = 0;
    int32_t TotalSeconds = 0;
    int32_t StoredSeconds = 0; // the study time the file held when read or last saved
    int32_t QuestionIndex = 0;
    int32_t QuestionID = 0;
    int32_t RightSlot = 0;
    MyTextDatabaseRec CurrentCard;
    MyTextDatabaseRec LastCard;
    bool Answered = false;
    TSessionTally Unsaved; // studied since the library was opened or last saved
};

// The main window: one word, four candidate definitions, the box counters and clocks.
// Its behaviour lives in TForm1.cpp (start-up, menus, settings), TForm1Study.cpp
// (opening, saving, questions), TForm1Status.cpp (clocks, pause, counters) and
// TForm1Files.cpp (files from the desktop).
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // Start-up, settings and small operations.
    void FormCreate();
    void FormShow();
    static void AppException(const QString &message, bool canGoOn = false);
    void Label9Click();
    void act_exitExecute();
    void act_aboutExecute();
    void act_alignmentExecute();
    void FontEdit1Execute();
    void FontEdit1Accept(const QFont &chosen);
    void Open1Click();
    void Exit2Click();
    void NoLibraryOpen();
    void EnableAllButtons(bool on);
    void ClearScreen();
    static void CreateLibraryFolder();

    // Opening, closing, resetting and saving.
    void act_openExecute();
    // The open path after the file dialog; a claim made for path before the library open
    // then was left is used, else the claim is made here.
    bool OpenLibrary(const QString &path, std::optional<LibraryClaim> claim = std::nullopt);
    void act_closeExecute();
    void act_resetExecute();
    void act_libraryExecute();
    void Save1Click();
    int SaveCurrentSession();
    // A file handed over by the desktop (the file argument, a drop): a library is
    // opened to study after the save question; a workbook or vocabulary file goes to
    // the library editor's import, into a new untitled library.
    void OpenFile(const QString &path);
    void PopulateList();

    // Questions and answers.
    void PutQuestions();
    bool TryPutQuestions(); // reports a failure and keeps the question on screen
    QLabel *GetLabel(int slot) const;
    // Counters and clocks grow to show their whole text, neighbours moving apart.
    void FitCounters();
    void Label_definitieClick(int slot); // the mouse or keys 1 to 4, under the guard
    void definitieClick(int slot);
    void Answer(int slot);
    void DefinitionMouseEnter(int slot);
    void DefinitionMouseLeave(int slot);
    void LabelText1Click();

    // Clocks, pause and counters.
    void TimerElapsedTimer();
    void TimerTotalTimer();
    void SetTotalTime();
    void Pause1Click();
    void VisualFeedback();
    void Label1Click();
    void lbCountClick();
    void Label2Click();
    void lbKnowsUE1Click();
    void Label3Click();
    void lbKnows0Click();
    void Label4Click();
    void lbKnows1Click();
    void Label6Click();
    void lbKnows2Click();
    void Label8Click();
    void lbKnowsGE3Click();
    void ImageXClick(const QString &heading, int32_t boxCode);

    // Progress over time.
    void act_progressExecute();
    ProgressRow SessionProgress() const; // the unsaved session, as a save would record it

    const TStudyState &State() const { return s; }
    const TLexomatList &CardList() const { return *cardList; }
    QColor DefinitionTextColor() const;
    SoundPlayer *WrongSound() const { return wrongSound; }
    QFontDialog *FontDialog() const { return fontDialog; }
    void SeedRandom(uint64_t seed);

    // How the failure handler ends the program; tests observe it instead.
    static void SetEndProgram(std::function<void(int exitCode)> end);

    // Controls, named as in the window's design.
    QLabel *Image4, *Label5, *lbTotalTime, *Label7, *lbElapsedTime;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label6, *Label8;
    QLabel *lbCount, *lbKnowsUE1, *lbKnows0, *lbKnows1, *lbKnows2, *lbKnowsGE3;
    QLabel *LabellTextWord;
    TBevelPanel *Panel_definitie1, *Panel_definitie2, *Panel_definitie3, *Panel_definitie4;
    QLabel *Label_definitie1, *Label_definitie2, *Label_definitie3, *Label_definitie4;
    QLabel *LabelText1, *Label9;
    QMenuBar *MainMenu1;
    QMenu *File1, *Options1, *Help1;
    QAction *act_library, *act_open, *act_close, *act_exit, *act_reset, *FontEdit1, *act_alignment,
        *act_about, *Open1, *Save1, *Exit2, *Pause1, *act_progress;
    // The menu items of the classic menus are the actions themselves.
    QAction *&NewLibraryFile1 = act_library, *&OpenLibraryFile1 = act_open, *&Close1 = act_close,
            *&Exit1 = act_exit, *&Reset1 = act_reset, *&Font1 = FontEdit1,
            *&FontAlignment1 = act_alignment, *&About1 = act_about;
    QTimer *TimerElapsed, *TimerTotal;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void connectHandlers();
    void LeaveLibrary();
    // The claim to open path; asks first when another running copy has it open.
    std::optional<LibraryClaim> ClaimLibrary(const QString &path);
    void EndPause();
    void SetTextColor(const QColor &color);
    bool WriteSession(); // levels, time and progress, all or nothing; reports a failure
    // Asked when another program changed levels or time since they were read: mrYes
    // overwrites them, mrNo keeps them, mrCancel writes nothing.
    int AskOverwrite(const SessionStore::OtherChanges &changes);
    void TellKept(const SessionStore::OtherChanges &changes);
    void ShowViewer(); // the box viewer over tb_library as the caller set it up
    // The definitions as the panels can show them, each long one cut with "…" and whole
    // in its tool tip.
    void FitDefinitions();
    int ShowMessage(const QString &caption, const QString &text, int buttons);
    // An error box: what failed, the failure's reason, and a library's own words (if
    // any) set apart as the detail after them.
    void ShowError(const QString &what, const LexomatError &error);
    bool DefinitionsActive() const { return s.LibraryOpen && !s.Paused; }
    TBevelPanel *GetPanel(int slot) const;
    int SlotOf(QObject *label) const;

    std::unique_ptr<Ui::TForm1> ui;
    std::unique_ptr<TLexomatList> cardList;
    TStudyState s;
    SoundPlayer *wrongSound = nullptr;
    QFontDialog *fontDialog = nullptr;
    QFont dialogFont; // what the font dialog starts with
    bool shownOnce = false;
    QObject *doubleClicked = nullptr; // its next release ends a double click
    QHash<QObject *, std::function<void()>> clickHandlers;
    QHash<QLabel *, QRect> designedGeometry; // of the counters and clocks
    QString definitionTexts[4];              // whole, as the panels are given them
};

extern TForm1 *Form1;
