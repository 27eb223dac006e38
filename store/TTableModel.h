#pragma once

#include <QAbstractTableModel>
#include <QVariantList>
#include <vector>

class TTable;

// The grid's view of a table dataset: one row per presented row, one column per field
// in table order, headers are the field names; read-only. Rows are read on demand in
// small blocks, so a grid over a million rows reads only what it paints.
class TTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TTableModel(TTable *table, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void TableReset();
    const QVariantList &Row(int row) const;

    static constexpr int BlockRows = 64;
    TTable *table;
    int rows = 0;
    QStringList fields;
    mutable int blockStart = -1;
    mutable std::vector<QVariantList> block;
};
