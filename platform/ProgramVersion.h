#pragma once

#include <QString>

// The program's version, the project's one version number.
QString ProgramVersion();

// Answers "lexomat --version" before any window exists (no display needed): prints
// the version and returns true when that was the command line.
bool AnswerVersionOption(int argc, char **argv);
