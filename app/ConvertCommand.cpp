#include "app/ConvertCommand.h"

#include "store/LegacyLibraryConverter.h"

#include <QFile>
#include <QTextStream>
#include <cstring>

namespace {
constexpr int Converted = 0;
constexpr int Refused = 1;
constexpr int WrongUsage = 2;
} // namespace

namespace ConvertCommand {

bool Requested(int argc, char *argv[]) {
    return argc >= 2 && std::strcmp(argv[1], "convert") == 0;
}

int Run(int argc, char *argv[]) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (argc != 4 || argv[2][0] == '\0' || argv[3][0] == '\0') {
        err << "Usage: lexomat convert OLD.mdb NEW.mdb\n"
               "Copies a library in the older Access format into a new Lexomat library.\n";
        return WrongUsage;
    }
    const QString oldPath = QFile::decodeName(argv[2]);
    const QString newPath = QFile::decodeName(argv[3]);
    try {
        const ConversionResult result = LegacyLibraryConverter::Convert(oldPath, newPath);
        out << LegacyLibraryConverter::Summary(result) << '\n';
        for (const LeftOutCard &card : result.leftOut)
            out << "  ID " << (card.id ? QString::number(*card.id) : QStringLiteral("(none)"))
                << ": " << card.reason << '\n';
        return Converted;
    } catch (const LexomatError &error) {
        err << error.message() << '\n';
        return Refused;
    }
}

} // namespace ConvertCommand
