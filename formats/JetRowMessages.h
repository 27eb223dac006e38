#pragma once

#include "formats/JetLibraryReader.h"

#include <QByteArray>
#include <QString>
#include <optional>

// What the child process that reads an older Access library tells the program,
// message by message on a pipe: the card count, each card, then the study time (the
// read is complete) or a refusal. Each message is a tag byte, a 32-bit length and
// that many bytes; numbers are little-endian, texts UTF-8.
namespace JetRowMessages {

enum class Kind : char { Count = 'C', Card = 'R', TotalTime = 'T', Refusal = 'E' };

// Far above a card's two texts as the reader binds them (4 MiB each).
constexpr qint64 MaxMessageBytes = qint64(24) << 20;

QByteArray Count(qint64 cards);
QByteArray Card(const JetCard &card);
QByteArray TotalTime(qint64 seconds);
QByteArray Refusal(const QString &reason);

// One message taken from what the pipe has delivered so far.
struct Message {
    Kind kind = Kind::Count;
    qint64 number = 0; // the count or the study time
    JetCard card;
    QString reason;
};

// Reads the first whole message at the front of `bytes` and adds its length to
// `used`; nothing while it is not all there. Throws LexomatError for bytes that are
// no message.
std::optional<Message> Take(QByteArrayView bytes, qsizetype &used);

} // namespace JetRowMessages
