#pragma once

#include <QString>

class QWidget;

// The filter of the open dialog in the classic "caption|pattern|caption|pattern"
// form, and the same filter in Qt's "caption (pattern);;..." form.
extern const char *const LibraryFileFilter;
QString QtNameFilters(const QString &classicFilter);

// Asks for an existing library file in a non-native, resizable dialog that starts
// in startFolder; empty when the learner cancels.
QString AskLibraryFile(QWidget *parent, const QString &startFolder);
