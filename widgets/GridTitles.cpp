#include "widgets/GridTitles.h"

#include <QHeaderView>
#include <QTableView>
#include <algorithm>

void FitColumnsToTitles(QTableView *grid, const QList<int> &designed) {
    QHeaderView *titles = grid->horizontalHeader();
    for (int column = 0; column < designed.size() && column < titles->count(); ++column)
        grid->setColumnWidth(column, std::max(designed[column], titles->sectionSizeHint(column)));
}
