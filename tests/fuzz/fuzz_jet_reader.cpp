// libFuzzer target for older Access libraries, read the way the program reads them:
// in a child process (this program, started with the hidden reader command) under
// its limits. A crash, a limit reached or a refusal in the child is the program's
// outcome, "damaged and cannot be converted", not a finding; the fuzzer looks for
// faults on the program's side: the pipe's messages, the limits, the child's end.
// The outcomes are counted in the file LEXOMAT_FUZZ_JET_OUTCOMES names, if any.
#include "formats/JetReaderCommand.h"
#include "formats/JetReaderProcess.h"
#include "platform/LexomatError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>

namespace {
std::map<std::string, long> outcomes;
QTemporaryDir *folder = nullptr;

void countOutcome(const QString &message) {
    std::string kind = "read";
    if (message.contains("signal"))
        kind = "reader crashed";
    else if (message.contains("MiB of memory"))
        kind = "memory limit";
    else if (message.contains("seconds"))
        kind = "time limit";
    else if (message.contains("damaged and cannot be converted"))
        kind = "reader ended otherwise";
    else if (!message.isEmpty())
        kind = "refused by the reader";
    ++outcomes[kind];
    static long runs = 0;
    if (++runs % 100 != 0)
        return;
    if (const char *path = std::getenv("LEXOMAT_FUZZ_JET_OUTCOMES")) {
        if (FILE *out = std::fopen(path, "w")) {
            for (const auto &[name, count] : outcomes)
                std::fprintf(out, "%s %ld\n", name.c_str(), count);
            std::fclose(out);
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    // Started again as the child: read, answer on the pipe, and end without the
    // fuzzer's own exit handling.
    if (JetReaderCommand::Requested(*argc, *argv))
        ::_exit(JetReaderCommand::Run(*argc, *argv));
    folder = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/lexomat-fuzz-jet-XXXXXX"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString path = folder->filePath(QStringLiteral("library.mdb"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    JetReadLimits limits; // the program's memory limit, shorter times
    limits.cpuSeconds = 3;
    limits.silentSeconds = 5;
    QString message;
    try {
        JetReaderProcess reader(path, {}, limits);
        JetCard card;
        while (reader.NextCard(card)) {
        }
        reader.TotalTime();
    } catch (const LexomatError &error) {
        message = error.message();
    }
    countOutcome(message);
    return 0;
}
