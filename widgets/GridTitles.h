#pragma once

#include <QList>

class QTableView;

// Column widths of a grid: as designed, or wider where a column's title needs more at
// the grid's font, so that no title is cut.
void FitColumnsToTitles(QTableView *grid, const QList<int> &designed);
