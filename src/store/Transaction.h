#pragma once

struct sqlite3;
class AdoConnection;

namespace store {

// A write transaction that is rolled back unless committed, so an exception
// anywhere inside leaves the bank as it was. A rollback that fails is logged,
// never thrown from the destructor.
class WriteTransaction {
public:
    enum class Begin { Deferred, Immediate };

    // BEGIN IMMEDIATE through the connection, as BeginTrans does.
    explicit WriteTransaction(AdoConnection& connection);
    // On a bare handle, begun the way its code always began it.
    WriteTransaction(sqlite3* db, Begin begin);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    void commit(); // throws EDatabaseError; the destructor then rolls back

private:
    AdoConnection* connection_ = nullptr;
    sqlite3* db_ = nullptr;
    bool committed_ = false;
};

} // namespace store
