#pragma once

#include "store/LibraryHold.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTableView;
class TTable;
class TTableModel;
class UntitledLibrary;
namespace Ui {
class Tfrm_admin;
}

// The library editor: the cards of one library file in a grid, searched, sorted,
// added, updated and deleted through the record dialog; and its file commands.
// A library is "nothing open", "untitled" (a temporary file in the start-up folder,
// named by a random number; see UntitledLibrary) or "named".
// Every failure of the store is shown in an error box; the editor stays usable.
class Tfrm_admin : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_admin(QWidget *parent = nullptr);
    ~Tfrm_admin() override;

    // Window
    void FormShow();
    void FormResize();
    bool FormClose(); // false refuses the closing
    void EnableAllButtons(bool enable);
    void Test_Tabel_Gol();
    void FontEdit1Accept(const QFont &font);

    // Cards
    void act_addExecute();
    void act_modExecute();
    void act_delExecute();
    void grid_libraryDblClick();
    void grid_libraryTitleClick(int column);
    void EditFiltruChange();
    QString OnGetText(const QVariant &value) const;

    // Library files
    void CreateTempDatabase();
    void act_newExecute();
    void act_openExecute();
    void act_saveExecute();
    void act_exitExecute();
    bool FileOpen1Accept(const QString &fileName);
    bool FileSaveAs1Accept(const QString &fileName);
    int SaveCurrentLibrary();
    // Offers back untitled libraries that an earlier run left behind.
    void OfferUnsavedLibraries();

    // The workbook import and export, connected by their own flows.
    void FileOpen2Accept();
    void FileSaveAs2Accept();

    // Files handed over by the desktop (Tfrm_adminDrops.cpp). A workbook or vocabulary
    // file is imported as "Import Excel File" imports the file its dialog gives; a
    // library is opened as "Open..." opens one.
    void ImportFile(const QString &path);
    void OpenLibraryFile(const QString &path);
    // The next showing of the window imports `path` into a new untitled library.
    void ImportWhenShown(const QString &path) { pendingImport = path; }

    // What the editor has open: at most one of the two flags is true, both false when
    // nothing is open. They change only through SetCurrentLibrary.
    bool EditingTempLibrary = false;
    bool EditingLibraryFile = false;
    QString TempLibraryPath;

    QMenuBar *MainMenu1 = nullptr;
    QFrame *group_up = nullptr, *group_center = nullptr, *Panel1 = nullptr;
    QLabel *Label1 = nullptr, *lbWords = nullptr, *panel_hide_gol = nullptr;
    QLineEdit *EditFiltru = nullptr;
    QTableView *grid_library = nullptr;
    QPushButton *bt_adauga = nullptr, *bt_modifica = nullptr, *bt_delete = nullptr;
    QMenu *pop_library = nullptr;
    QAction *act_new = nullptr, *act_open = nullptr, *act_save = nullptr, *act_exit = nullptr;
    QAction *FileOpen2 = nullptr, *FileSaveAs2 = nullptr, *FontEdit1 = nullptr;
    QAction *act_add = nullptr, *act_mod = nullptr, *act_del = nullptr;
    QAction *act_adaugab = nullptr, *act_modifyb = nullptr, *act_deleteb = nullptr;
    QAction *act_search = nullptr;
    // The menu items are the actions themselves.
    QAction *&New1 = act_new, *&Open1 = act_open, *&Save1 = act_save, *&Exit1 = act_exit;
    QAction *&ImportExcelFile1 = FileOpen2, *&ExportToExcelFile1 = FileSaveAs2;
    QAction *&SelectForn1 = FontEdit1;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    enum class Library { None, Untitled, Named };
    // The one place where what the editor has open changes: sets the flags and the
    // caption from the state and the path, and brings the count, the emptiness check
    // and the buttons in line with the library the data module now has open.
    void SetCurrentLibrary(Library state, const QString &path = QString());
    // Opens a library file in the data module, on the strength of a claim when one was
    // made for it, and attaches it to the grid; throws LexomatError (nothing is open then).
    void OpenInDataModule(const QString &path, std::optional<LibraryClaim> claim = std::nullopt);
    // Binds the grid to the library the data module has just opened, with the search.
    void AttachOpenedLibrary();

    // Runs one step of a command; a failure is shown in an error box. False on failure.
    bool Guarded(const std::function<void()> &step);
    bool EnsureLibrary();
    void AttachGrid();
    QList<int> DesignedWidths() const; // of the grid's columns
    void ApplySearch();
    void RefreshCount();
    int PresentedCount() const;
    void SetCaption(const QString &libraryName);
    void LayOutStrips();
    void ShowGridMenu(const QPoint &at);
    bool EditRow(bool adding);
    // The card as the record dialog showed it for an update.
    struct ShownCard {
        int32_t id = 0;
        std::optional<int32_t> level;
        QString word;
    };
    // Posts the row in the dialog. A level typed over one that another program changed
    // since the dialog showed it is written only when the user says so; a level left as
    // shown leaves the other program's in the file.
    void PostRow(TTable *table, const std::optional<ShownCard> &shown);
    void DeleteFromGrid();
    void CloseLibrary();
    // Closes the untitled library and removes its file: the user discarded it.
    void DiscardUntitled();
    QString AskOpenFile();
    QString AskSaveFile();
    QString LibraryFolder() const;

    Ui::Tfrm_admin *ui;
    TTableModel *model = nullptr;
    std::unique_ptr<UntitledLibrary> untitled; // while one is open: its file, lock and marker
    QFont chosenFont;
    bool offerPending = false;
    QString pendingImport;
};

extern Tfrm_admin *frm_admin;
