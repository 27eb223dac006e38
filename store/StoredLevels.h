#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class LibraryConnection;

// The levels and the study time as the library file holds them at this moment, read
// on the connection itself past every cache of the table dataset. A save reads them
// inside its write transaction to see whether another program wrote over what was read.
// A value that is not a whole 32-bit number throws LexomatError, as loading it would.
namespace StoredLevels {
// The level of the card, or nothing when the file no longer has it.
std::optional<int32_t> LevelOf(LibraryConnection &connection, int32_t id);
// For each (ID, level as read): the (ID, level held now) of the cards whose level is no
// longer the one read, in the given order. Cards gone from the file are left out.
std::vector<std::pair<int32_t, int32_t>>
ChangedLevels(LibraryConnection &connection, const std::vector<std::pair<int32_t, int32_t>> &read);
// The first row of TotalTime; 0 when the table or its row is not there yet.
int32_t StudySeconds(LibraryConnection &connection);
} // namespace StoredLevels
