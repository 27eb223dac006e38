#include "formats/SpreadsheetXmlText.h"

#include <array>
#include <cstdint>

namespace SpreadsheetXmlText {

namespace {
constexpr std::string_view Replacement = "\xEF\xBF\xBD";

// Bytes that are copied as they are.
constexpr std::array<bool, 256> PlainBytes = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x80; ++c)
        plain[size_t(c)] = true;
    plain['\t'] = plain['\n'] = true;
    plain['&'] = plain['<'] = plain['>'] = plain['_'] = plain['"'] = false;
    return plain;
}();

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void AppendEscape(std::string &to, unsigned code) {
    static const char digits[] = "0123456789ABCDEF";
    to += "_x";
    for (int shift = 12; shift >= 0; shift -= 4)
        to += digits[(code >> shift) & 0xf];
    to += '_';
}

// Length of the well-formed UTF-8 sequence at text[i] that XML can hold, or 0.
size_t SequenceLength(std::string_view text, size_t i) {
    const auto byte = [&](size_t k) { return uint8_t(text[k]); };
    const uint8_t lead = byte(i);
    size_t length;
    uint32_t code;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (byte(i + k) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool outside =
        code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF;
    return overlong || outside ? 0 : length;
}
} // namespace

void Append(std::string &to, std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        size_t run = i;
        while (run < text.size() && PlainBytes[uint8_t(text[run])])
            ++run;
        to.append(text.data() + i, run - i);
        i = run;
        if (i == text.size())
            break;
        const char c = text[i];
        switch (c) {
        case '&':
            to += "&amp;";
            break;
        case '<':
            to += "&lt;";
            break;
        case '>':
            to += "&gt;";
            break;
        case '"':
            to += "&quot;";
            break;
        case '_':
            if (i + 6 < text.size() && text[i + 1] == 'x' && IsHex(text[i + 2]) &&
                IsHex(text[i + 3]) && IsHex(text[i + 4]) && IsHex(text[i + 5]) &&
                text[i + 6] == '_')
                to += "_x005F_";
            else
                to += '_';
            break;
        default:
            if (uint8_t(c) < 0x80) {
                AppendEscape(to, uint8_t(c)); // a control character or CR
            } else if (const size_t length = SequenceLength(text, i)) {
                to.append(text.data() + i, length);
                i += length;
                continue;
            } else {
                to += Replacement;
            }
        }
        ++i;
    }
}

bool NeedsSpacePreserved(std::string_view text) {
    if (text.empty())
        return false;
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    return blank(text.front()) || blank(text.back());
}

} // namespace SpreadsheetXmlText
