#include "store/TTableModel.h"

#include "platform/LexomatError.h"
#include "store/TableLink.h"

#include <QItemSelectionModel>

TTableModel::TTableModel(TableLink *table, QObject *parent) : TTableModel(table, {}, parent) {}

TTableModel::TTableModel(TableLink *table, QList<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), table(table), wanted(std::move(columns)) {
    connect(table, &TableLink::dataReset, this, &TTableModel::TableReset);
    connect(table, &TableLink::stateChanged, this, &TTableModel::TableStateChanged);
    connect(table, &TableLink::rowChanged, this, &TTableModel::TableRowChanged);
    // A view may outlive the data module: it then shows nothing.
    connect(table, &QObject::destroyed, this, [this] {
        beginResetModel();
        this->table = nullptr;
        rows = stored = 0;
        block.clear();
        blockStart = -1;
        endResetModel();
    });
    TableReset();
}

bool TTableModel::Appending() const {
    return table && table->Active() && table->GetState() == TableLink::State::Insert;
}

void TTableModel::ResolveColumns() {
    shown.clear();
    tableColumn.clear();
    if (wanted.isEmpty()) {
        for (int i = 0; i < fields.size(); ++i) {
            shown.append({fields[i], fields[i], 0});
            tableColumn.push_back(i);
        }
        return;
    }
    for (const GridColumn &column : wanted) {
        shown.append(column);
        int found = -1;
        for (int i = 0; i < fields.size() && found < 0; ++i)
            if (fields[i].compare(column.field, Qt::CaseInsensitive) == 0)
                found = i;
        tableColumn.push_back(found);
    }
}

void TTableModel::TableReset() {
    if (!table)
        return;
    int newStored = 0;
    try {
        newStored = table->Active() ? table->RecordCount() : 0;
    } catch (const LexomatError &) {
        // A file that cannot be read shows no rows; the command that failed says why.
    }
    const int newRows = newStored + (Appending() ? 1 : 0);
    // A closed table keeps its columns, so that grids keep their column layout
    // (widths) across closing and opening.
    const QStringList newFields = table->Active() ? table->FieldNames() : fields;
    blockStart = -1;
    block.clear();
    stored = newStored;
    if (newFields != fields || shown.isEmpty()) {
        beginResetModel();
        rows = newRows;
        fields = newFields;
        ResolveColumns();
        endResetModel();
        current = -2; // the reset dropped the view's current index
        TableRowChanged();
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
    if (rows > 0 && !shown.isEmpty())
        emit dataChanged(index(0, 0), index(rows - 1, int(shown.size()) - 1));
    TableRowChanged();
}

void TTableModel::TableStateChanged() {
    if (!table)
        return;
    // Only the appended row coming or going changes the rows here.
    const int wantRows = (table->Active() ? table->RecordCount() : 0) + (Appending() ? 1 : 0);
    if (wantRows != rows)
        TableReset();
    else
        TableRowChanged();
}

int TTableModel::CurrentRow() const {
    if (!table || !table->Active())
        return -1;
    if (Appending())
        return rows - 1;
    try {
        return table->RecNo();
    } catch (const LexomatError &) {
        return -1;
    }
}

void TTableModel::TableRowChanged() {
    if (moving || !table)
        return;
    // The row in edit shows what is typed into it.
    const TableLink::State state = table->Active() ? table->GetState() : TableLink::State::Inactive;
    if ((state == TableLink::State::Edit || state == TableLink::State::Insert) && rows > 0 &&
        !shown.isEmpty()) {
        const int row = CurrentRow();
        if (row >= 0 && row < rows) {
            if (row >= blockStart && row < blockStart + BlockRows)
                blockStart = -1;
            emit dataChanged(index(row, 0), index(row, int(shown.size()) - 1));
        }
    }
    const int row = CurrentRow();
    if (row == current)
        return;
    current = row;
    if (selection) {
        moving = true;
        if (row >= 0 && row < rows)
            selection->setCurrentIndex(index(row, 0), QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
        else
            selection->clear();
        moving = false;
    }
    emit currentRowChanged(row);
}

void TTableModel::FollowSelection(QItemSelectionModel *model) {
    if (selection)
        disconnect(selection, nullptr, this, nullptr);
    selection = model;
    if (!model)
        return;
    connect(model, &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &now) { SelectionMoved(now); });
    current = -2;
    TableRowChanged();
}

void TTableModel::SelectionMoved(const QModelIndex &now) {
    if (moving || !now.isValid() || !table || !table->Active() ||
        table->GetState() != TableLink::State::Browse || now.row() >= stored)
        return;
    if (now.row() == CurrentRow())
        return;
    moving = true;
    bool moved = true;
    try {
        table->SetRecNo(now.row());
    } catch (const LexomatError &) {
        moved = false; // rows that cannot be read: the table stays where it was
    }
    moving = false;
    if (!moved)
        return;
    current = now.row();
    emit currentRowChanged(current);
}

int TTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : rows;
}

int TTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(shown.size());
}

QString TTableModel::FieldAt(int column) const {
    return column >= 0 && column < shown.size() ? shown[column].field : QString();
}

int TTableModel::ColumnOf(const QString &fieldName) const {
    for (int c = 0; c < shown.size(); ++c)
        if (shown[c].field.compare(fieldName, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

const QVariantList &TTableModel::Row(int row) const {
    const int start = row - row % BlockRows;
    if (start != blockStart) {
        block.clear();
        try {
            for (int r = start; r < std::min(start + BlockRows, stored); ++r)
                block.push_back(table->RowValuesAt(r));
        } catch (const LexomatError &) {
            // Painting cannot report a failure: rows that cannot be read show empty.
        }
        blockStart = start;
    }
    static const QVariantList none;
    return size_t(row - start) < block.size() ? block[size_t(row - start)] : none;
}

QVariant TTableModel::data(const QModelIndex &index, int role) const {
    if (!table || !index.isValid() || index.row() >= rows || index.column() >= shown.size())
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return {};
    const int column = tableColumn[size_t(index.column())];
    if (column < 0)
        return {};
    QVariant value;
    const TableLink::State state = table->GetState();
    const bool editing = (state == TableLink::State::Insert && index.row() == stored) ||
                         (state == TableLink::State::Edit && index.row() == CurrentRow());
    if (editing) {
        try {
            value = table->FieldByName(fields[column]);
        } catch (const LexomatError &) {
            return {};
        }
    } else {
        const QVariantList &values = Row(index.row());
        if (column >= values.size())
            return {};
        value = values[column];
    }
    return role == Qt::EditRole ? value : QVariant(table->DisplayText(column, value));
}

QVariant TTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= shown.size())
            return {};
        return role == Qt::DisplayRole ? QVariant(shown[section].title) : QVariant();
    }
    if (role != Qt::DisplayRole)
        return {};
    return section + 1;
}

Qt::ItemFlags TTableModel::flags(const QModelIndex &index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}
