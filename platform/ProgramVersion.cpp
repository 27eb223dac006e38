#include "platform/ProgramVersion.h"

#include <cstdio>
#include <cstring>

QString ProgramVersion() {
    return QStringLiteral(LEXOMAT_VERSION);
}

bool AnswerVersionOption(int argc, char **argv) {
    if (argc != 2 || std::strcmp(argv[1], "--version") != 0)
        return false;
    std::printf("lexomat %s\n", LEXOMAT_VERSION);
    return true;
}
