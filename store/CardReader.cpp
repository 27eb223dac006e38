#include "store/CardReader.h"

#include "store/LibraryConnection.h"
#include "store/SqliteStatement.h"

namespace CardReader {

int64_t Count(LibraryConnection &connection) {
    SqliteStatement count(connection.Handle(), "SELECT count(*) FROM Library",
                          "Counting the cards");
    count.Step();
    return count.Int(0);
}

void ForEach(LibraryConnection &connection, const std::function<bool(const CardText &card)> &each) {
    SqliteStatement scan(connection.Handle(),
                         "SELECT ID, Word, Definition FROM Library ORDER BY ID",
                         "Reading the cards");
    while (scan.Step()) {
        CardText card{scan.Int(0), nullptr, 0, nullptr, 0};
        card.word = scan.TextBytes(1, &card.wordSize);
        card.definition = scan.TextBytes(2, &card.definitionSize);
        if (!card.word)
            card.word = "";
        if (!card.definition)
            card.definition = "";
        if (!each(card)) {
            scan.Reset();
            return;
        }
    }
}

} // namespace CardReader
