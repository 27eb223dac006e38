#pragma once

// The command line for preparing libraries from a shell:
//   lexomat sheets WORKBOOK | rows WORKBOOK SHEET | import WORKBOOK SHEET LIBRARY |
//           export LIBRARY WORKBOOK | --help
// (`lexomat FILE` and `lexomat -- FILE` open the windows instead: FileArgument.)
// Exit 0 on success, 1 on a refused file or a failed write (message on stderr),
// 2 on wrong usage. No window is opened.

// True for the name of a command (also "convert").
bool IsCommandName(const char *name);
// True when the arguments ask for one of these commands (or are no known start-up
// arguments at all), so the windows must not start.
bool IsWorkbookCommand(int argc, char *argv[]);
int RunWorkbookCommand(int argc, char *argv[]);
