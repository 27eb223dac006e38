#pragma once

#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// A small, fast XML tokenizer over UTF-8 bytes for the parts of workbook packages:
// start and end elements, text, and nothing else a workbook needs. It checks what makes
// a document well-formed where a reader could be misled (tags that do not match, text
// outside the root, malformed tags, attributes and references, a document that ends
// inside an element) and refuses what a workbook never holds: a document type
// declaration (so no entity can be defined), undeclared entities, another encoding than
// UTF-8, elements nested deeper than MaxDepth and tokens longer than MaxTokenBytes.
// Refusals throw XmlTokenizer::Refusal with the reason.
//
// Views it hands out are valid until the next call of Next().
class XmlTokenizer {
public:
    static constexpr int MaxDepth = 128;
    static constexpr size_t MaxTokenBytes = size_t(4) << 20;

    struct Refusal {
        QString why;
    };
    enum class Token { StartElement, EndElement, Characters, EndDocument };
    // Puts up to maxBytes more bytes of the document at `to`; returns how many, 0 at its
    // end.
    using Source = std::function<size_t(char *to, size_t maxBytes)>;

    explicit XmlTokenizer(Source source);

    Token Next();
    Token Current() const { return token; }

    // The local name (without a prefix) of the current start or end element.
    std::string_view Name() const { return name; }
    // An attribute of the current start element by its local name, any namespace; its
    // value with references decoded. `found` tells an empty value from none.
    QString Attribute(std::string_view localName, bool *found = nullptr) const;
    // The value as it stands in the tag, references not decoded: for names and numbers.
    std::string_view RawAttribute(std::string_view localName) const;
    // The same, only where the attribute's namespace URI contains `namespacePart`.
    QString Attribute(std::string_view namespacePart, std::string_view localName) const;
    // The current text, references decoded (a long text may come in several pieces).
    QString Text() const;
    // Appends the current text to `to`, at most up to `maxCharacters` in all.
    void AppendText(QString &to, qsizetype maxCharacters) const;
    int Depth() const { return int(open.size()); }

private:
    struct TagAttribute {
        std::string_view prefix, local, value;
    };
    struct Declaration {
        int depth;
        std::string prefix, uri;
    };

    [[noreturn]] static void Refuse(const QString &why);
    bool Ensure(size_t bytes); // at least that many bytes from pos, false at the end
    size_t Find(char c, size_t from);
    size_t Find(std::string_view s, size_t from);
    void ReadStartTag();
    void ReadEndTag();
    void ReadText();
    void SkipSpecial(); // comments, processing instructions, CDATA, declarations
    void PopDeclarations();
    std::string_view UriOf(std::string_view prefix) const;
    static void Decode(std::string_view raw, std::string &out);

    Source source;
    std::string buffer;
    size_t pos = 0;
    bool sourceDone = false;
    Token token = Token::EndDocument;
    bool pendingEnd = false; // <a/> gives its end element next
    bool rootSeen = false;
    bool started = false;
    std::string_view name;
    std::vector<TagAttribute> attributes;
    std::string_view text; // raw
    bool textIsCdata = false;
    std::vector<std::string> open; // names of open elements, qualified
    std::string endedName;         // of the element just ended
    std::vector<Declaration> declarations;
    mutable std::string decoded;
};
