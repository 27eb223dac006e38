#pragma once

#include "store/LibraryConnection.h"
#include "store/LibraryHold.h"
#include "store/MyTextDatabaseRec.h"
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class TTable;

// The data module: the one connection to the attached library file and the one
// table dataset through which every window reaches it.
class Tdm : public QObject {
    Q_OBJECT
public:
    explicit Tdm(QObject *parent = nullptr);
    ~Tdm() override;

    void SetDatabasePath(const QString &path); // attaches, opens nothing
    QString DatabasePath() const;

    // Asked when another running copy has the file open: true opens it all the same.
    using OpenAnyway = std::function<bool(const QString &path)>;
    // The claim to open path (LibraryClaim), made before the library open now is left so
    // that a no leaves that one open. Empty when another running copy has path open and
    // openAnyway said no.
    static std::optional<LibraryClaim> ClaimLibrary(const QString &path,
                                                    const OpenAnyway &openAnyway);

    // Opens the connection, checks the schema, activates tb_library. The library's lock
    // is held while it is open; a library that another running copy holds is refused,
    // unless a claim for it says it may be opened all the same.
    void OpenDatabase();
    void OpenDatabase(LibraryClaim claim);
    void CloseDatabase(); // no effect on what is already closed
    bool Connected() const;
    MyTextDatabaseRec GetRecordByID(int32_t id);

    // One transaction around a save, so that levels and time are written all or none.
    void BeginTransaction();
    void CommitTransaction();
    void RollbackTransaction(); // no effect when no transaction is open
    bool InTransaction() const;

    // Creates an empty library file with the two tables (for the editor and tests);
    // refused when the name is taken.
    static void CreateLibraryFile(const QString &path);
    // Creates a new library file at path and leaves it open as the library; refused when
    // the name is taken.
    void CreateDatabase(const QString &path);
    // Copies a closed library file to target all or nothing: the copy is written beside
    // the target and renamed over it (replace) or to its free name only when complete and
    // on disk. On a failure the target is as it was, nothing is left behind, and
    // LexomatError says why.
    static void CopyLibraryFile(const QString &from, const QString &target, bool replace = true);
    // Saves the open library under target and goes on with it there. On the file system
    // of the library the file itself gets the new name (its folders flushed); elsewhere it
    // is copied and stays where it was. The table stays open throughout with its rows,
    // order, filter and current row. replace: a file of that name may be replaced (the
    // learner agreed); without it a file that is there is refused. A library file is
    // never saved over itself, a folder or a file marked read-only. On a failure the
    // library is open again where it was, unless LexomatError says otherwise. No wait
    // handler is told meanwhile: nothing may read the table until it returns.
    enum class SavedBy { Moving, Copying };
    // `targetHold`: this program's hold on the lock of the new name (none where no lock
    // can be written); it becomes the open library's hold once the save succeeded.
    SavedBy SaveDatabaseAs(const QString &target, bool replace,
                           std::shared_ptr<LibraryHold> targetHold = {});
    // The number of cards of a library file, read through a connection of its own
    // without changing the file; throws LexomatError when it is not a library.
    static int CardCount(const QString &path);

    // TotalTime may be missing from a file made elsewhere; the first save makes it.
    bool HasTimeTable();
    void CreateTimeTable();

    // Told while the store waits for a file that another program holds (for up to 5 s;
    // returning false gives up the wait) and while a write in a transaction runs long
    // (the return value is ignored: a write is never cut short).
    using Wait = LibraryConnection::Wait;
    using WaitHandler = LibraryConnection::WaitHandler;
    void SetWaitHandler(WaitHandler handler);

    // The connection of the attached library, for the import and export cores and the
    // store's own classes; nothing open until OpenDatabase.
    LibraryConnection &Connection() { return connection; }
    // True when path names the attached, open library file itself (links followed).
    bool IsOpenLibraryFile(const QString &path) const;

    TTable *tb_library;
    // ds_library of the classic design is tb_library->Model(): grids bind to it.

private:
    void OpenAs(LibraryConnection::Mode mode, std::optional<LibraryClaim> claim = std::nullopt);
    void ReopenKeepingTheTable(const QString &at, std::optional<uint32_t> version);
    // Empty when the library is open again at `at`, else why not (nothing is open then).
    QString ReopenAfterFailedSave(const QString &at, std::optional<uint32_t> version);

    QString path;
    LibraryConnection connection;
    WaitHandler waitHandler;
    std::shared_ptr<LibraryHold> hold; // of the open library, while it is open
    bool inTransaction = false;
};

extern Tdm *dm;
