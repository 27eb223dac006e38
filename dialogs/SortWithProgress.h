#pragma once

#include <QString>

class QWidget;
class TTable;

// Sorts a table as a click on a grid's title asks: the busy pointer at once, and on a
// big table a progress dialog with Cancel after half a second, while the windows keep
// painting. Returns false when the user cancelled; the previous order then stays.
// Failures are thrown as the table throws them.
bool SortWithProgress(QWidget *parent, TTable *table, const QString &sortText);
