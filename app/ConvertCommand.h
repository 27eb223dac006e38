#pragma once

// "lexomat convert OLD.mdb NEW.mdb": converts a library in the older Access format
// into a new library file without opening a window.
namespace ConvertCommand {
// True when the command line asks for this command.
bool Requested(int argc, char *argv[]);
// Exit codes: 0 converted, 1 refused (the original or the copy), 2 wrong usage.
int Run(int argc, char *argv[]);
} // namespace ConvertCommand
