#pragma once

#include <QtGlobal>

// What one read of a workbook may cost, so that no file, however small, can make the
// program take gigabytes or fill a library:
// - memory: the file's bytes and the tables a reader keeps while it reads (shared
//   strings, names, a sheet's rows gathered before they are handed on), at most 16
//   bytes for each byte of the file plus 64 MiB, and never more than 448 MiB, which
//   leaves the program around the reader under 512 MiB;
// - texts handed to the caller: at most 64 characters for each byte of the file plus
//   32 Mi characters, however often the file repeats a text.
class ReadBudget {
public:
    static constexpr qint64 BytesPerFileByte = 16;
    static constexpr qint64 ConstantBytes = qint64(64) << 20;
    static constexpr qint64 CeilingBytes = qint64(448) << 20;
    static constexpr qint64 CharactersPerFileByte = 64;
    static constexpr qint64 ConstantCharacters = qint64(32) << 20;

    // The memory limit for a file of that size.
    static qint64 MemoryLimitFor(qint64 fileBytes);
    // What a kept text of that length costs: its characters and the string's header.
    static qint64 TextBytes(qint64 characters) { return 32 + 2 * characters; }

    // The file's own bytes are the first thing the budget pays for.
    explicit ReadBudget(qint64 fileBytes);

    // Counts memory kept; throws LexomatError once the budget is spent.
    void Keep(qint64 bytes);
    // Counts characters handed to the caller; throws LexomatError once spent.
    void HandOut(qint64 characters);

private:
    qint64 memoryLimit;
    qint64 memoryUsed = 0;
    qint64 characterLimit;
    qint64 charactersUsed = 0;
};
