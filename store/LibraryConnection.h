#pragma once

#include "platform/FileIdentity.h"

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <optional>

struct sqlite3;

// The one owner of a connection to a library file. Every way into a library (the data
// module, the command line, new files, copies and the converter) opens it here, so the
// same rules hold everywhere:
//  - a missing file is never created by accident, and a file that is no library is
//    refused with the reason in plain words (older Access format, not a database, a
//    table or field missing);
//  - a library is changed with a rollback journal beside it and every commit on disk;
//  - a file that another program is writing is waited for up to 5 s, and the wait
//    handler hears of the wait and of a long write.
// The table dataset, card batches, the word set and the readers take it by reference;
// only they see the raw handle.
class LibraryConnection {
public:
    enum class Mode {
        ReadWrite, // an existing library, read and changed
        ReadOnly,  // an existing library, only read: looking never changes the file
        CreateNew, // a new library with its two tables; refused when the name is taken
    };

    // Told while the connection waits for a file that another program holds (returning
    // false gives up the wait) and while a write in a transaction runs long (the return
    // value is ignored: a write is never cut short).
    enum class Wait { FileInUse, LongWrite };
    using WaitHandler = std::function<bool(Wait what, qint64 elapsedMs)>;

    LibraryConnection();
    LibraryConnection(const QString &path, Mode mode); // opens at once
    ~LibraryConnection();
    LibraryConnection(const LibraryConnection &) = delete;
    LibraryConnection &operator=(const LibraryConnection &) = delete;

    // Closes what was open, then opens path. Throws LexomatError naming the file and the
    // reason; nothing stays open then, and a file that CreateNew made is removed again.
    void Open(const QString &path, Mode mode);
    // An open transaction ends unwritten. No effect when nothing is open.
    void Close();
    bool IsOpen() const { return db != nullptr; }
    QString Path() const { return path; }
    // For the store's own classes; throws LexomatError when nothing is open.
    sqlite3 *Handle() const;

    // True when path names the file that is open here: the file itself, not the text of
    // its path (links followed, device and inode compared).
    bool IsFile(const QString &path) const;

    // One write transaction: BEGIN IMMEDIATE takes the write lock at once, so a file
    // that another program is writing fails (after the wait) before any work is done.
    void Begin(const QString &what);
    // Throws LexomatError when the commit fails; the transaction is then still to be
    // rolled back by the caller.
    void Commit(const QString &what);
    // Ends a transaction unwritten; no effect when none is open. False when the rollback
    // itself failed.
    bool Rollback();
    bool InTransaction() const; // SQLite's view: a transaction is open on the file

    void Exec(const char *sql, const QString &what); // statements without results

    void SetWaitHandler(WaitHandler handler);

private:
    static int BusyCallback(void *self, int count);
    static int ProgressCallback(void *self);
    void Setup(Mode mode);

    sqlite3 *db = nullptr;
    QString path;
    std::optional<FileIdentity> identity;
    WaitHandler waitHandler;
    QElapsedTimer busyClock, writeClock;
};
