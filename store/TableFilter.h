#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// A filter text parsed into what it means; it never reaches SQL as text.
//   "ID=12 OR ID=7 OR ID=-1"  -> a set of row identities (any number of terms)
//   "Word Like '%te''xt%'"    -> a case-insensitive match on a text field, where only
//                                a leading and a trailing % are wildcards
// An empty text filters nothing.
struct TableFilter {
    enum class Kind { None, IdList, Pattern };
    Kind kind = Kind::None;
    QString field;             // the column it tests
    std::vector<int64_t> ids;  // IdList: ascending, without duplicates
    QString text;              // Pattern: the literal text between the wildcards
    bool anchoredStart = true; // Pattern: no leading %
    bool anchoredEnd = true;   // Pattern: no trailing %

    // Throws LexomatError for a text of neither form.
    static TableFilter Parse(const QString &filterText);
    bool Matches(QStringView value) const;
};
