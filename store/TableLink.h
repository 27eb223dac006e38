#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

// What grids and data-bound edit boxes see of a table dataset: the notices of its
// changes (held back while the display links are off), the text hooks through which a
// grid shows a field, and the reads a view makes of the presented rows.
class TableLink : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit TableLink(QObject *parent = nullptr);
    ~TableLink() override;

    // What a view reads: the presented rows (filtered and sorted), the current row and
    // the fields of the current row (or of the edit buffer in Edit/Insert).
    virtual bool Active() const = 0;
    virtual State GetState() const = 0;
    virtual int RecordCount() = 0;
    virtual int RecNo() const = 0; // 0-based index of the current row, -1 when there is none
    virtual void SetRecNo(int index) = 0;
    virtual QStringList FieldNames() const = 0;
    virtual QVariant FieldByName(const QString &fieldName) const = 0;
    // All values of the presented row at index, in table order.
    virtual QVariantList RowValuesAt(int index) = 0;

    // Display links: while disabled, grids and bound edits are not told of changes;
    // enabling them again tells them once.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const;

    // The display links off for a scope, on again however the scope is left.
    class ControlsOff {
    public:
        explicit ControlsOff(TableLink &table) : table(table) { table.DisableControls(); }
        ~ControlsOff() { table.EnableControls(); }
        ControlsOff(const ControlsOff &) = delete;
        ControlsOff &operator=(const ControlsOff &) = delete;

    private:
        TableLink &table;
    };

    // A display hook on a text field: the grid shows what it returns for each value.
    using GetTextHook = std::function<QString(const QVariant &value)>;
    void SetOnGetText(const QString &fieldName, GetTextHook hook);
    // The text a grid shows for a value of a column (table order), through the display
    // hook if any.
    QString DisplayText(int column, const QVariant &value) const;

signals:
    void stateChanged(); // Inactive/Browse/Edit/Insert changed
    void rowChanged();   // current row moved or its values changed
    void dataReset();    // presented rows changed (open, filter, sort, post, delete)

protected:
    enum Notice { NoticeState = 1, NoticeRow = 2, NoticeReset = 4 };
    // Tells the views now, or when the display links are on again.
    void Notify(int notices);
    // The name of the field at column (table order); empty when there is none.
    virtual QString FieldNameAt(int column) const = 0;

private:
    int disabled = 0;
    int pendingNotices = 0;
    QHash<QString, GetTextHook> hooks;
};
