#include "app/FileArgument.h"

#include "app/WorkbookCommands.h"

#include <QFileInfo>
#include <cstring>

namespace FileArgument {

bool Given(int argc, char *argv[]) {
    if (argc == 3 && std::strcmp(argv[1], "--") == 0)
        return true;
    return argc == 2 && argv[1][0] != '-' && !IsCommandName(argv[1]) &&
           QFileInfo::exists(QString::fromLocal8Bit(argv[1]));
}

QString Path(int argc, char *argv[]) {
    QString path;
    if (argc == 3 && std::strcmp(argv[1], "--") == 0)
        path = QString::fromLocal8Bit(argv[2]);
    else if (argc == 2 && argv[1][0] != '-')
        path = QString::fromLocal8Bit(argv[1]);
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

} // namespace FileArgument
