#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>

#include "formats/BiffRecordStream.h"
#include "formats/BiffSheetCells.h"
#include "formats/GsfLibrary.h"
#include "formats/WorkbookCellText.h"
#include "formats/XlsWorkbookReader.h"
#include "platform/LexomatError.h"

#include <cstring>

namespace {

enum Record : quint16 {
    Bof = 0x0809,
    Eof = 0x000A,
    FilePass = 0x002F,
    CodePage = 0x0042,
    DateMode = 0x0022,
    Format = 0x041E,
    Xf = 0x00E0,
    BoundSheet = 0x0085,
    Sst = 0x00FC,
    Number = 0x0203,
    Rk = 0x027E,
    MulRk = 0x00BD,
    LabelSst = 0x00FD,
    Label = 0x0204,
    RString = 0x00D6,
    BoolErr = 0x0205,
    Formula = 0x0006,
    String = 0x0207,
};

constexpr quint16 Biff8Version = 0x0600;
constexpr quint16 WorkbookGlobals = 0x0005;
constexpr quint16 Worksheet = 0x0010;
// Far above what 65,536 rows of 256 cells need; the stream is read whole.
constexpr qint64 MaxStreamBytes = qint64(256) << 20;

[[noreturn]] void refuse(const QString &reason) {
    throw LexomatError(reason);
}

struct GObjectDeleter {
    void operator()(void *object) const {
        if (object)
            g_object_unref(object);
    }
};

// The workbook stream of the compound file: "Workbook" (Excel 97 and later), else
// "Book" (Excel 5/95). Names are compared without regard to case.
QByteArray workbookStream(const WorkbookFile &file) {
    EnsureGsfInitialised();
    std::unique_ptr<GsfInput, GObjectDeleter> source(
        gsf_input_memory_new(reinterpret_cast<const guint8 *>(file.data()), file.size(), FALSE));
    GError *error = nullptr;
    std::unique_ptr<GsfInfile, GObjectDeleter> ole(
        source ? gsf_infile_msole_new(source.get(), &error) : nullptr);
    if (!ole) {
        if (error)
            g_error_free(error);
        refuse(QStringLiteral("The compound file is damaged: its directory cannot be read."));
    }
    int chosen = -1;
    bool encrypted = false;
    for (int i = 0; i < gsf_infile_num_children(ole.get()); ++i) {
        const QString name = QString::fromUtf8(gsf_infile_name_by_index(ole.get(), i));
        if (name.compare(u"Workbook", Qt::CaseInsensitive) == 0)
            chosen = i;
        else if (name.compare(u"Book", Qt::CaseInsensitive) == 0 && chosen < 0)
            chosen = i;
        else if (name.compare(u"EncryptedPackage", Qt::CaseInsensitive) == 0)
            encrypted = true;
    }
    if (chosen < 0)
        refuse(encrypted ? QStringLiteral("The workbook is protected by a password.")
                         : QStringLiteral("The compound file holds no workbook."));
    std::unique_ptr<GsfInput, GObjectDeleter> stream(gsf_infile_child_by_index(ole.get(), chosen));
    if (!stream)
        refuse(QStringLiteral("The compound file is damaged: the workbook stream cannot be "
                              "opened."));
    const gsf_off_t size = gsf_input_size(stream.get());
    if (size < 0 || size > file.size())
        refuse(QStringLiteral("The compound file is damaged: the workbook stream is larger "
                              "than the file."));
    if (size > MaxStreamBytes)
        refuse(
            QStringLiteral("The workbook stream is larger than %1 MiB.").arg(MaxStreamBytes >> 20));
    QByteArray bytes(size, Qt::Uninitialized);
    if (size > 0 && !gsf_input_read(stream.get(), size, reinterpret_cast<guint8 *>(bytes.data())))
        refuse(QStringLiteral("The compound file is damaged: the workbook stream cannot be "
                              "read."));
    return bytes;
}

double rkValue(quint32 rk) {
    double value;
    if (rk & 0x02) {
        value = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100 : value;
}

} // namespace

bool XlsWorkbookReader::IsCompoundFile(const WorkbookFile &file) {
    return file.size() >= 8 && std::memcmp(file.data(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) == 0;
}

XlsWorkbookReader::XlsWorkbookReader(std::shared_ptr<const WorkbookFile> file)
    : budget(file->size()) {
    QByteArray stream = workbookStream(*file);
    budget.Keep(stream.size());
    records = std::make_unique<BiffRecordStream>(std::move(stream));
    ReadGlobals();
}

XlsWorkbookReader::~XlsWorkbookReader() = default;

QString XlsWorkbookReader::ReadString(BiffReader &reader, int countBytes) const {
    return biff8 ? reader.UnicodeString(countBytes) : reader.ByteString(countBytes, decoder);
}

void XlsWorkbookReader::ReadGlobals() {
    if (!records->Next() || records->Type() != Bof)
        refuse(QStringLiteral("The workbook is older than Excel 5 or damaged: it does not "
                              "start with a workbook header."));
    {
        BiffReader bof(records->Body());
        biff8 = bof.U16() == Biff8Version;
        if (bof.U16() != WorkbookGlobals)
            refuse(QStringLiteral("The workbook is damaged: its first part is not the "
                                  "workbook globals."));
    }
    std::vector<quint16> xfFormats;
    while (records->Next() && records->Type() != Eof) {
        switch (records->Type()) {
        case FilePass:
            refuse(QStringLiteral("The workbook is protected by a password."));
        case CodePage: {
            BiffReader reader(records->Body());
            if (!biff8)
                decoder.SetCodePage(reader.U16());
            break;
        }
        case DateMode:
            date1904 = BiffReader(records->Body()).U16() == 1;
            break;
        case Format: {
            BiffReader reader(records->Body());
            const quint16 id = reader.U16();
            const QString code = ReadString(reader, biff8 ? 2 : 1);
            budget.Keep(ReadBudget::TextBytes(code.size()));
            formats.insert(id, code);
            break;
        }
        case Xf: {
            BiffReader reader(records->Body());
            reader.U16(); // font
            xfFormats.push_back(reader.U16());
            break;
        }
        case BoundSheet: {
            BiffReader reader(records->Body());
            const quint32 offset = reader.U32();
            reader.U8(); // visibility: hidden sheets are offered as well
            const quint8 kind = reader.U8();
            const QString name = ReadString(reader, 1);
            if (kind == 0) { // a worksheet, not a chart, macro or module sheet
                budget.Keep(ReadBudget::TextBytes(name.size()));
                sheets.append({name, offset});
            }
            break;
        }
        case Sst: {
            BiffReader reader(records->BodyWithContinues());
            reader.U32(); // total references
            const quint32 unique = reader.U32();
            sharedStrings.reserve(qMin<qint64>(unique, reader.Remaining() / 3));
            for (quint32 i = 0; i < unique && !reader.AtEnd(); ++i) {
                sharedStrings.append(reader.UnicodeString(2));
                budget.Keep(ReadBudget::TextBytes(sharedStrings.constLast().size()));
            }
            break;
        }
        default:
            break;
        }
    }
    dateXfs.reserve(xfFormats.size());
    for (quint16 id : xfFormats)
        dateXfs.push_back(WorkbookCellText::IsDateFormat(id, formats.value(id)));
}

QStringList XlsWorkbookReader::SheetNames() const {
    QStringList names;
    for (const Sheet &sheet : sheets)
        names.append(sheet.name);
    return names;
}

QString XlsWorkbookReader::NumberText(double value, quint16 xf) const {
    if (xf < dateXfs.size() && dateXfs[xf])
        return WorkbookCellText::Date(value, date1904);
    return WorkbookCellText::Number(value);
}

void XlsWorkbookReader::SeekSheet(const QString &sheetName) {
    const Sheet *sheet = nullptr;
    for (const Sheet &candidate : sheets)
        if (candidate.name == sheetName)
            sheet = &candidate;
    if (!sheet)
        throw LexomatError(QStringLiteral("The workbook has no sheet named “%1”.").arg(sheetName));
    records->Seek(sheet->offset);
    if (!records->Next() || records->Type() != Bof)
        refuse(QStringLiteral("The workbook is damaged: the sheet “%1” does not start where "
                              "the workbook says.")
                   .arg(sheetName));
    BiffReader bof(records->Body());
    bof.U16();
    if (bof.U16() != Worksheet)
        refuse(QStringLiteral("The sheet “%1” is not a worksheet.").arg(sheetName));
}

void XlsWorkbookReader::ReadRows(
    const QString &sheetName,
    const std::function<bool(int rowNumber, const QStringList &cells)> &row) {
    SeekSheet(sheetName);
    BiffSheetCells cells(sheetName, budget);
    while (records->Next() && records->Type() != Eof) {
        const quint16 type = records->Type();
        if (type == Bof)
            refuse(QStringLiteral("The workbook is damaged: the sheet “%1” has no end.")
                       .arg(sheetName));
        if (type == String) {
            BiffReader reader(records->BodyWithContinues());
            cells.GiveAwaitedText(ReadString(reader, 2));
        } else if (type == Number || type == Rk || type == MulRk || type == LabelSst ||
                   type == Label || type == RString || type == BoolErr || type == Formula) {
            cells.ForgetAwaitedText();
            ReadCell(type, cells);
        }
    }
    cells.Emit(row);
}

// One cell record (several for MULRK) of the current sheet.
void XlsWorkbookReader::ReadCell(quint16 type, BiffSheetCells &cells) {
    BiffReader reader(type == Label || type == RString ? records->BodyWithContinues()
                                                       : QList<QByteArrayView>{records->Body()});
    const quint16 r = reader.U16();
    const quint16 c = reader.U16();
    if (type != MulRk && !cells.Keeps(c))
        return; // only columns A and B are read
    if (type == MulRk) {
        const qint64 count = (reader.Remaining() - 2) / 6;
        if (count < 1 || (reader.Remaining() - 2) % 6 != 0 ||
            c + count > BiffSheetCells::MaxColumns)
            refuse(QStringLiteral("The workbook is damaged: a row of numbers has a wrong "
                                  "length."));
        for (qint64 i = 0; i < count && cells.Keeps(int(c + i)); ++i) {
            const quint16 xf = reader.U16();
            cells.Put(r, int(c + i), NumberText(rkValue(reader.U32()), xf));
        }
        return;
    }
    const quint16 xf = reader.U16();
    switch (type) {
    case Number:
        cells.Put(r, c, NumberText(reader.F64(), xf));
        break;
    case Rk:
        cells.Put(r, c, NumberText(rkValue(reader.U32()), xf));
        break;
    case LabelSst: {
        const quint32 index = reader.U32();
        if (index >= quint32(sharedStrings.size()))
            refuse(QStringLiteral("The workbook is damaged: a cell refers to shared string "
                                  "%1 of %2.")
                       .arg(index)
                       .arg(sharedStrings.size()));
        cells.Put(r, c, sharedStrings.at(index));
        break;
    }
    case Label:
    case RString:
        cells.Put(r, c, ReadString(reader, 2));
        break;
    case BoolErr: {
        const quint8 value = reader.U8();
        cells.Put(r, c,
                  reader.U8() ? WorkbookCellText::BiffError(value)
                              : WorkbookCellText::Boolean(value));
        break;
    }
    case Formula:
        ReadFormulaResult(reader, r, c, xf, cells);
        break;
    default:
        break;
    }
}

// A formula's cached result: a number, or (marked by FFFF in its last two bytes) a
// boolean, an error, an empty text, or a text that follows in a STRING record.
void XlsWorkbookReader::ReadFormulaResult(BiffReader &reader, quint16 r, quint16 c, quint16 xf,
                                          BiffSheetCells &cells) const {
    quint8 result[8];
    for (quint8 &byte : result)
        byte = reader.U8();
    if (result[6] != 0xFF || result[7] != 0xFF) {
        double value;
        std::memcpy(&value, result, sizeof value);
        cells.Put(r, c, NumberText(value, xf));
    } else if (result[0] == 0) {
        cells.AwaitText(r, c);
    } else if (result[0] == 1) {
        cells.Put(r, c, WorkbookCellText::Boolean(result[2]));
    } else if (result[0] == 2) {
        cells.Put(r, c, WorkbookCellText::BiffError(result[2]));
    }
}
