#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A new file written in pieces through a buffer, for the writers of text formats. It is
// removed again unless Finish() ran to the end, so a failed write leaves nothing behind.
// Every failure throws LexomatError naming the file and the system's reason.
class TextFileOutput {
public:
    explicit TextFileOutput(const QString &path);
    ~TextFileOutput();
    TextFileOutput(const TextFileOutput &) = delete;
    TextFileOutput &operator=(const TextFileOutput &) = delete;

    // The bytes still to be written; WriteOutIfFull() writes them out once they are many.
    QByteArray &Buffer() { return out; }
    void WriteOutIfFull();
    // Writes the rest, flushes and closes the file.
    void Finish();

private:
    [[noreturn]] void Fail(const QString &reason) const;
    void WriteOut();

    QFile file;
    QByteArray out;
    bool finished = false;
};
