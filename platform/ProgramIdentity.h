#pragma once

#include <QString>

// Who the program is to the user and the desktop: its version (the project's one
// version number) and the names of its menu entry and icon.

QString ProgramVersion();

// Answers "lexomat --version" before any window exists (no display needed): prints
// the version and returns true when that was the command line.
bool AnswerVersionOption(int argc, char **argv);

// Gives the application object its version, and the desktop the names of the
// installed menu entry and icon, so that its windows are shown with them.
void SetProgramIdentity();
