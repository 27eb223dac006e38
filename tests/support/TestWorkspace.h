#pragma once

#include <QString>
#include <QTemporaryDir>

// A working folder like the one the program runs in: a copy of the bundled
// beside-files (elements/, wrong.au) and an empty library/ folder. While it lives,
// it is the current directory; the previous one comes back when it goes.
class TestWorkspace {
public:
    explicit TestWorkspace(bool withBesideFiles = true);
    ~TestWorkspace();

    QString path() const;
    QString file(const QString &relative) const; // absolute path inside the folder
    static QString dataDir();                    // the bundled data/ folder

private:
    QTemporaryDir dir;
    QString previous;
};
