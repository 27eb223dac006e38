#pragma once

#include <QString>

// The file a desktop hands the program to open: `lexomat FILE` (a FILE that is no
// command name and exists) or `lexomat -- FILE` (any path, also one that begins with a
// dash or is a command's name).
namespace FileArgument {
// True when the arguments name a file to open in the windows (before the application
// object exists).
bool Given(int argc, char *argv[]);
// The file as an absolute path, once the application object has taken the windowing
// system's options out of argv; empty when none was given.
QString Path(int argc, char *argv[]);
} // namespace FileArgument
