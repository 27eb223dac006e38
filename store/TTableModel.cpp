#include "store/TTableModel.h"

#include "store/TTable.h"

TTableModel::TTableModel(TTable *table, QObject *parent)
    : QAbstractTableModel(parent), table(table) {
    connect(table, &TTable::dataReset, this, &TTableModel::TableReset);
    TableReset();
}

void TTableModel::TableReset() {
    const int newRows = table->Active() ? table->RecordCount() : 0;
    // A closed table keeps its columns, so that grids keep their column layout
    // (hidden columns, widths) across closing and opening.
    const QStringList newFields = table->Active() ? table->FieldNames() : fields;
    blockStart = -1;
    block.clear();
    if (newFields != fields) {
        beginResetModel();
        rows = newRows;
        fields = newFields;
        endResetModel();
        return;
    }
    if (newRows > rows) {
        beginInsertRows(QModelIndex(), rows, newRows - 1);
        rows = newRows;
        endInsertRows();
    } else if (newRows < rows) {
        beginRemoveRows(QModelIndex(), newRows, rows - 1);
        rows = newRows;
        endRemoveRows();
    }
    // The rows that stay may show other cards now: repainting them is enough.
    if (rows > 0 && !fields.isEmpty())
        emit dataChanged(index(0, 0), index(rows - 1, int(fields.size()) - 1));
}

int TTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : rows;
}

int TTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(fields.size());
}

const QVariantList &TTableModel::Row(int row) const {
    const int start = row - row % BlockRows;
    if (start != blockStart) {
        block.clear();
        for (int r = start; r < std::min(start + BlockRows, rows); ++r)
            block.push_back(table->RowValuesAt(r));
        blockStart = start;
    }
    return block[size_t(row - start)];
}

QVariant TTableModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rows || index.column() >= fields.size())
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return {};
    const QVariantList &values = Row(index.row());
    if (index.column() >= values.size())
        return {};
    const QVariant &value = values[index.column()];
    return role == Qt::EditRole ? value : QVariant(table->DisplayText(index.column(), value));
}

QVariant TTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < fields.size() ? QVariant(fields[section]) : QVariant();
    return section + 1;
}

Qt::ItemFlags TTableModel::flags(const QModelIndex &index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}
