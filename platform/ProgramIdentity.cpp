#include "platform/ProgramIdentity.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

namespace {
const QString DesktopId = QStringLiteral("org.lexomat.Lexomat");
}

QString ProgramVersion() {
    return QStringLiteral(LEXOMAT_VERSION);
}

bool AnswerVersionOption(int argc, char **argv) {
    if (argc != 2 || std::strcmp(argv[1], "--version") != 0)
        return false;
    std::printf("lexomat %s\n", LEXOMAT_VERSION);
    return true;
}

void SetProgramIdentity() {
    QApplication::setApplicationVersion(ProgramVersion());
    QGuiApplication::setDesktopFileName(DesktopId);
    QApplication::setWindowIcon(QIcon::fromTheme(DesktopId));
}
