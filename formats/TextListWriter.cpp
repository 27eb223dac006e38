#include "formats/TextListWriter.h"
#include "formats/TextFileOutput.h"

#include <climits>
#include <iterator>

namespace {

class TextListWriter : public WorkbookWriter {
public:
    TextListWriter(const QString &path, char separator)
        : file(path), out(file.Buffer()), separator(separator) {}

    int MaxRows() const override { return INT_MAX; }

    void AddRow(std::string_view a, std::string_view b) override {
        Field(a);
        out += separator;
        Field(b);
        out += "\r\n";
        file.WriteOutIfFull();
    }

    void Finish() override { file.Finish(); }

private:
    void Field(std::string_view text) {
        const char special[] = {separator, '"', '\r', '\n'};
        const bool quoted = text.find_first_of(special, 0, std::size(special)) != text.npos;
        if (!quoted) {
            out.append(text.data(), qsizetype(text.size()));
            return;
        }
        out += '"';
        for (const char c : text) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
    }

    TextFileOutput file; // removed again unless finished
    QByteArray &out;
    char separator;
};

} // namespace

std::unique_ptr<WorkbookWriter> CreateTextListWriter(const QString &path, char separator) {
    return std::make_unique<TextListWriter>(path, separator);
}
