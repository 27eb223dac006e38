#pragma once

#include <QByteArrayView>
#include <QString>
#include <memory>
#include <vector>

// The vocabulary of a KVTML file, the XML format of other vocabulary trainers, in
// version 2 or the older version 1: its entries as a word and a definition, and its
// lessons as lists of those entries.
//
// Version 2: the word is the text of translation 0; the definition is the text of
// translation 1 when it is not blank, else the comment of translation 0. Version 1:
// the word is <o>, the definition the first <t>. Texts stay as the document holds
// them (entities and CDATA decoded, blanks and line breaks kept).
class KvtmlDocument {
public:
    struct Entry {
        QString word;
        QString definition;
    };
    struct Lesson {
        QString name; // "Parent/Child" for a nested lesson
        // In the lesson's order; -1 for an id no entry has. Never null; lessons of one
        // number (version 1) share one list.
        std::shared_ptr<const std::vector<int>> entries;
    };

    // Parses the whole file. The bytes are UTF-8 or what the XML declaration names;
    // a file whose bytes are not UTF-8 although it claims so is read as
    // Windows-1252. A document type declaration is allowed and never loaded; one
    // with an internal subset (entity declarations) is refused. Throws LexomatError
    // with the reason for anything that is not a well-formed KVTML document.
    explicit KvtmlDocument(QByteArrayView bytes);

    const std::vector<Entry> &Entries() const { return entries; }
    // Every lesson in document order, a parent before the lessons inside it.
    const std::vector<Lesson> &Lessons() const { return lessons; }

    static constexpr int MaxLessons = 10000;
    static constexpr int MaxLessonDepth = 32;
    static constexpr int MaxLessonNameLength = 100;

private:
    std::vector<Entry> entries;
    std::vector<Lesson> lessons;
};
