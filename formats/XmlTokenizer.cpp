#include "formats/XmlTokenizer.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {
constexpr size_t ChunkBytes = 256 * 1024;
// Text is handed on in pieces of about this size when it runs on.
constexpr size_t TextPieceBytes = 64 * 1024;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsNameEnd(char c) {
    return IsSpace(c) || c == '/' || c == '>' || c == '=' || c == '<' || c == '"' || c == '\'';
}

std::string_view LocalPart(std::string_view qualified, std::string_view *prefix = nullptr) {
    const size_t colon = qualified.find(':');
    if (prefix)
        *prefix = colon == std::string_view::npos ? std::string_view() : qualified.substr(0, colon);
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

void AppendUtf8(std::string &out, uint32_t code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | code >> 6);
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | code >> 12);
        out += char(0x80 | (code >> 6 & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | code >> 18);
        out += char(0x80 | (code >> 12 & 0x3F));
        out += char(0x80 | (code >> 6 & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// Checks the references of raw text or an attribute value (the part up to the last
// '&' without its ';' when `partial`): returns how many bytes can be taken as complete.
size_t CheckReferences(std::string_view raw, bool partial) {
    size_t at = 0;
    for (;;) {
        const size_t amp = raw.find('&', at);
        if (amp == std::string_view::npos)
            return raw.size();
        const size_t semi = raw.find(';', amp);
        if (semi == std::string_view::npos || semi - amp > 12) {
            if (partial && raw.size() - amp <= 12 && semi == std::string_view::npos)
                return amp;
            throw XmlTokenizer::Refusal{QStringLiteral("a reference is not ended by “;”.")};
        }
        const std::string_view ref = raw.substr(amp + 1, semi - amp - 1);
        if (ref.empty())
            throw XmlTokenizer::Refusal{QStringLiteral("an empty reference.")};
        if (ref[0] == '#') {
            const bool hex = ref.size() > 1 && ref[1] == 'x';
            const std::string_view digits = ref.substr(hex ? 2 : 1);
            uint32_t code = 0;
            bool ok = !digits.empty() && digits.size() <= 8;
            for (char c : digits) {
                int v = c >= '0' && c <= '9'          ? c - '0'
                        : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                      : -1;
                ok = ok && v >= 0;
                code = code * (hex ? 16 : 10) + uint32_t(std::max(v, 0));
            }
            const bool allowed =
                code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
                (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
            if (!ok || !allowed)
                throw XmlTokenizer::Refusal{
                    QStringLiteral("a character reference names no character.")};
        } else if (ref != "amp" && ref != "lt" && ref != "gt" && ref != "quot" && ref != "apos") {
            throw XmlTokenizer::Refusal{QStringLiteral("it refers to an undeclared entity.")};
        }
        at = semi + 1;
    }
}
} // namespace

XmlTokenizer::XmlTokenizer(Source source) : source(std::move(source)) {}

void XmlTokenizer::Refuse(const QString &why) {
    throw Refusal{why};
}

bool XmlTokenizer::Ensure(size_t bytes) {
    while (buffer.size() - pos < bytes) {
        if (sourceDone)
            return false;
        if (buffer.size() - pos > MaxTokenBytes)
            Refuse(QStringLiteral("a single tag or text is longer than %1 MiB.")
                       .arg(MaxTokenBytes >> 20));
        const size_t before = buffer.size();
        buffer.resize(before + ChunkBytes);
        const size_t got = source(buffer.data() + before, ChunkBytes);
        buffer.resize(before + got);
        if (got == 0)
            sourceDone = true;
    }
    return true;
}

size_t XmlTokenizer::Find(char c, size_t from) {
    for (;;) {
        const void *hit = std::memchr(buffer.data() + from, c, buffer.size() - from);
        if (hit)
            return size_t(static_cast<const char *>(hit) - buffer.data());
        from = buffer.size();
        if (!Ensure(buffer.size() - pos + 1))
            return std::string::npos;
    }
}

size_t XmlTokenizer::Find(std::string_view s, size_t from) {
    for (;;) {
        const size_t hit = buffer.find(s, from);
        if (hit != std::string::npos)
            return hit;
        from = buffer.size() >= s.size() ? buffer.size() - s.size() + 1 : 0;
        from = std::max(from, pos);
        if (!Ensure(buffer.size() - pos + 1))
            return std::string::npos;
    }
}

XmlTokenizer::Token XmlTokenizer::Next() {
    if (pendingEnd) {
        pendingEnd = false;
        endedName = open.back();
        open.pop_back();
        name = LocalPart(endedName);
        PopDeclarations();
        return token = Token::EndElement;
    }
    // What was handed out is no longer needed: the buffer starts afresh.
    if (pos > 0 && pos >= buffer.size() / 2) {
        buffer.erase(0, pos);
        pos = 0;
    }
    for (;;) {
        if (!Ensure(1)) {
            if (!open.empty())
                Refuse(QStringLiteral("it ends inside an element."));
            if (!rootSeen)
                Refuse(QStringLiteral("it holds no element."));
            return token = Token::EndDocument;
        }
        if (!started) {
            started = true;
            if (Ensure(2) && ((uint8_t(buffer[pos]) == 0xFF && uint8_t(buffer[pos + 1]) == 0xFE) ||
                              (uint8_t(buffer[pos]) == 0xFE && uint8_t(buffer[pos + 1]) == 0xFF)))
                Refuse(QStringLiteral("it is not written in UTF-8."));
            if (Ensure(3) && buffer.compare(pos, 3, "\xEF\xBB\xBF") == 0)
                pos += 3;
            continue;
        }
        if (buffer[pos] != '<') {
            ReadText();
            if (token == Token::Characters)
                return token;
            continue; // blanks outside the root
        }
        if (!Ensure(2))
            Refuse(QStringLiteral("it ends inside a tag."));
        const char second = buffer[pos + 1];
        if (second == '/') {
            ReadEndTag();
            return token;
        }
        if (second == '!' || second == '?') {
            SkipSpecial();
            if (token == Token::Characters)
                return token; // CDATA
            continue;
        }
        ReadStartTag();
        return token;
    }
}

void XmlTokenizer::ReadText() {
    textIsCdata = false;
    size_t end = buffer.find('<', pos);
    while (end == std::string::npos && !sourceDone && buffer.size() - pos < TextPieceBytes) {
        Ensure(buffer.size() - pos + 1);
        end = buffer.find('<', pos);
    }
    const bool piece = end == std::string::npos && !sourceDone;
    if (end == std::string::npos)
        end = buffer.size();
    std::string_view raw(buffer.data() + pos, end - pos);
    if (piece) {
        // A long text goes on in pieces, none ending inside a reference or a character.
        raw = raw.substr(0, CheckReferences(raw, true));
        size_t cut = raw.size();
        while (cut > 0 && (uint8_t(raw[cut - 1]) & 0xC0) == 0x80)
            --cut;
        if (cut > 0 && uint8_t(raw[cut - 1]) >= 0xC0)
            raw = raw.substr(0, cut - 1);
    }
    CheckReferences(raw, false);
    pos += raw.size();
    if (open.empty()) {
        if (std::any_of(raw.begin(), raw.end(), [](char c) { return !IsSpace(c); }))
            Refuse(rootSeen ? QStringLiteral("text follows the root element.")
                            : QStringLiteral("text comes before the root element."));
        token = Token::EndDocument; // nothing to hand on: the caller goes on
        return;
    }
    text = raw;
    token = Token::Characters;
}

void XmlTokenizer::SkipSpecial() {
    token = Token::EndDocument;
    auto startsWith = [&](std::string_view s) {
        return Ensure(s.size()) && buffer.compare(pos, s.size(), s) == 0;
    };
    if (startsWith("<!--")) {
        const size_t end = Find("-->", pos + 4);
        if (end == std::string::npos)
            Refuse(QStringLiteral("a comment is not ended."));
        pos = end + 3;
    } else if (startsWith("<![CDATA[")) {
        if (open.empty())
            Refuse(QStringLiteral("text comes outside the root element."));
        const size_t end = Find("]]>", pos + 9);
        if (end == std::string::npos)
            Refuse(QStringLiteral("a CDATA section is not ended."));
        text = std::string_view(buffer.data() + pos + 9, end - pos - 9);
        textIsCdata = true;
        pos = end + 3;
        token = Token::Characters;
    } else if (startsWith("<?")) {
        const size_t end = Find("?>", pos + 2);
        if (end == std::string::npos)
            Refuse(QStringLiteral("a processing instruction is not ended."));
        const std::string_view pi(buffer.data() + pos + 2, end - pos - 2);
        if (pi.substr(0, 4) == "xml " || pi == "xml") {
            const size_t encoding = pi.find("encoding");
            if (encoding != std::string_view::npos) {
                std::string value(pi.substr(encoding + 8, 12));
                std::transform(value.begin(), value.end(), value.begin(),
                               [](char c) { return char(std::tolower(uint8_t(c))); });
                if (value.find("utf-8") == std::string::npos &&
                    value.find("utf8") == std::string::npos)
                    Refuse(QStringLiteral("it is not written in UTF-8."));
            }
        }
        pos = end + 2;
    } else if (startsWith("<!DOCTYPE") || startsWith("<!ENTITY")) {
        Refuse(QStringLiteral("it declares a document type or entities, which a workbook never "
                              "needs."));
    } else {
        Refuse(QStringLiteral("it holds a declaration that is not understood."));
    }
}

void XmlTokenizer::ReadStartTag() {
    if (rootSeen && open.empty())
        Refuse(QStringLiteral("it has more than one root element."));
    // The tag whole: quotes may hold '>' in an attribute value.
    size_t end = 0;
    {
        char quote = 0;
        size_t i = pos + 1;
        for (;;) {
            if (i == buffer.size()) {
                if (!Ensure(buffer.size() - pos + 1))
                    Refuse(QStringLiteral("it ends inside a tag."));
                continue;
            }
            const char c = buffer[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
                else if (c == '<')
                    Refuse(QStringLiteral("an attribute value holds “<”."));
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                end = i;
                break;
            } else if (c == '<') {
                Refuse(QStringLiteral("a tag holds “<”."));
            }
            ++i;
        }
    }
    const std::string_view tag(buffer.data() + pos + 1, end - pos - 1);
    const bool selfClosing = !tag.empty() && tag.back() == '/';
    const std::string_view body = selfClosing ? tag.substr(0, tag.size() - 1) : tag;
    size_t i = 0;
    while (i < body.size() && !IsNameEnd(body[i]))
        ++i;
    const std::string_view qualified = body.substr(0, i);
    if (qualified.empty())
        Refuse(QStringLiteral("a tag has no name."));
    attributes.clear();
    for (;;) {
        const size_t before = i;
        while (i < body.size() && IsSpace(body[i]))
            ++i;
        if (i == body.size())
            break;
        if (i == before)
            Refuse(QStringLiteral("attributes are not apart."));
        const size_t nameStart = i;
        while (i < body.size() && !IsNameEnd(body[i]))
            ++i;
        const std::string_view attributeName = body.substr(nameStart, i - nameStart);
        while (i < body.size() && IsSpace(body[i]))
            ++i;
        if (attributeName.empty() || i == body.size() || body[i] != '=')
            Refuse(QStringLiteral("an attribute has no value."));
        ++i;
        while (i < body.size() && IsSpace(body[i]))
            ++i;
        if (i == body.size() || (body[i] != '"' && body[i] != '\''))
            Refuse(QStringLiteral("an attribute value is not quoted."));
        const char quote = body[i];
        const size_t valueEnd = body.find(quote, i + 1);
        if (valueEnd == std::string_view::npos)
            Refuse(QStringLiteral("an attribute value is not ended."));
        const std::string_view value = body.substr(i + 1, valueEnd - i - 1);
        CheckReferences(value, false);
        i = valueEnd + 1;
        TagAttribute a;
        a.local = LocalPart(attributeName, &a.prefix);
        a.value = value;
        for (const TagAttribute &other : attributes)
            if (other.local == a.local && other.prefix == a.prefix)
                Refuse(QStringLiteral("an attribute is given twice."));
        attributes.push_back(a);
        if (attributeName == "xmlns" || a.prefix == "xmlns") {
            std::string uri;
            Decode(value, uri);
            declarations.push_back(
                {int(open.size()) + 1, std::string(a.prefix.empty() ? "" : a.local), uri});
        }
    }
    if (int(open.size()) >= MaxDepth)
        Refuse(QStringLiteral("its elements are nested more than %1 deep.").arg(MaxDepth));
    open.emplace_back(qualified);
    name = LocalPart(qualified);
    rootSeen = true;
    pos = end + 1;
    pendingEnd = selfClosing;
    token = Token::StartElement;
}

void XmlTokenizer::ReadEndTag() {
    const size_t end = Find('>', pos + 2);
    if (end == std::string::npos)
        Refuse(QStringLiteral("it ends inside a tag."));
    std::string_view qualified(buffer.data() + pos + 2, end - pos - 2);
    while (!qualified.empty() && IsSpace(qualified.back()))
        qualified.remove_suffix(1);
    if (open.empty() || open.back() != qualified)
        Refuse(QStringLiteral("an end tag does not match its start tag."));
    endedName = open.back();
    open.pop_back();
    name = LocalPart(endedName);
    PopDeclarations();
    pos = end + 1;
    token = Token::EndElement;
}

void XmlTokenizer::PopDeclarations() {
    while (!declarations.empty() && declarations.back().depth > int(open.size()))
        declarations.pop_back();
}

std::string_view XmlTokenizer::UriOf(std::string_view prefix) const {
    for (auto it = declarations.rbegin(); it != declarations.rend(); ++it)
        if (it->prefix == prefix)
            return it->uri;
    return {};
}

void XmlTokenizer::Decode(std::string_view raw, std::string &out) {
    out.clear();
    size_t at = 0;
    for (;;) {
        const size_t amp = raw.find('&', at);
        out.append(raw.substr(at, amp == std::string_view::npos ? raw.size() - at : amp - at));
        if (amp == std::string_view::npos)
            return;
        const size_t semi = raw.find(';', amp);
        const std::string_view ref = raw.substr(amp + 1, semi - amp - 1);
        if (ref[0] == '#') {
            const bool hex = ref.size() > 1 && ref[1] == 'x';
            AppendUtf8(out, uint32_t(std::stoul(std::string(ref.substr(hex ? 2 : 1)), nullptr,
                                                hex ? 16 : 10)));
        } else {
            out += ref == "amp"    ? '&'
                   : ref == "lt"   ? '<'
                   : ref == "gt"   ? '>'
                   : ref == "quot" ? '"'
                                   : '\'';
        }
        at = semi + 1;
    }
}

QString XmlTokenizer::Attribute(std::string_view localName, bool *found) const {
    for (const TagAttribute &a : attributes)
        if (a.local == localName && a.prefix != "xmlns") {
            if (found)
                *found = true;
            if (a.value.find('&') == std::string_view::npos)
                return QString::fromUtf8(a.value.data(), qsizetype(a.value.size()));
            Decode(a.value, decoded);
            return QString::fromStdString(decoded);
        }
    if (found)
        *found = false;
    return QString();
}

std::string_view XmlTokenizer::RawAttribute(std::string_view localName) const {
    for (const TagAttribute &a : attributes)
        if (a.local == localName && a.prefix != "xmlns")
            return a.value;
    return {};
}

QString XmlTokenizer::Attribute(std::string_view namespacePart, std::string_view localName) const {
    for (const TagAttribute &a : attributes)
        if (a.local == localName && !a.prefix.empty() &&
            UriOf(a.prefix).find(namespacePart) != std::string_view::npos) {
            Decode(a.value, decoded);
            return QString::fromStdString(decoded);
        }
    return QString();
}

void XmlTokenizer::AppendText(QString &to, qsizetype maxCharacters) const {
    if (to.size() >= maxCharacters)
        return;
    std::string_view raw = text;
    if (!textIsCdata && raw.find('&') != std::string_view::npos) {
        Decode(raw, decoded);
        raw = decoded;
    }
    // At most one UTF-16 unit a byte: a piece no longer than the room fits whole.
    const qsizetype room = maxCharacters - to.size();
    const QString piece = QString::fromUtf8(raw.data(), qsizetype(raw.size()));
    to += QStringView(piece).left(room);
}

QString XmlTokenizer::Text() const {
    QString out;
    AppendText(out, std::numeric_limits<qsizetype>::max());
    return out;
}
