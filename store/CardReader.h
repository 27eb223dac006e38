#pragma once

#include <cstdint>
#include <functional>

class LibraryConnection;

// Every card of the Library table in ID order, read on the connection itself, so a
// dataset's search, sort and current row neither change nor matter. Texts are
// UTF-8, NUL-terminated and valid only during the call.
struct CardText {
    int64_t id;
    const char *word;
    int wordSize;
    const char *definition;
    int definitionSize;
};

namespace CardReader {
int64_t Count(LibraryConnection &connection);
// Return false from `each` to stop. Throws LexomatError on a read failure.
void ForEach(LibraryConnection &connection, const std::function<bool(const CardText &card)> &each);
} // namespace CardReader
