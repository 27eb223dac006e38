// Stands in for the program as the child that reads an older Access library, and
// misbehaves as the library's file name says, the way a reading library can on a
// damaged file. Any other file is read by the real command.
#include "formats/JetLibraryReader.h"
#include "formats/JetReaderCommand.h"
#include "formats/JetRowMessages.h"

#include <QByteArray>
#include <QFileInfo>
#include <atomic>
#include <csignal>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {
void say(const QByteArray &bytes) {
    if (::write(JetReaderCommand::MessageDescriptor, bytes.constData(), size_t(bytes.size())) < 0)
        ::_exit(1);
}

JetCard card(qint64 id) {
    return JetCard{id, QStringLiteral("word %1").arg(id), 0, QStringLiteral("definition"), false};
}
} // namespace

int main(int argc, char *argv[]) {
    if (!JetReaderCommand::Requested(argc, argv) || argc != 3)
        return 2;
    const QString how = QFileInfo(QString::fromLocal8Bit(argv[2])).completeBaseName();
    if (how == "crash") { // in the catalog, before anything is said
        std::raise(SIGSEGV);
    } else if (how == "crash-midway") {
        say(JetRowMessages::Count(3) + JetRowMessages::Card(card(1)));
        std::raise(SIGSEGV);
    } else if (how == "hog") { // memory without end
        std::vector<char *> blocks;
        for (;;) {
            char *block = new char[1 << 20];
            std::memset(block, 1, 1 << 20);
            blocks.push_back(block);
        }
    } else if (how == "hog-at-once") { // more memory than the limit in one piece
        char *block = new char[size_t(1) << 30];
        std::memset(block, 1, size_t(1) << 30);
        return block[12345];
    } else if (how == "spin") { // the processor without end, and nothing said
        static std::atomic<unsigned long> turns;
        for (;;)
            turns.fetch_add(1, std::memory_order_relaxed);
    } else if (how == "sleep") {
        ::sleep(3600);
    } else if (how == "garbage") {
        say(QByteArray("Z\x03\x00\x00\x00"
                       "abc",
                       8)); // no such message
    } else if (how == "quiet") {
        return 0;
    } else if (how == "endless") { // cards read in circles
        say(JetRowMessages::Count(2));
        for (qint64 id = 1;; ++id)
            say(JetRowMessages::Card(card(id)));
    } else if (how == "cut") {
        const QByteArray message = JetRowMessages::Count(1) + JetRowMessages::Card(card(1));
        say(message.left(message.size() - 3));
        return 0;
    }
    return JetReaderCommand::Run(argc, argv);
}
