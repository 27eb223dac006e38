#include "store/TTable.h"

#include <QAbstractItemModel>

// Placeholder bodies; the dataset lands with the data-module work.
struct TTable::Impl {};
TTable::TTable(QObject *parent) : QObject(parent), d(std::make_unique<Impl>()) {}
TTable::~TTable() = default;
void TTable::SetConnectionName(const QString &) {}
QString TTable::TableName() const { return {}; }
void TTable::SetTableName(const QString &) {}
void TTable::Open() {}
void TTable::Close() {}
bool TTable::Active() const { return false; }
void TTable::SetActive(bool) {}
TTable::State TTable::GetState() const { return State::Inactive; }
void TTable::First() {}
void TTable::Last() {}
void TTable::Next() {}
void TTable::Prior() {}
bool TTable::Eof() const { return true; }
bool TTable::Bof() const { return true; }
int TTable::RecNo() const { return -1; }
void TTable::SetRecNo(int) {}
int TTable::RecordCount() { return 0; }
bool TTable::IsEmpty() { return true; }
bool TTable::Locate(const QString &, const QVariant &) { return false; }
QVariant TTable::FieldByName(const QString &) const { return {}; }
int TTable::FieldAsInteger(const QString &) const { return 0; }
QString TTable::FieldAsString(const QString &) const { return {}; }
void TTable::SetFieldValue(const QString &, const QVariant &) {}
QStringList TTable::FieldNames() const { return {}; }
void TTable::Edit() {}
void TTable::Insert() {}
void TTable::Append() {}
void TTable::Post() {}
void TTable::Cancel() {}
void TTable::Delete() {}
QString TTable::Filter() const { return {}; }
void TTable::SetFilter(const QString &) {}
bool TTable::Filtered() const { return false; }
void TTable::SetFiltered(bool) {}
QString TTable::Sort() const { return {}; }
void TTable::SetSort(const QString &) {}
void TTable::DisableControls() {}
void TTable::EnableControls() {}
bool TTable::ControlsDisabled() const { return false; }
QAbstractItemModel *TTable::Model() { return nullptr; }
void TTable::SetOnGetText(const QString &, GetTextHook) {}
