#include "formats/WorkbookWriter.h"
#include "platform/LexomatError.h"

#include <QFileInfo>
#include <cstdio>
#include <string>
#include <xlsxwriter.h>

namespace {
constexpr double kLinePoints = 15.0;

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A text that holds "_xHHHH_" would be read back as the character HHHH: the
// underscore that opens it is written as "_x005F_", which readers take as "_".
// Every such opening counts, also one that shares its underscore with another.
void EscapeLiteralEscapes(std::string_view text, std::string &out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '_' && i + 6 < text.size() && text[i + 1] == 'x' && text[i + 6] == '_' &&
            IsHex(text[i + 2]) && IsHex(text[i + 3]) && IsHex(text[i + 4]) && IsHex(text[i + 5])) {
            out += "_x005F_";
            continue;
        }
        out += text[i];
    }
}
constexpr double kMaxRowPoints = 409.0;

class XlsxWriter : public WorkbookWriter {
public:
    XlsxWriter(const QString &path, const QString &sheetName) : path(path) {
        // Its temporary files go beside the target, where there is room for the target.
        tmpdir = QFileInfo(path).absolutePath().toUtf8();
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = tmpdir.data();
        options.use_zip64 = LXW_TRUE;
        workbook = workbook_new_opt(path.toUtf8().constData(), &options);
        if (!workbook)
            throw LexomatError(
                QString("The file \"%1\" cannot be written: out of memory.").arg(path));
        sheet = workbook_add_worksheet(workbook, sheetName.toUtf8().constData());
        wrap = workbook_add_format(workbook);
        if (!sheet || !wrap)
            Fail("the worksheet cannot be made");
        format_set_text_wrap(wrap);
        format_set_align(wrap, LXW_ALIGN_VERTICAL_BOTTOM);
        worksheet_set_column(sheet, 0, 0, 30, nullptr);
        worksheet_set_column(sheet, 1, 1, 80, wrap);
    }

    ~XlsxWriter() override {
        if (workbook) {
            // Unfinished: let it go without leaving a file behind.
            workbook_close(workbook);
            std::remove(path.toUtf8().constData());
        }
    }

    int MaxRows() const override { return XlsxMaxRows; }

    void AddRow(std::string_view a, std::string_view b) override {
        if (row >= XlsxMaxRows)
            throw LexomatError(
                QString("An Excel workbook holds at most %1 rows.").arg(XlsxMaxRows));
        const std::string_view texts[2] = {a, b};
        int lines = 1;
        for (int col = 0; col < 2; ++col)
            for (char c : texts[col])
                lines += c == '\n' ? 1 : 0;
        // In constant-memory mode a row's height is set before its cells.
        if (lines > 1)
            worksheet_set_row(sheet, lxw_row_t(row), std::min(kMaxRowPoints, lines * kLinePoints),
                              nullptr);
        for (int col = 0; col < 2; ++col) {
            if (texts[col].empty())
                continue;
            EscapeLiteralEscapes(texts[col], cell);
            const lxw_error e = worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(col),
                                                       cell.c_str(), col == 1 ? wrap : nullptr);
            if (e != LXW_NO_ERROR)
                Fail(QString::fromUtf8(lxw_strerror(e)));
        }
        ++row;
    }

    void Finish() override {
        lxw_workbook *closing = workbook;
        workbook = nullptr;
        const lxw_error e = workbook_close(closing);
        if (e != LXW_NO_ERROR) {
            std::remove(path.toUtf8().constData());
            throw LexomatError(QString("The file \"%1\" cannot be written: %2")
                                   .arg(path, QString::fromUtf8(lxw_strerror(e))));
        }
    }

private:
    [[noreturn]] void Fail(const QString &reason) {
        throw LexomatError(QString("The file \"%1\" cannot be written: %2").arg(path, reason));
    }

    QString path;
    QByteArray tmpdir;
    lxw_workbook *workbook = nullptr;
    lxw_worksheet *sheet = nullptr;
    lxw_format *wrap = nullptr;
    std::string cell;
    int row = 0;
};
} // namespace

std::unique_ptr<WorkbookWriter> CreateXlsxWriter(const QString &path, const QString &sheetName) {
    return std::make_unique<XlsxWriter>(path, sheetName);
}
