#pragma once

#include <QString>

struct sqlite3;
class Tdm;

// The raw SQLite handle of the data module's open connection, for bulk work that
// must not go through the table dataset. Throws LexomatError when no library is open.
sqlite3 *LibraryHandle(const Tdm &module);

// A library file opened on a connection of its own (the command line has no data
// module): the schema is checked, and the handle is closed with the object.
class OwnLibraryConnection {
public:
    explicit OwnLibraryConnection(const QString &path); // throws LexomatError
    ~OwnLibraryConnection();
    OwnLibraryConnection(const OwnLibraryConnection &) = delete;
    OwnLibraryConnection &operator=(const OwnLibraryConnection &) = delete;
    sqlite3 *Handle() const { return db; }

private:
    sqlite3 *db = nullptr;
};
