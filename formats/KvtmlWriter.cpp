#include "formats/KvtmlWriter.h"
#include "formats/TextFileOutput.h"
#include "platform/LexomatError.h"

#include <climits>

namespace {

// The UTF-8 code point at `i`, or -1 for a malformed sequence; advances `i`.
int32_t NextCodePoint(std::string_view text, size_t &i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i++);
    if (lead < 0x80)
        return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + size_t(extra) > text.size())
        return -1;
    int32_t code = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if ((byte(i) & 0xC0) != 0x80)
            return -1;
        code = (code << 6) | (byte(i++) & 0x3F);
    }
    return code;
}

bool XmlCanHold(int32_t code) {
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

class KvtmlWriter : public WorkbookWriter {
public:
    KvtmlWriter(const QString &path, const QString &title)
        : file(path), out(file.Buffer()), title(title) {}

    int MaxRows() const override { return INT_MAX; }
    int MaxCellChars() const override { return INT_MAX; } // every text whole

    void AddRow(std::string_view a, std::string_view b) override {
        if (!headerWritten) {
            WriteHeader(a, b);
            return;
        }
        out += "  <entry id=\"" + QByteArray::number(entries++) +
               "\">\n   <translation id=\"0\">\n    <text>";
        Escaped(a, a);
        out += "</text>\n   </translation>\n   <translation id=\"1\">\n    <text>";
        Escaped(b, a);
        out += "</text>\n   </translation>\n  </entry>\n";
        file.WriteOutIfFull();
    }

    void Finish() override {
        if (!headerWritten)
            WriteHeader({}, {});
        out += " </entries>\n</kvtml>\n";
        file.Finish();
    }

private:
    void WriteHeader(std::string_view first, std::string_view second) {
        headerWritten = true;
        out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" \"http://edu.kde.org/kvtml/kvtml2.dtd\">\n"
               "<kvtml version=\"2.0\">\n <information>\n  <generator>Lexomat</generator>\n"
               "  <title>";
        const QByteArray titleUtf8 = title.toUtf8();
        Escaped(std::string_view(titleUtf8.constData(), size_t(titleUtf8.size())), {});
        out += "</title>\n </information>\n <identifiers>\n  <identifier id=\"0\">\n   <name>";
        Escaped(first, {});
        out += "</name>\n  </identifier>\n  <identifier id=\"1\">\n   <name>";
        Escaped(second, {});
        out += "</name>\n  </identifier>\n </identifiers>\n <entries>\n";
    }

    // Appends the text with the characters that markup needs escaped; `card` names
    // the card in a refusal.
    void Escaped(std::string_view text, std::string_view card) {
        size_t done = 0;
        for (size_t i = 0; i < text.size();) {
            const size_t start = i;
            const int32_t code = NextCodePoint(text, i);
            const char *escape = code == '&'    ? "&amp;"
                                 : code == '<'  ? "&lt;"
                                 : code == '>'  ? "&gt;"
                                 : code == '\r' ? "&#13;"
                                                : nullptr;
            if (escape) {
                out.append(text.data() + done, qsizetype(start - done));
                out += escape;
                done = i;
            } else if (!XmlCanHold(code)) {
                const QString word = QString::fromUtf8(card.data(), qsizetype(card.size()));
                throw LexomatError(
                    code < 0 ? QString("The card \"%1\" holds text that is not UTF-8.").arg(word)
                             : QString("The card \"%1\" holds the character U+%2, which a KVTML "
                                       "file cannot hold.")
                                   .arg(word, QString::number(code, 16).toUpper().rightJustified(
                                                  4, u'0')));
            }
        }
        out.append(text.data() + done, qsizetype(text.size() - done));
    }

    TextFileOutput file; // removed again unless finished
    QByteArray &out;
    QString title;
    qint64 entries = 0;
    bool headerWritten = false;
};
} // namespace

std::unique_ptr<WorkbookWriter> CreateKvtmlWriter(const QString &path, const QString &title) {
    return std::make_unique<KvtmlWriter>(path, title);
}
