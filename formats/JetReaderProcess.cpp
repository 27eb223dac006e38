#include "formats/JetReaderProcess.h"
#include "formats/JetReaderCommand.h"
#include "platform/LexomatError.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <limits>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define LEXOMAT_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LEXOMAT_SANITIZED 1
#endif
#endif

namespace {

constexpr int SliceMs = 50;
constexpr qsizetype ReadBytes = 256 * 1024;
constexpr int ExecFailed = 127;
// No row of a library takes fewer bytes of its file than this.
constexpr qint64 LeastRowBytes = 8;

QString &programPath() {
    // The running program's own image, even when its file has been replaced since.
    static QString path = QStringLiteral("/proc/self/exe");
    return path;
}

// Resident memory of a process in bytes, 0 when it cannot be told.
qint64 residentBytes(pid_t pid) {
    QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readLine(200).split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

} // namespace

void JetReaderProcess::SetProgram(const QString &path) {
    programPath() = path;
}

QString JetReaderProcess::Program() {
    return programPath();
}

JetReaderProcess::JetReaderProcess(const QString &libraryPath, const Waiting &waitingStep,
                                   const JetReadLimits &readLimits)
    : path(libraryPath), waiting(waitingStep), limits(readLimits),
      maxCards(QFileInfo(libraryPath).size() / LeastRowBytes) {
    Start();
    try {
        const JetRowMessages::Message first = Receive();
        if (first.kind != JetRowMessages::Kind::Count || first.number < 0 ||
            first.number > std::numeric_limits<int>::max())
            Damaged(QStringLiteral("the reader's reply makes no sense"));
        cardCount = int(first.number);
    } catch (...) {
        Stop(); // no destructor runs for an object that was never made
        throw;
    }
}

JetReaderProcess::~JetReaderProcess() {
    Stop();
}

void JetReaderProcess::Start() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw LexomatError(QStringLiteral("Lexomat cannot start its reader for older "
                                          "libraries: no pipe."));
    // Everything the child needs is made before it exists: after fork only calls
    // that are safe in a copy of a threaded process may run.
    const QByteArray program = QFile::encodeName(programPath());
    const QByteArray file = QFile::encodeName(path);
    std::vector<char *> arguments{const_cast<char *>(program.constData()),
                                  const_cast<char *>(JetReaderCommand::Name),
                                  const_cast<char *>(file.constData()), nullptr};
    rlimit memory{rlim_t(limits.memoryBytes), rlim_t(limits.memoryBytes)};
    rlimit cpu{rlim_t(limits.cpuSeconds), rlim_t(limits.cpuSeconds + 2)};
    rlimit noCore{0, 0};
    const pid_t parent = ::getpid();
    child = ::fork();
    if (child < 0) {
        ::close(ends[0]);
        ::close(ends[1]);
        throw LexomatError(QStringLiteral("Lexomat cannot start its reader for older "
                                          "libraries: no process."));
    }
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // the reader never outlives the program
        if (::getppid() != parent)
            ::_exit(ExecFailed);
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::setrlimit(RLIMIT_CPU, &cpu);
#ifndef LEXOMAT_SANITIZED
        // A sanitised build reserves terabytes of address space; there the resident
        // memory is watched instead (as it always is as well).
        ::setrlimit(RLIMIT_AS, &memory);
#else
        (void)memory;
#endif
        const int nothing = ::open("/dev/null", O_RDWR);
        if (nothing < 0 || ::dup2(ends[1], JetReaderCommand::MessageDescriptor) < 0)
            ::_exit(ExecFailed);
        for (int fd = 0; fd <= 2; ++fd)
            ::dup2(nothing, fd);
        ::close_range(JetReaderCommand::MessageDescriptor + 1, ~0U, 0);
        ::execv(arguments[0], arguments.data());
        ::_exit(ExecFailed);
    }
    ::close(ends[1]);
    pipe = ends[0];
    silence.start();
    memoryCheck.start();
}

JetRowMessages::Message JetReaderProcess::Receive() {
    for (;;) {
        std::optional<JetRowMessages::Message> message;
        try {
            message = JetRowMessages::Take(QByteArrayView(buffer).sliced(used), used);
        } catch (const LexomatError &nonsense) {
            Damaged(nonsense.message());
        }
        if (message) {
            if (message->kind == JetRowMessages::Kind::Refusal) {
                Stop();
                throw JetReadError(message->reason);
            }
            return *message;
        }
        if (used > 0 && used * 2 >= buffer.size()) {
            buffer.remove(0, used);
            used = 0;
        }
        if (!ReadMore())
            Damaged(Ending());
    }
}

bool JetReaderProcess::ReadMore() {
    for (;;) {
        if (waiting)
            waiting();
        if (memoryCheck.elapsed() >= SliceMs) {
            memoryCheck.restart();
            if (residentBytes(child) > limits.memoryBytes)
                Damaged(QStringLiteral("reading it took more than %1 MiB of memory")
                            .arg(limits.memoryBytes >> 20));
        }
        pollfd ready{pipe, POLLIN, 0};
        const int polled = ::poll(&ready, 1, SliceMs);
        if (polled < 0 && errno != EINTR)
            Damaged(QStringLiteral("its reader cannot be heard"));
        if (polled > 0) {
            const qsizetype before = buffer.size();
            buffer.resize(before + ReadBytes);
            const ssize_t got = ::read(pipe, buffer.data() + before, size_t(ReadBytes));
            buffer.resize(before + qMax<ssize_t>(got, 0));
            if (got > 0) {
                silence.restart();
                return true;
            }
            if (got == 0 || errno != EINTR)
                return false;
        }
        if (silence.elapsed() > qint64(limits.silentSeconds) * 1000)
            Damaged(QStringLiteral("reading it went on for more than %1 seconds without a card")
                        .arg(limits.silentSeconds));
    }
}

QString JetReaderProcess::Ending() {
    // The pipe has closed; the child ends at once, or is ended.
    if (child <= 0)
        return QStringLiteral("its reader has ended");
    int status = 0;
    pid_t ended = 0;
    for (QElapsedTimer waited; ended == 0;) {
        if (!waited.isValid())
            waited.start();
        ended = ::waitpid(child, &status, WNOHANG);
        if (ended < 0 && errno == EINTR)
            ended = 0;
        if (ended == 0 && waited.elapsed() > qint64(limits.silentSeconds) * 1000)
            return QStringLiteral("its reader went silent");
        if (ended == 0)
            ::usleep(5000);
    }
    child = -1;
    if (ended < 0)
        return QStringLiteral("its reader ended unseen");
    if (WIFSIGNALED(status)) {
        if (WTERMSIG(status) == SIGXCPU)
            return QStringLiteral("reading it took more than %1 seconds").arg(limits.cpuSeconds);
        return QStringLiteral("the reader failed on it, signal %1").arg(WTERMSIG(status));
    }
    switch (WEXITSTATUS(status)) {
    case JetReaderCommand::OutOfMemory:
        return QStringLiteral("reading it took more than %1 MiB of memory")
            .arg(limits.memoryBytes >> 20);
    case ExecFailed: // the file is not to blame
        throw JetReadError(QStringLiteral("Lexomat cannot start its reader for older libraries "
                                          "(%1).")
                               .arg(programPath()));
    default:
        return QStringLiteral("its reader stopped before the end (exit status %1)")
            .arg(WEXITSTATUS(status));
    }
}

void JetReaderProcess::Damaged(const QString &why) {
    Stop();
    throw JetReadError(QStringLiteral("The library \"%1\" is damaged and cannot be converted (%2).")
                           .arg(QFileInfo(path).fileName(), why));
}

void JetReaderProcess::Stop() {
    if (child > 0) {
        ::kill(child, SIGKILL);
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        child = -1;
    }
    if (pipe >= 0) {
        ::close(pipe);
        pipe = -1;
    }
}

bool JetReaderProcess::NextCard(JetCard &card) {
    if (cardsDone)
        return false;
    const JetRowMessages::Message message = Receive();
    if (message.kind == JetRowMessages::Kind::Card) {
        if (++cardsRead > maxCards)
            Damaged(QStringLiteral("it gives more cards than its size can hold"));
        card = message.card;
        return true;
    }
    if (message.kind != JetRowMessages::Kind::TotalTime)
        Damaged(QStringLiteral("the reader's reply makes no sense"));
    totalTime = message.number;
    cardsDone = true;
    Stop();
    return false;
}

qint64 JetReaderProcess::TotalTime() {
    JetCard rest;
    while (NextCard(rest)) {
    }
    return totalTime;
}
