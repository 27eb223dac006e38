#pragma once

#include <string>
#include <string_view>

// Text as the spreadsheet formats' XML holds it: markup characters as entities, and
// what XML cannot hold (control characters, a carriage return that parsers would turn
// into a line feed) as the formats' own _xHHHH_ escapes; an underscore that would read
// as the start of such an escape is escaped itself (_x005F_). Bytes that are not UTF-8
// become U+FFFD, so the file stays well-formed whatever the library held.
namespace SpreadsheetXmlText {
void Append(std::string &to, std::string_view utf8);
// Whether leading or trailing blanks ask for xml:space="preserve".
bool NeedsSpacePreserved(std::string_view utf8);
} // namespace SpreadsheetXmlText
