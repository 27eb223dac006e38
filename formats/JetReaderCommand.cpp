#include "formats/JetReaderCommand.h"
#include "formats/JetLibraryReader.h"
#include "formats/JetRowMessages.h"
#include "platform/LexomatError.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <new>
#include <unistd.h>

namespace {

constexpr qsizetype FlushBytes = 64 * 1024;

// The messages, gathered a little so that small cards go in few writes.
class MessageOut {
public:
    bool Add(const QByteArray &message) {
        pending += message;
        return pending.size() < FlushBytes || Flush();
    }
    bool Flush() {
        const char *at = pending.constData();
        qsizetype left = pending.size();
        while (left > 0) {
            const ssize_t written = ::write(JetReaderCommand::MessageDescriptor, at, size_t(left));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            at += written;
            left -= written;
        }
        pending.clear();
        return true;
    }

private:
    QByteArray pending;
};

} // namespace

namespace JetReaderCommand {

bool Requested(int argc, char *argv[]) {
    return argc >= 2 && std::strcmp(argv[1], Name) == 0;
}

int Run(int argc, char *argv[]) {
    if (argc != 3)
        return WrongUsage;
    MessageOut out;
    try {
        JetLibraryReader reader(QFile::decodeName(argv[2]));
        if (!out.Add(JetRowMessages::Count(reader.CardCount())))
            return CannotWrite;
        JetCard card;
        while (reader.NextCard(card))
            if (!out.Add(JetRowMessages::Card(card)))
                return CannotWrite;
        if (!out.Add(JetRowMessages::TotalTime(reader.TotalTime())))
            return CannotWrite;
    } catch (const LexomatError &error) {
        if (!out.Add(JetRowMessages::Refusal(error.message())))
            return CannotWrite;
    } catch (const std::bad_alloc &) {
        return OutOfMemory;
    }
    return out.Flush() ? 0 : CannotWrite;
}

} // namespace JetReaderCommand
