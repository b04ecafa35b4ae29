#include "store/Transaction.h"

#include "store/AdoConnection.h"
#include "store/Log.h"

#include <exception>
#include <sqlite3.h>

namespace store {

namespace {
void exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) ThrowSqliteError(db);
}
} // namespace

WriteTransaction::WriteTransaction(AdoConnection& connection) : connection_(&connection) {
    connection.BeginTrans();
}

WriteTransaction::WriteTransaction(sqlite3* db, Begin begin) : db_(db) {
    exec(db, begin == Begin::Immediate ? "BEGIN IMMEDIATE" : "BEGIN");
}

WriteTransaction::~WriteTransaction() {
    if (committed_) return;
    try {
        if (connection_)
            connection_->RollbackTrans();
        else if (!sqlite3_get_autocommit(db_))
            exec(db_, "ROLLBACK");
    } catch (const std::exception& e) {
        // The failure that brought us here is the one the caller reports.
        qCWarning(lcStore) << "rolling back failed:" << e.what();
    }
}

void WriteTransaction::commit() {
    if (connection_)
        connection_->CommitTrans();
    else
        exec(db_, "COMMIT");
    committed_ = true;
}

} // namespace store
