#include "formats/KvtmlDocument.h"
#include "formats/CodePageDecoder.h"
#include "formats/XmlPartReader.h"
#include "platform/LexomatError.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr qsizetype ChunkBytes = 256 * 1024;

// The encoding named by the XML declaration, in lower case; empty when none is named.
QString DeclaredEncoding(QByteArrayView bytes) {
    const QByteArrayView head = bytes.first(std::min<qsizetype>(bytes.size(), 256));
    if (!head.startsWith("<?xml"))
        return QString();
    const qsizetype end = head.indexOf("?>");
    static const QRegularExpression encoding(
        QStringLiteral("encoding\\s*=\\s*[\"']([A-Za-z0-9._-]+)[\"']"));
    const QRegularExpressionMatch match =
        encoding.match(QString::fromLatin1(end < 0 ? head : head.first(end)));
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

constexpr QByteArrayView Utf8Mark("\xEF\xBB\xBF");

// Files written by older programs claim UTF-8 and hold single-byte text: those are
// read as Windows-1252. Any other encoding the declaration names is the parser's.
bool ReadAsWindows1252(QByteArrayView bytes) {
    const QString declared =
        DeclaredEncoding(bytes.startsWith(Utf8Mark) ? bytes.sliced(Utf8Mark.size()) : bytes);
    const bool claimsUtf8 = declared.isEmpty() || declared == u"utf-8" || declared == u"utf8";
    const bool wide = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ||
                      bytes.startsWith(QByteArrayView("\0\0\xFE\xFF", 4));
    return claimsUtf8 && !wide && !bytes.isValidUtf8();
}

// An internal subset is the part in brackets after the names of the declaration.
bool HasInternalSubset(QStringView doctype) {
    QChar quote;
    for (const QChar c : doctype) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'[') {
            return true;
        }
    }
    return false;
}

bool IsBlank(const QString &text) {
    return text.trimmed().isEmpty();
}

// Walks the document once, element by element; whatever it does not know is skipped.
class Parser {
public:
    explicit Parser(QByteArrayView bytes)
        : input(bytes), windows1252(ReadAsWindows1252(bytes)), decoder(1252) {
        // A mark of UTF-8 before single-byte text would be read as three letters.
        if (windows1252 && input.startsWith(Utf8Mark))
            input = input.sliced(Utf8Mark.size());
    }

    void Run();

    std::vector<KvtmlDocument::Entry> entries;
    std::vector<KvtmlDocument::Lesson> lessons;

private:
    struct PendingLesson {
        QString name;
        int parent = -1;
        std::vector<int> ids; // interned entry ids (version 2) or entry indices (version 1)
        QString number;       // version 1: the number its entries name in "m"
    };

    [[noreturn]] void Refuse(const QString &why) const { throw LexomatError(why); }
    QXmlStreamReader::TokenType Next();
    QString Attribute(QLatin1StringView name) const {
        return xml.attributes().value(name).toString().trimmed();
    }
    bool Is(QStringView name) const { return xml.name() == name; }
    // Calls `child` on each child element of the current one, which must read it to
    // its end; leaves the current element at its end.
    template <typename Child> void Children(Child child);
    QString ReadText();
    void Skip();
    int Intern(const QString &id);

    void Entry2();
    void Lesson2(int parent, int depth);
    void Entry1();
    void Lessons1();
    void Finish();

    // The parser gets the file a piece at a time: given whole, it would keep several
    // copies of it.
    bool FeedMore();

    QByteArrayView input;
    qsizetype fed = 0;
    qint64 bytesSinceToken = 0;
    int depth = 0;
    bool windows1252;
    CodePageDecoder decoder;
    QXmlStreamReader xml;
    std::vector<PendingLesson> pending;
    QHash<QString, int> symbols;    // entry id -> symbol
    std::vector<int> symbolEntries; // symbol -> entry index, -1 when no entry has it
    QHash<QString, std::vector<int>> version1Members; // "m" -> entry indices
};

bool Parser::FeedMore() {
    if (fed >= input.size())
        return false;
    const QByteArrayView chunk = input.sliced(fed, std::min(ChunkBytes, input.size() - fed));
    fed += chunk.size();
    xml.addData(windows1252 ? decoder.Decode(chunk).toUtf8() : chunk.toByteArray());
    // The parser keeps an unfinished tag or text whole until it ends.
    if ((bytesSinceToken += chunk.size()) > XmlPartReader::MaxTokenBytes)
        Refuse(QStringLiteral("The file holds a single tag or text longer than %1 MiB.")
                   .arg(XmlPartReader::MaxTokenBytes >> 20));
    return true;
}

QXmlStreamReader::TokenType Parser::Next() {
    QXmlStreamReader::TokenType token = xml.readNext();
    while (token == QXmlStreamReader::Invalid &&
           xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && FeedMore())
        token = xml.readNext();
    if (token != QXmlStreamReader::Invalid)
        bytesSinceToken = 0;
    // The parser keeps every open element: a file nested without end would fill the
    // memory long before it ends.
    if (token == QXmlStreamReader::StartElement && ++depth > XmlPartReader::MaxDepth)
        Refuse(QStringLiteral("The file's elements are nested more than %1 deep.")
                   .arg(XmlPartReader::MaxDepth));
    if (token == QXmlStreamReader::EndElement)
        --depth;
    switch (token) {
    case QXmlStreamReader::Invalid:
        Refuse(QStringLiteral("The file is not well-formed XML (line %1, column %2): %3")
                   .arg(xml.lineNumber())
                   .arg(xml.columnNumber())
                   .arg(xml.errorString()));
    case QXmlStreamReader::DTD:
        if (HasInternalSubset(xml.text()))
            Refuse(QStringLiteral("The file declares entities or other markup of its own, which "
                                  "a vocabulary file never needs."));
        break;
    case QXmlStreamReader::EntityReference:
        Refuse(QStringLiteral("The file refers to the entity “&%1;”, which it does not declare "
                              "(line %2).")
                   .arg(xml.name())
                   .arg(xml.lineNumber()));
    default:
        break;
    }
    return token;
}

template <typename Child> void Parser::Children(Child child) {
    for (;;) {
        switch (Next()) {
        case QXmlStreamReader::StartElement:
            child();
            break;
        case QXmlStreamReader::EndElement:
        case QXmlStreamReader::EndDocument:
            return;
        default:
            break;
        }
    }
}

QString Parser::ReadText() {
    QString text;
    for (int depth = 1; depth > 0;) {
        switch (Next()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
        case QXmlStreamReader::EndDocument:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            text += xml.text();
            break;
        default:
            break;
        }
    }
    return text;
}

void Parser::Skip() {
    for (int depth = 1; depth > 0;) {
        const QXmlStreamReader::TokenType token = Next();
        if (token == QXmlStreamReader::StartElement)
            ++depth;
        else if (token == QXmlStreamReader::EndElement || token == QXmlStreamReader::EndDocument)
            --depth;
    }
}

int Parser::Intern(const QString &id) {
    const auto found = symbols.constFind(id);
    if (found != symbols.constEnd())
        return found.value();
    const int symbol = int(symbolEntries.size());
    symbols.insert(id, symbol);
    symbolEntries.push_back(-1);
    return symbol;
}

void Parser::Run() {
    QXmlStreamReader::TokenType token;
    while ((token = Next()) != QXmlStreamReader::StartElement)
        if (token == QXmlStreamReader::EndDocument)
            Refuse(QStringLiteral("The file holds no XML element."));
    if (!Is(u"kvtml"))
        Refuse(QStringLiteral("The file is not a KVTML vocabulary file: its root element is "
                              "“%1”.")
                   .arg(xml.name()));
    Children([this] {
        if (Is(u"entries")) {
            Children([this] {
                if (Is(u"entry"))
                    Entry2();
                else
                    Skip();
            });
        } else if (Is(u"lessons")) {
            Children([this] {
                if (Is(u"container") || Is(u"lesson"))
                    Lesson2(-1, 1);
                else
                    Skip();
            });
        } else if (Is(u"e")) {
            Entry1();
        } else if (Is(u"lesson")) {
            Lessons1();
        } else {
            Skip();
        }
    });
    // What follows the root element must be well-formed too.
    while (Next() != QXmlStreamReader::EndDocument) {
    }
    Finish();
}

void Parser::Entry2() {
    const QString id = Attribute("id"_L1);
    QString word, comment, translation;
    bool haveFirst = false, haveSecond = false;
    Children([&] {
        const QString number = Is(u"translation") ? Attribute("id"_L1) : QString();
        const bool first = number == u"0" && !haveFirst;
        const bool second = number == u"1" && !haveSecond;
        if (!first && !second) {
            Skip();
            return;
        }
        (first ? haveFirst : haveSecond) = true;
        bool haveText = false, haveComment = false;
        Children([&] {
            if (Is(u"text") && !haveText) {
                (first ? word : translation) = ReadText();
                haveText = true;
            } else if (Is(u"comment") && first && !haveComment) {
                comment = ReadText();
                haveComment = true;
            } else {
                Skip();
            }
        });
    });
    const int index = int(entries.size());
    entries.push_back({word, IsBlank(translation) ? comment : translation});
    if (!id.isEmpty()) {
        int &entry = symbolEntries[size_t(Intern(id))];
        if (entry < 0) // the first entry of an id is the one lessons mean
            entry = index;
    }
}

void Parser::Lesson2(int parent, int depth) {
    if (depth > KvtmlDocument::MaxLessonDepth)
        Refuse(QStringLiteral("The file nests lessons more than %1 deep.")
                   .arg(KvtmlDocument::MaxLessonDepth));
    if (pending.size() >= size_t(KvtmlDocument::MaxLessons))
        Refuse(
            QStringLiteral("The file holds more than %1 lessons.").arg(KvtmlDocument::MaxLessons));
    const size_t self = pending.size();
    pending.push_back({QString(), parent, {}, QString()});
    bool haveName = false;
    Children([&] {
        if (Is(u"name") && !haveName) {
            pending[self].name = ReadText();
            haveName = true;
        } else if (Is(u"entry")) {
            pending[self].ids.push_back(Intern(Attribute("id"_L1)));
            Skip();
        } else if (Is(u"entryid")) { // an early form of version 2
            pending[self].ids.push_back(Intern(ReadText().trimmed()));
        } else if (Is(u"container") || Is(u"lesson")) {
            Lesson2(int(self), depth + 1);
        } else {
            Skip();
        }
    });
}

void Parser::Entry1() {
    const QString lesson = Attribute("m"_L1);
    QString word, definition;
    bool haveWord = false, haveDefinition = false;
    Children([&] {
        if (Is(u"o") && !haveWord) {
            word = ReadText();
            haveWord = true;
        } else if (Is(u"t") && !haveDefinition) {
            definition = ReadText();
            haveDefinition = true;
        } else {
            Skip();
        }
    });
    if (!lesson.isEmpty())
        version1Members[lesson].push_back(int(entries.size()));
    entries.push_back({word, definition});
}

void Parser::Lessons1() {
    Children([this] {
        if (!Is(u"desc")) {
            Skip();
            return;
        }
        if (pending.size() >= size_t(KvtmlDocument::MaxLessons))
            Refuse(QStringLiteral("The file holds more than %1 lessons.")
                       .arg(KvtmlDocument::MaxLessons));
        const QString number = Attribute("no"_L1);
        pending.push_back({ReadText(), -1, {}, number.isEmpty() ? QStringLiteral("-") : number});
    });
}

void Parser::Finish() {
    lessons.reserve(pending.size());
    // Lessons of one number share their list: many lessons of a number that many
    // entries name would otherwise each hold a copy.
    QHash<QString, std::shared_ptr<const std::vector<int>>> version1Lists;
    for (size_t i = 0; i < pending.size(); ++i) {
        PendingLesson &lesson = pending[i];
        QString name = lesson.name.simplified().left(KvtmlDocument::MaxLessonNameLength);
        if (name.isEmpty())
            name = QStringLiteral("Lesson %1").arg(i + 1);
        if (lesson.parent >= 0)
            name = lessons[size_t(lesson.parent)].name + u'/' + name;
        std::shared_ptr<const std::vector<int>> rows;
        if (!lesson.number.isEmpty()) {
            auto &shared = version1Lists[lesson.number];
            if (!shared)
                shared = std::make_shared<const std::vector<int>>(
                    std::move(version1Members[lesson.number]));
            rows = shared;
        } else {
            std::vector<int> own;
            own.reserve(lesson.ids.size());
            for (const int symbol : lesson.ids)
                own.push_back(symbolEntries[size_t(symbol)]);
            rows = std::make_shared<const std::vector<int>>(std::move(own));
        }
        lessons.push_back({name, std::move(rows)});
        lesson.ids = std::vector<int>();
    }
}

} // namespace

KvtmlDocument::KvtmlDocument(QByteArrayView bytes) {
    Parser parser(bytes);
    parser.Run();
    entries = std::move(parser.entries);
    lessons = std::move(parser.lessons);
}
