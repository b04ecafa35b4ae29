#pragma once
#include <map>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;
class StatementCache;

// The one connection to the exam database. The connection string names the
// provider, the file and the database password; opening checks the container's
// header against the password before SQLite touches the file.
class AdoConnection {
public:
    AdoConnection();
    ~AdoConnection();
    AdoConnection(const AdoConnection&) = delete;
    AdoConnection& operator=(const AdoConnection&) = delete;

    std::string ConnectionString;
    std::string Provider = "Microsoft.Jet.OLEDB.4.0";
    bool LoginPrompt = false;

    void Open(); // throws EDatabaseError with the engine's message
    void Close();
    bool Connected() const { return db_ != nullptr; }
    sqlite3* Handle() const; // throws when not connected

    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const;
    long long LastInsertId() const;

    // A statement for the text, ready to step, and its return when done.
    sqlite3_stmt* AcquireStatement(const std::string& sql);
    // The same for a text with its own parameters, which the caller binds.
    sqlite3_stmt* AcquirePreparedStatement(std::string_view text);
    void ReleaseStatement(sqlite3_stmt* stmt);

    // "Key=Value;..." split into a map with lower-case keys.
    static std::map<std::string, std::string> ParseConnectionString(const std::string& text);

private:
    void exec(const char* sql);
    sqlite3* db_ = nullptr;
    std::unique_ptr<StatementCache> statements_;
};

// Reads that belong together (a page, a grading, the tree, a draw) run under
// one shared lock: SQLite then locks and checks the file once instead of once
// per statement. Inside a transaction that is already open it does nothing.
class ReadTransaction {
public:
    explicit ReadTransaction(AdoConnection& connection);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    AdoConnection& connection_;
    bool owned_ = false;
};

// Throws EDatabaseError with SQLite's current message for `db`.
[[noreturn]] void ThrowSqliteError(sqlite3* db, const std::string& context = {});
