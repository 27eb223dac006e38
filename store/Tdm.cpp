#include "store/Tdm.h"

#include "store/TTable.h"

Tdm *dm = nullptr;

// Placeholder bodies; the store lands with the data-module work.
Tdm::Tdm(QObject *parent) : QObject(parent), tb_library(new TTable(this)) {}
Tdm::~Tdm() = default;
void Tdm::SetDatabasePath(const QString &p) { path = p; }
QString Tdm::DatabasePath() const { return path; }
void Tdm::OpenDatabase() {}
void Tdm::CloseDatabase() {}
bool Tdm::Connected() const { return false; }
MyTextDatabaseRec Tdm::GetRecordByID(int32_t) { return {}; }
void Tdm::BeginTransaction() {}
void Tdm::CommitTransaction() {}
void Tdm::RollbackTransaction() {}
bool Tdm::InTransaction() const { return inTransaction; }
void Tdm::CreateLibraryFile(const QString &) {}
QString Tdm::ConnectionName() const { return connectionName; }
