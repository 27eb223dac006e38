#pragma once

// The hidden command with which the program reads an older Access library in a
// child process of its own: "lexomat --read-jet-library PATH". The library's cards
// go to file descriptor 3 as JetRowMessages; whatever the reading library does wrong
// (a crash, a runaway) ends only this process, under the limits its parent set.
namespace JetReaderCommand {
constexpr const char *Name = "--read-jet-library";
constexpr int MessageDescriptor = 3;
// Exit codes besides 0 (the messages tell how the read went).
constexpr int WrongUsage = 2;
constexpr int OutOfMemory = 3;
constexpr int CannotWrite = 4;

bool Requested(int argc, char *argv[]);
int Run(int argc, char *argv[]);
} // namespace JetReaderCommand
