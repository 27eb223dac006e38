#pragma once

#include <array>
#include <cstdint>
#include <vector>

class LibraryConnection;
class Tdm;

// One saved study session of a library (or a reset): when it was saved, what was
// studied since the save before, and where the five boxes stood afterwards.
struct ProgressRow {
    int64_t SavedAt = 0;            // UTC, whole seconds since 1970-01-01
    int32_t StudySeconds = 0;       // studied since the save before
    int32_t Answers = 0;            // questions scored (first clicks)
    int32_t RightFirst = 0;         // of those, right at the first click
    std::array<int32_t, 5> Boxes{}; // Don't Know, Box 1, Box 2, Box 3, Know
    bool Reset = false;

    bool operator==(const ProgressRow &) const = default;
};

// The library's own record of its study sessions: table Progress, one row a save.
// A file without it is a library as good as any; the first save that has something
// to record makes the table. Other programs that read Library and TotalTime see
// them as before.
namespace ProgressHistory {
extern const char *const TableName;

// Appends the row, making the table first when the file has none. It runs inside the
// caller's transaction, so the row reaches the file together with the levels or not
// at all. A table that another program reshaped so that the row no longer fits, or
// gave triggers, is left as it is, without the row: the levels and the time are saved
// all the same.
// A failure of the file itself (read-only, full, in use) throws LexomatError.
void Append(Tdm &dm, const ProgressRow &row);
void Append(LibraryConnection &library, const ProgressRow &row);

// The rows in the order they were saved; none when the file has no table. Rows whose
// values are not whole numbers are left out, counts below 0 read as 0. Throws
// LexomatError when the table is there but cannot be read.
std::vector<ProgressRow> Read(Tdm &dm);
std::vector<ProgressRow> Read(LibraryConnection &library);
} // namespace ProgressHistory
