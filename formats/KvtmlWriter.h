#pragma once

#include "formats/WorkbookWriter.h"

// A KVTML 2 vocabulary file, UTF-8: the first row names the two identifiers (the
// columns), every later row is an entry with translation 0 = column A and
// translation 1 = column B, numbered from 0 in the order given. Texts are written
// exactly (a carriage return as a character reference); a text holding a character
// that XML cannot carry (most control characters) is refused, naming its card.
std::unique_ptr<WorkbookWriter> CreateKvtmlWriter(const QString &path, const QString &title);
