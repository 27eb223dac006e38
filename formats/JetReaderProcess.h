#pragma once

#include "formats/JetLibraryReader.h"
#include "formats/JetRowMessages.h"
#include "platform/LexomatError.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <sys/types.h>

// The child's refusal of the library (no table Library, a damaged table), or the
// damaged-library message for a child that crashed, reached a limit or made no sense.
class JetReadError : public LexomatError {
public:
    using LexomatError::LexomatError;
};

// The limits a child that reads an older Access library runs under.
struct JetReadLimits {
    qint64 memoryBytes = qint64(512) << 20; // address space, and resident memory
    int cpuSeconds = 60;                    // processor time in all
    int silentSeconds = 30;                 // without a word from the child
};

// Reads an older Access library the way JetLibraryReader does, but in a child process
// (the program itself, started with JetReaderCommand's hidden command), because the
// reading library can crash or run away on a damaged file. The child runs under
// limits on memory and time; a crash, a limit reached or a reply that makes no sense
// is reported as a damaged library, and the program goes on.
class JetReaderProcess {
public:
    // Called every 50 ms or so while the child is being waited for, so that a window
    // stays alive and can offer Cancel. It may throw to stop reading (the child is
    // then stopped too).
    using Waiting = std::function<void()>;

    // The program started as the child: the running program unless set otherwise
    // (tests name the built program, since they are not it).
    static void SetProgram(const QString &path);
    static QString Program();

    // Starts the child and waits for the card count. Throws JetReadError here and in
    // the calls below, LexomatError when no child can be started.
    JetReaderProcess(const QString &path, const Waiting &waiting = {},
                     const JetReadLimits &limits = JetReadLimits());
    ~JetReaderProcess(); // stops a child that is still running
    JetReaderProcess(const JetReaderProcess &) = delete;
    JetReaderProcess &operator=(const JetReaderProcess &) = delete;

    int CardCount() const { return cardCount; }
    bool NextCard(JetCard &card); // false after the last card
    qint64 TotalTime();           // after the last card

private:
    void Start();
    // The next message from the child; throws when it has none to give.
    JetRowMessages::Message Receive();
    // Waits for more bytes from the child; false at the end of the pipe.
    bool ReadMore();
    // Why the child ended without finishing, once it has ended.
    QString Ending();
    [[noreturn]] void Damaged(const QString &why);
    void Stop();

    QString path;
    Waiting waiting;
    JetReadLimits limits;
    qint64 maxCards = 0; // more than the file's size can hold means it is read in circles
    pid_t child = -1;
    int pipe = -1;
    QByteArray buffer;
    qsizetype used = 0; // bytes of buffer already taken as messages
    QElapsedTimer silence;
    QElapsedTimer memoryCheck;
    int cardCount = 0;
    qint64 cardsRead = 0;
    bool cardsDone = false;
    qint64 totalTime = 0;
};
