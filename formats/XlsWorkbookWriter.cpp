// glib names a member "signals", which Qt defines as a macro: glib comes first.
#include <gsf/gsf.h>

#include "formats/BiffStream.h"
#include "formats/GsfLibrary.h"
#include "formats/WorkbookWriter.h"
#include "platform/LexomatError.h"

namespace {
enum : uint16_t {
    kBof = 0x0809,
    kEof = 0x000A,
    kCodepage = 0x0042,
    kWindow1 = 0x003D,
    kDatemode = 0x0022,
    kFont = 0x0031,
    kXf = 0x00E0,
    kStyle = 0x0293,
    kBoundsheet = 0x0085,
    kColinfo = 0x007D,
    kDimensions = 0x0200,
    kRow = 0x0208,
    kLabelSst = 0x00FD,
    kWindow2 = 0x023E,
};
constexpr uint16_t kCellXf = 15;     // the default cell format
constexpr uint16_t kWrapXf = 16;     // the same with wrapped text
constexpr uint16_t kLineTwips = 255; // one line of the default font
constexpr uint16_t kMaxRowTwips = 8190;

BiffRecord Bof(uint16_t kind) {
    BiffRecord r(kBof);
    r.U16(0x0600).U16(kind).U16(0x0DBB).U16(0x07CC).U32(0).U32(0x06);
    return r;
}

BiffRecord Xf(bool style, bool wrap) {
    BiffRecord r(kXf);
    r.U16(0).U16(0);                         // font 0, format General
    r.U16(style ? 0xFFF5 : 0x0001);          // locked; style XF, or cell XF of style 0
    r.U8(uint8_t(0x20 | (wrap ? 0x08 : 0))); // bottom-aligned, wrap text
    r.U8(0).U8(0);
    r.U8(style ? 0x00 : uint8_t(wrap ? 0x10 : 0x00)); // attributes that differ
    r.U32(0).U32(0);                                  // no borders, no pattern
    r.U16(0x40 | (0x41 << 7));                        // system foreground and background colours
    return r;
}

class XlsWriter : public WorkbookWriter {
public:
    XlsWriter(const QString &path, const QString &sheetName) : path(path), sheetName(sheetName) {
        EnsureGsfInitialised();
    }

    int MaxRows() const override { return XlsMaxRows; }

    void AddRow(std::string_view a, std::string_view b) override {
        if (row >= XlsMaxRows)
            throw LexomatError(
                QString("An Excel 97-2003 workbook holds at most %1 rows.").arg(XlsMaxRows));
        const QString texts[2] = {Cell(a), Cell(b)};
        int lines = 1;
        for (int col = 0; col < 2; ++col) {
            if (texts[col].isEmpty())
                continue;
            lines = std::max<int>(lines, int(texts[col].count(QLatin1Char('\n'))) + 1);
            const uint32_t index = strings.Index(texts[col]);
            strings.CountUse();
            BiffRecord cell(kLabelSst);
            cell.U16(uint16_t(row)).U16(uint16_t(col)).U16(col == 1 ? kWrapXf : kCellXf).U32(index);
            cell.AppendTo(cells);
            lastCol = std::max(lastCol, col);
        }
        // Without a row height, spreadsheets show only the first line of a text.
        const bool custom = lines > 1;
        BiffRecord rowRecord(kRow);
        rowRecord.U16(uint16_t(row))
            .U16(0)
            .U16(2)
            .U16(custom ? uint16_t(std::min(lines * kLineTwips, int(kMaxRowTwips))) : kLineTwips)
            .U16(0)
            .U16(0)
            .U16(uint16_t(0x0100 | (custom ? 0x0040 : 0)))
            .U16(kCellXf);
        rowRecord.AppendTo(rows);
        ++row;
        // Rows in blocks of 32 before their cells, as spreadsheets write them.
        if (row % 32 == 0)
            FlushBlock();
    }

    void Finish() override {
        FlushBlock();
        QByteArray sheet;
        Bof(0x0010).AppendTo(sheet);
        BiffRecord(kColinfo).U16(0).U16(0).U16(30 * 256).U16(kCellXf).U16(0).U16(0).AppendTo(sheet);
        BiffRecord(kColinfo).U16(1).U16(1).U16(80 * 256).U16(kWrapXf).U16(0).U16(0).AppendTo(sheet);
        BiffRecord(kDimensions)
            .U32(0)
            .U32(uint32_t(row))
            .U16(0)
            .U16(uint16_t(row ? lastCol + 1 : 0))
            .U16(0)
            .AppendTo(sheet);
        sheet.append(body);
        BiffRecord(kWindow2).U16(0x06B6).U16(0).U16(0).U16(64).U16(0).U16(0).U16(0).U32(0).AppendTo(
            sheet);
        BiffRecord(kEof).AppendTo(sheet);

        QByteArray globals = Globals(0);
        const uint32_t sstAt = uint32_t(globals.size());
        globals.append(strings.Records(sstAt));
        BiffRecord(kEof).AppendTo(globals);
        // The sheet's position is known only now; BOUNDSHEET has a fixed size.
        const QByteArray patched = Globals(uint32_t(globals.size()));
        globals.replace(0, patched.size(), patched);

        Write(globals, sheet);
    }

private:
    static QString Cell(std::string_view utf8) {
        QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        // Line breaks inside cells are LF alone.
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (text.size() > CellMaxChars)
            text.truncate(text[CellMaxChars - 1].isHighSurrogate() ? CellMaxChars - 1
                                                                   : CellMaxChars);
        return text;
    }

    void FlushBlock() {
        body.append(rows).append(cells);
        rows.clear();
        cells.clear();
    }

    QByteArray Globals(uint32_t sheetAt) const {
        QByteArray g;
        Bof(0x0005).AppendTo(g);
        BiffRecord(kCodepage).U16(1200).AppendTo(g);
        BiffRecord(kWindow1)
            .U16(0)
            .U16(0)
            .U16(0x4000)
            .U16(0x2000)
            .U16(0x0038)
            .U16(0)
            .U16(0)
            .U16(1)
            .U16(0x0258)
            .AppendTo(g);
        BiffRecord(kDatemode).U16(0).AppendTo(g);
        for (int i = 0; i < 5; ++i)
            BiffRecord(kFont)
                .U16(200)
                .U16(0)
                .U16(0x7FFF)
                .U16(400)
                .U16(0)
                .U8(0)
                .U8(0)
                .U8(0)
                .U8(0)
                .ShortString(QStringLiteral("Arial"))
                .AppendTo(g);
        for (int i = 0; i < 15; ++i)
            Xf(true, false).AppendTo(g);
        Xf(false, false).AppendTo(g);
        Xf(false, true).AppendTo(g);
        BiffRecord(kStyle).U16(0x8000).U8(0).U8(0xFF).AppendTo(g);
        BiffRecord(kBoundsheet).U32(sheetAt).U16(0).ShortString(sheetName).AppendTo(g);
        return g;
    }

    void Write(const QByteArray &globals, const QByteArray &sheet) {
        GError *error = nullptr;
        GsfOutput *sink = gsf_output_stdio_new(path.toUtf8().constData(), &error);
        if (!sink) {
            const QString reason = error ? QString::fromUtf8(error->message) : QString();
            if (error)
                g_error_free(error);
            throw LexomatError(QString("The file \"%1\" cannot be written: %2").arg(path, reason));
        }
        GsfOutfile *ole = gsf_outfile_msole_new(sink);
        GsfOutput *stream = gsf_outfile_new_child(ole, "Workbook", FALSE);
        bool ok = stream &&
                  gsf_output_write(stream, size_t(globals.size()),
                                   reinterpret_cast<const guint8 *>(globals.constData())) &&
                  gsf_output_write(stream, size_t(sheet.size()),
                                   reinterpret_cast<const guint8 *>(sheet.constData()));
        QString reason;
        auto close = [&](GsfOutput *out) {
            if (!out)
                return;
            if (!gsf_output_is_closed(out) && !gsf_output_close(out) && reason.isEmpty()) {
                const GError *e = gsf_output_error(out);
                reason = e ? QString::fromUtf8(e->message) : QString("writing failed");
                ok = false;
            }
        };
        close(stream);
        close(GSF_OUTPUT(ole));
        close(sink);
        if (stream)
            g_object_unref(stream);
        g_object_unref(ole);
        g_object_unref(sink);
        if (!ok)
            throw LexomatError(
                QString("The file \"%1\" cannot be written: %2")
                    .arg(path, reason.isEmpty() ? QString("writing failed") : reason));
    }

    QString path;
    QString sheetName;
    SharedStrings strings;
    QByteArray rows, cells, body;
    int row = 0;
    int lastCol = 0;
};
} // namespace

std::unique_ptr<WorkbookWriter> CreateXlsWriter(const QString &path, const QString &sheetName) {
    return std::make_unique<XlsWriter>(path, sheetName);
}
