#include "app/WorkbookCommands.h"

#include "exchange/LibraryExport.h"
#include "exchange/SheetImport.h"
#include "formats/WorkbookReader.h"
#include "platform/FailureText.h"
#include "platform/LexomatError.h"
#include "store/LibraryConnection.h"
#include "store/NewLibraryFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>
#include <cstdio>
#include <cstring>

namespace {
const char *const Usage =
    "Usage: lexomat [COMMAND ARGUMENTS...]\n"
    "       lexomat [--] FILE\n"
    "Without a command the program opens its windows; with a FILE it opens that library\n"
    "(.mdb) to study, or a workbook or vocabulary file in the library editor to import.\n"
    "\n"
    "  lexomat sheets WORKBOOK                 the workbook's sheet names, one a line\n"
    "  lexomat rows WORKBOOK SHEET             the sheet's data rows (below its title row,\n"
    "                                          if it has one): columns A and B as a JSON\n"
    "                                          array of two strings a line\n"
    "  lexomat import WORKBOOK SHEET LIBRARY   adds the sheet's new words to LIBRARY\n"
    "                                          (created when it does not exist)\n"
    "  lexomat export LIBRARY WORKBOOK         writes every card to WORKBOOK, in the format\n"
    "                                          its extension names: .xls, .xlsx, .kvtml,\n"
    "                                          .csv or .tsv (never over a library)\n"
    "  lexomat convert OLD.mdb NEW.mdb         copies a library in the older Access format\n"
    "                                          into a new library NEW.mdb\n"
    "  lexomat --version                       the program's version\n"
    "  lexomat --help                          this text\n"
    "\n"
    "Workbooks: .xls, .xlsx, .ods, .csv, .tsv, .txt; vocabulary files of other trainers:\n"
    ".kvtml (KVTML 1 and 2; sheets \"All entries\" and each lesson) and note exports\n"
    "(.txt with #key:value headers). Exit status: 0 success, 1 a refused file or a failed\n"
    "write, 2 wrong usage.\n";

struct Command {
    const char *name;
    int arguments;
};
constexpr Command Commands[] = {{"sheets", 1}, {"rows", 2}, {"import", 3}, {"export", 2}};

void Print(FILE *to, const QString &text) {
    const QByteArray utf8 = text.toUtf8() + '\n';
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), to);
}

int Refused(const QString &message) {
    Print(stderr, message);
    return 1;
}

QString Argument(char *argv[], int i) {
    return QString::fromLocal8Bit(argv[i]);
}

int Sheets(const QString &workbook) {
    QStringList names;
    try {
        names = OpenWorkbook(workbook)->SheetNames();
    } catch (const std::exception &e) {
        return Refused(SheetImport::UnableToConnectMessage(FailureText(e)));
    }
    for (const QString &name : names)
        Print(stdout, name);
    return 0;
}

int Rows(const QString &workbook, const QString &sheet) {
    std::unique_ptr<WorkbookReader> reader;
    try {
        reader = OpenWorkbook(workbook);
        reader->SheetNames();
    } catch (const std::exception &e) {
        return Refused(SheetImport::UnableToConnectMessage(FailureText(e)));
    }
    try {
        const int firstDataRow = reader->FirstDataRow();
        reader->ReadRows(sheet, [firstDataRow](int rowNumber, const QStringList &cells) {
            if (rowNumber >= firstDataRow)
                Print(stdout,
                      QString::fromUtf8(QJsonDocument(QJsonArray{cells.value(0), cells.value(1)})
                                            .toJson(QJsonDocument::Compact)));
            return true;
        });
    } catch (const std::exception &e) {
        return Refused(SheetImport::SheetFailureMessage(*reader, sheet, FailureText(e)));
    }
    return 0;
}

int Import(const QString &workbook, const QString &sheet, const QString &library) {
    std::unique_ptr<WorkbookReader> reader;
    try {
        reader = OpenWorkbook(workbook);
        if (!reader->SheetNames().contains(sheet))
            throw SheetReadError(QString("The workbook has no sheet \"%1\".").arg(sheet));
    } catch (const SheetReadError &e) {
        return Refused(SheetImport::UnableToReadMessage(sheet, e.message()));
    } catch (const std::exception &e) {
        return Refused(SheetImport::UnableToConnectMessage(FailureText(e)));
    }
    // A library that does not exist yet is made under a temporary name and given its
    // name only once the import is in it; a failure removes that file and nothing else.
    ImportOutcome outcome;
    try {
        bool imported = false;
        if (!QFileInfo::exists(library) && !QFileInfo(library).isSymLink()) {
            NewLibraryFile made(library);
            outcome = SheetImport::Run(*reader, sheet, made.Connection());
            if (outcome.result == ImportOutcome::Result::TooFewRows)
                return Refused(outcome.Message());
            // Another program may have made the library meanwhile: then the cards go
            // into that one, as into any library that exists.
            imported = made.Publish();
        }
        if (!imported) {
            LibraryConnection connection(library, LibraryConnection::Mode::ReadWrite);
            outcome = SheetImport::Run(*reader, sheet, connection);
        }
    } catch (const SheetReadError &e) {
        return Refused(SheetImport::SheetFailureMessage(*reader, sheet, e.message()));
    } catch (const std::exception &e) {
        return Refused(SheetImport::WriteFailedMessage(FailureText(e)));
    }
    if (outcome.result == ImportOutcome::Result::TooFewRows)
        return Refused(outcome.Message());
    Print(stdout, outcome.Message());
    return 0;
}

int Export(const QString &library, const QString &workbook) {
    try {
        LibraryConnection connection(library, LibraryConnection::Mode::ReadOnly);
        LibraryExport::RefuseTarget(connection, workbook);
        const int64_t cards = LibraryExport::CardCount(connection);
        if (LibraryExport::FormatOf(workbook) == LibraryExport::Format::Xls &&
            cards > LibraryExport::XlsCardLimit())
            return Refused(LibraryExport::FailedMessage(
                LibraryExport::TooManyForXlsQuestion(cards).section('\n', 0, 0) +
                "\nName the workbook with the extension .xlsx to export it as an Excel "
                "Workbook."));
        const LibraryExport::Outcome outcome = LibraryExport::Run(connection, workbook);
        const QString message = outcome.Message();
        if (!message.isEmpty())
            Print(stdout, message);
    } catch (const std::exception &e) {
        return Refused(LibraryExport::FailedMessage(FailureText(e)));
    }
    return 0;
}
} // namespace

bool IsCommandName(const char *name) {
    for (const Command &command : Commands)
        if (std::strcmp(name, command.name) == 0)
            return true;
    return std::strcmp(name, "convert") == 0;
}

bool IsWorkbookCommand(int argc, char *argv[]) {
    if (argc < 2)
        return false;
    // Options for the windowing system start with a dash; anything else is a command.
    return argv[1][0] != '-' || std::strcmp(argv[1], "--help") == 0 ||
           std::strcmp(argv[1], "-h") == 0;
}

int RunWorkbookCommand(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QByteArray name = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (name == "--help" || name == "-h") {
        std::fputs(Usage, stdout);
        return 0;
    }
    for (const Command &command : Commands) {
        if (name != command.name)
            continue;
        if (argc != command.arguments + 2)
            break;
        if (name == "sheets")
            return Sheets(Argument(argv, 2));
        if (name == "rows")
            return Rows(Argument(argv, 2), Argument(argv, 3));
        if (name == "import")
            return Import(Argument(argv, 2), Argument(argv, 3), Argument(argv, 4));
        return Export(Argument(argv, 2), Argument(argv, 3));
    }
    if (argc == 2 && !IsCommandName(argv[1]))
        Print(stderr,
              QString("lexomat: \"%1\" is neither a command nor a file.").arg(Argument(argv, 1)));
    std::fputs(Usage, stderr);
    return 2;
}
