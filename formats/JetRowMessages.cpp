#include "formats/JetRowMessages.h"
#include "platform/LexomatError.h"

#include <QtEndian>

namespace {

enum Present : quint8 { HasId = 1, HasWord = 2, HasLevel = 4, HasDefinition = 8, TextCut = 16 };

void putNumber(QByteArray &to, qint64 value) {
    const qint64 little = qToLittleEndian(value);
    to.append(reinterpret_cast<const char *>(&little), sizeof little);
}

void putText(QByteArray &to, const QString &text) {
    const QByteArray utf8 = text.toUtf8();
    const quint32 little = qToLittleEndian(quint32(utf8.size()));
    to.append(reinterpret_cast<const char *>(&little), sizeof little);
    to.append(utf8);
}

QByteArray message(JetRowMessages::Kind kind, const QByteArray &body) {
    QByteArray bytes(1, char(kind));
    const quint32 length = qToLittleEndian(quint32(body.size()));
    bytes.append(reinterpret_cast<const char *>(&length), sizeof length);
    return bytes + body;
}

[[noreturn]] void garbled() {
    throw LexomatError(QStringLiteral("the reader's reply makes no sense"));
}

// Reads a message body, every read checked against its end.
class Body {
public:
    explicit Body(QByteArrayView bytes) : bytes(bytes) {}
    qint64 Number() {
        if (bytes.size() - at < 8)
            garbled();
        const qint64 value = qFromLittleEndian<qint64>(bytes.data() + at);
        at += 8;
        return value;
    }
    QString Text() {
        if (bytes.size() - at < 4)
            garbled();
        const quint32 length = qFromLittleEndian<quint32>(bytes.data() + at);
        at += 4;
        if (quint64(bytes.size() - at) < length)
            garbled();
        const QString text = QString::fromUtf8(bytes.sliced(at, length));
        at += length;
        return text;
    }
    quint8 Byte() {
        if (bytes.size() - at < 1)
            garbled();
        return quint8(bytes[at++]);
    }
    void End() const {
        if (at != bytes.size())
            garbled();
    }

private:
    QByteArrayView bytes;
    qsizetype at = 0;
};

} // namespace

namespace JetRowMessages {

QByteArray Count(qint64 cards) {
    QByteArray body;
    putNumber(body, cards);
    return message(Kind::Count, body);
}

QByteArray Card(const JetCard &card) {
    QByteArray body(1, char((card.id ? HasId : 0) | (card.word ? HasWord : 0) |
                            (card.level ? HasLevel : 0) | (card.definition ? HasDefinition : 0) |
                            (card.textCut ? TextCut : 0)));
    putNumber(body, card.id.value_or(0));
    putNumber(body, card.level.value_or(0));
    putText(body, card.word.value_or(QString()));
    putText(body, card.definition.value_or(QString()));
    return message(Kind::Card, body);
}

QByteArray TotalTime(qint64 seconds) {
    QByteArray body;
    putNumber(body, seconds);
    return message(Kind::TotalTime, body);
}

QByteArray Refusal(const QString &reason) {
    QByteArray body;
    putText(body, reason);
    return message(Kind::Refusal, body);
}

std::optional<Message> Take(QByteArrayView bytes, qsizetype &used) {
    if (bytes.size() < 5)
        return std::nullopt;
    const quint32 length = qFromLittleEndian<quint32>(bytes.data() + 1);
    if (length > MaxMessageBytes)
        garbled();
    if (quint64(bytes.size()) < 5 + quint64(length))
        return std::nullopt;
    Message taken;
    Body body(bytes.sliced(5, length));
    switch (Kind(bytes[0])) {
    case Kind::Count:
    case Kind::TotalTime:
        taken.kind = Kind(bytes[0]);
        taken.number = body.Number();
        break;
    case Kind::Card: {
        taken.kind = Kind::Card;
        const quint8 present = body.Byte();
        const qint64 id = body.Number();
        const qint64 level = body.Number();
        const QString word = body.Text();
        const QString definition = body.Text();
        if (present & HasId)
            taken.card.id = id;
        if (present & HasWord)
            taken.card.word = word;
        if (present & HasLevel)
            taken.card.level = level;
        if (present & HasDefinition)
            taken.card.definition = definition;
        taken.card.textCut = present & TextCut;
        break;
    }
    case Kind::Refusal:
        taken.kind = Kind::Refusal;
        taken.reason = body.Text();
        break;
    default:
        garbled();
    }
    body.End();
    used += 5 + length;
    return taken;
}

} // namespace JetRowMessages
