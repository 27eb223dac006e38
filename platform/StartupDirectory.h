#pragma once

#include <QString>

// Chooses the folder the program runs in (its start-up directory: beside-files,
// library/ and the editor's temporary libraries) and makes it ready:
//
// - LEXOMAT_HOME, when set, names it;
// - otherwise a current directory that holds elements/ is used as it is (a source
//   tree's working folder, or a folder a user prepared);
// - otherwise the per-user folder $XDG_DATA_HOME/lexomat is used.
//
// A chosen folder other than the current one is filled from the installed copy of
// the files: made and given the beside-files and sample libraries on first start;
// later starts refresh the beside-files and never touch a library.
class StartupDirectory {
public:
    struct Places {
        QString currentDir;
        QString homeOverride;     // LEXOMAT_HOME, empty when unset
        QString userDataDir;      // $XDG_DATA_HOME/lexomat
        QString installedDataDir; // share/lexomat of the installation, may not exist
    };

    // The places as this process sees them; programDir is the executable's folder.
    static Places FromEnvironment(const QString &programDir);

    // Decides the folder and fills it as described above; returns its absolute path.
    // Throws LexomatError naming the folder or file when that cannot be done.
    static QString Prepare(const Places &places);

    // Prepare for this process, then make the folder current. On failure tells the
    // user (a message box and standard error) and returns false.
    static bool Enter();

private:
    static void Fill(const QString &dir, const QString &installedDataDir);
};
