#pragma once

#include "formats/WorkbookWriter.h"

// A text list in UTF-8 without a byte order mark, comma-separated (.csv, as RFC 4180
// has it) or tab-separated (.tsv): one line a row, each ended by CR LF. A text that
// holds the separator, a quote or a line break is put in quotes, its quotes doubled;
// every text is written whole.
std::unique_ptr<WorkbookWriter> CreateTextListWriter(const QString &path, char separator);
