#include "formats/WorkbookWriter.h"
#include "platform/LexomatError.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <limits>
#include <string>

namespace {
// One record a line; a field holding the separator, a quote or a line break is quoted,
// with its quotes doubled, so that every spreadsheet and our own reader get it back.
class TextListWriter : public WorkbookWriter {
public:
    TextListWriter(const QString &path, char separator) : file(path), separator(separator) {
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            Fail(file.errorString());
    }

    ~TextListWriter() override {
        if (file.isOpen()) {
            // Unfinished: let it go without leaving a file behind.
            file.close();
            file.remove();
        }
    }

    int MaxRows() const override { return std::numeric_limits<int>::max(); }
    int MaxCellChars() const override { return std::numeric_limits<int>::max(); }

    void AddRow(std::string_view a, std::string_view b) override {
        line.clear();
        AppendField(a);
        line += separator;
        AppendField(b);
        line += "\r\n";
        if (file.write(line.data(), qint64(line.size())) != qint64(line.size()))
            Fail(SystemReason());
    }

    void Finish() override {
        if (!file.flush())
            Fail(SystemReason());
        file.close();
        if (file.error() != QFileDevice::NoError)
            Fail(SystemReason());
    }

private:
    void AppendField(std::string_view text) {
        const bool quoted =
            text.find_first_of(std::string{separator, '"', '\r', '\n'}) != std::string_view::npos;
        if (!quoted) {
            line += text;
            return;
        }
        line += '"';
        for (char c : text) {
            if (c == '"')
                line += '"';
            line += c;
        }
        line += '"';
    }

    // QFile words a full disk found while flushing as "Unknown error"; errno knows.
    QString SystemReason() const {
        const int error = errno;
        if (error == ENOSPC)
            return QStringLiteral("the disk is full");
        return error ? QString::fromLocal8Bit(std::strerror(error)) : file.errorString();
    }

    [[noreturn]] void Fail(const QString &reason) {
        throw LexomatError(
            QString("The file \"%1\" cannot be written: %2").arg(file.fileName(), reason));
    }

    QFile file;
    char separator;
    std::string line;
};
} // namespace

std::unique_ptr<WorkbookWriter> CreateCsvWriter(const QString &path) {
    return std::make_unique<TextListWriter>(path, ',');
}

std::unique_ptr<WorkbookWriter> CreateTsvWriter(const QString &path) {
    return std::make_unique<TextListWriter>(path, '\t');
}
