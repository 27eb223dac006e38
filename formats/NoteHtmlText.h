#pragma once

#include <QString>

// The plain text of a note field written as HTML by a flashcard editor: <br> and the
// boundaries of blocks (<div>, <p>, <li>, ...) become line breaks, other tags are
// dropped, runs of blanks in the source become one space, entities are decoded
// (&nbsp; as a plain space), [sound:...] references are removed, and blanks at both
// ends are trimmed.
QString NoteHtmlToText(QStringView html);
