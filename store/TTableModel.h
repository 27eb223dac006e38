#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QVariantList>
#include <vector>

class QItemSelectionModel;
class TableLink;

// One column of a grid: the field it shows (any letter case), its title and its
// starting width in pixels (0 leaves the view's default).
struct GridColumn {
    QString field;
    QString title;
    int width = 0;
};

// A grid's view of a table dataset, as a data-bound grid sees it: the presented rows,
// plus the row being appended while the table inserts; the columns this view asks for,
// in its order and under its titles (fields it leaves out, such as ID, are not there);
// and the table's current row, kept in step with a view's current index both ways.
// Read-only. Rows are read on demand in small blocks, so a grid over a million rows
// reads only what it paints. Several views may each have their own model over one
// table.
class TTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Every field of the table in table order, titled by its name.
    explicit TTableModel(TableLink *table, QObject *parent = nullptr);
    TTableModel(TableLink *table, QList<GridColumn> columns, QObject *parent = nullptr);

    TableLink *Table() const { return table; }
    const QList<GridColumn> &Columns() const { return wanted; }
    QString FieldAt(int column) const;
    int ColumnOf(const QString &fieldName) const; // case-insensitive; -1 when not shown
    // The table's current row as a row of this model (the appended row while the table
    // inserts), or -1.
    int CurrentRow() const;
    // Keeps the selection's current row and the table's current row in step: moving in
    // the view moves the table (RecNo), and a move of the table selects its row.
    void FollowSelection(QItemSelectionModel *selection);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void currentRowChanged(int row);

private:
    void TableReset();
    void TableStateChanged();
    void TableRowChanged();
    void SelectionMoved(const QModelIndex &current);
    void ResolveColumns();
    bool Appending() const;
    const QVariantList &Row(int row) const;

    static constexpr int BlockRows = 64;
    TableLink *table;
    QList<GridColumn> wanted;     // empty: every field
    QStringList fields;           // the table's fields in table order
    QList<GridColumn> shown;      // the columns presented
    std::vector<int> tableColumn; // per shown column: index in fields, or -1
    int rows = 0;
    int stored = 0; // rows the table presents (without the appended one)
    int current = -1;
    bool moving = false;
    QPointer<QItemSelectionModel> selection;
    mutable int blockStart = -1;
    mutable std::vector<QVariantList> block;
};
