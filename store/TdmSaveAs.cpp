// The data module saving the open library under a name: the file itself moves to the new
// name, or is copied there from another file system, while the table stays open over it.
#include "store/Tdm.h"

#include "platform/DurableFiles.h"
#include "platform/LexomatError.h"
#include "store/LibrarySaveTarget.h"
#include "store/TTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <sys/stat.h>

namespace {
// The count of commits the file keeps in its header, which every commit in rollback
// journal mode raises; none for a file in write-ahead log mode, whose commits leave it.
std::optional<uint32_t> CommitCount(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray header = file.read(100);
    if (header.size() < 100 || header.at(18) != 1 || header.at(19) != 1)
        return std::nullopt;
    return qFromBigEndian<quint32>(header.constData() + 24);
}

bool ReadOnly(const QFileInfo &file) {
    return !file.isWritable() ||
           !(file.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
}

// Both names reach the disk: the new one, and the old one gone.
void FlushFolders(const QString &from, const QString &to) {
    DurableFiles::FlushFolderOf(to);
    if (QFileInfo(from).absolutePath() != QFileInfo(to).absolutePath())
        DurableFiles::FlushFolderOf(from);
}
} // namespace

Tdm::SavedBy Tdm::SaveDatabaseAs(const QString &chosen, bool replace,
                                 std::shared_ptr<LibraryHold> targetHold) {
    if (!Connected())
        throw LexomatError("No library file is open.");
    const QString from = path;
    const LibrarySaveTarget target(from, chosen);
    const QString &to = target.Path();
    const QFileInfo there(to);
    if (there.exists() && !replace)
        target.Fail("the file already exists.");
    if (there.exists() && ReadOnly(there))
        target.Fail("the file is read-only.");
    // A journal left beside the name would be played back into the saved library when it
    // is next opened.
    for (const char *side : {"-journal", "-wal"})
        if (QFileInfo::exists(to + side))
            target.Fail(QString("\"%1\" beside it holds unfinished changes of another program.")
                            .arg(QFileInfo(to + side).fileName()));
    if (inTransaction || connection.InTransaction())
        target.Fail("a save of the library is still going on.");
    // Moved while another program writes it, the library would keep that program's
    // journal under its old name.
    if (QFileInfo::exists(from + "-journal"))
        target.Fail(QString("another program is writing \"%1\"; try again when it is done.")
                        .arg(QFileInfo(from).fileName()));

    // Nothing may paint the table while its file is let go: no wait is shown meanwhile.
    connection.SetWaitHandler({});
    struct HandlerBack {
        Tdm &dm;
        ~HandlerBack() { dm.connection.SetWaitHandler(dm.waitHandler); }
    } handlerBack{*this};
    tb_library->LetGoOfFile();
    connection.Close();
    const std::optional<uint32_t> version = CommitCount(from);

    SavedBy by = SavedBy::Moving;
    try {
        // The file keeps the permissions of the one it replaces.
        if (replace)
            ::chmod(QFile::encodeName(from).constData(), target.Mode());
        DurableFiles::Renamed renamed = DurableFiles::Renamed::Done;
        try {
            renamed = DurableFiles::Rename(from, to, replace);
        } catch (const LexomatError &error) {
            target.Fail(error.reason(), error.detail());
        }
        switch (renamed) {
        case DurableFiles::Renamed::NameTaken:
            target.Fail("another file of that name was made meanwhile.");
        case DurableFiles::Renamed::OtherFileSystem:
            CopyLibraryFile(from, chosen, replace);
            by = SavedBy::Copying;
            break;
        case DurableFiles::Renamed::Done:
            try {
                FlushFolders(from, to);
            } catch (const LexomatError &error) {
                // Not on disk under either name for sure: back under the old one.
                if (DurableFiles::Rename(to, from, false) == DurableFiles::Renamed::Done)
                    FlushFolders(to, from);
                target.Fail(error.reason(), error.detail());
            }
            break;
        }
    } catch (const LexomatError &error) {
        const QString stillClosed = ReopenAfterFailedSave(from, version);
        if (stillClosed.isEmpty())
            throw;
        throw LexomatError(error.reason() + "\n" + stillClosed, error.detail());
    }

    try {
        ReopenKeepingTheTable(chosen, version);
    } catch (const LexomatError &error) {
        // Why it cannot be opened there is the detail.
        if (by == SavedBy::Copying) {
            const QString stillClosed = ReopenAfterFailedSave(from, version);
            throw LexomatError(
                QString("The library was copied to \"%1\", but the copy cannot be opened; %2")
                    .arg(chosen, stillClosed.isEmpty()
                                     ? QStringLiteral("the library stays open where it was.")
                                     : "\n" + stillClosed),
                error.message());
        }
        QString back;
        try {
            if (DurableFiles::Rename(to, from, false) == DurableFiles::Renamed::Done)
                FlushFolders(to, from);
            else
                back = QString("\"%1\" is taken.").arg(from);
        } catch (const LexomatError &moving) {
            back = moving.reason();
        }
        if (!back.isEmpty())
            throw LexomatError(QString("The library was saved as \"%1\", but it cannot be opened "
                                       "there, nor have its name back: %2")
                                   .arg(chosen, back),
                               error.message());
        const QString stillClosed = ReopenAfterFailedSave(from, version);
        throw LexomatError(QString("The library cannot be opened as \"%1\"; %2")
                               .arg(chosen, stillClosed.isEmpty()
                                                ? QStringLiteral("it stays open where it was.")
                                                : "it stays where it was.\n" + stillClosed),
                           error.message());
    }
    // The old name's lock goes; the new one's stays while the library is open there.
    hold = std::move(targetHold);
    return by;
}

void Tdm::ReopenKeepingTheTable(const QString &at, std::optional<uint32_t> version) {
    connection.Open(at, LibraryConnection::Mode::ReadWrite);
    path = at;
    inTransaction = false;
    try {
        tb_library->TakeFileAgain();
        // Another program may have written the file while it was closed here.
        if (!version || CommitCount(at) != version)
            tb_library->ForgetReads();
    } catch (const LexomatError &) {
        // The table starts afresh on the file, as after opening it.
        tb_library->ReleaseConnection();
    }
    try {
        if (!tb_library->Active()) {
            tb_library->SetTableName("Library");
            tb_library->Open();
        }
    } catch (...) {
        CloseDatabase();
        throw;
    }
}

QString Tdm::ReopenAfterFailedSave(const QString &at, std::optional<uint32_t> version) {
    try {
        ReopenKeepingTheTable(at, version);
        return {};
    } catch (const LexomatError &error) {
        CloseDatabase();
        path = at;
        return QString("The library \"%1\" cannot be opened again: %2").arg(at, error.reason());
    }
}
