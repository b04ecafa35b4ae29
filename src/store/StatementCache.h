#pragma once
#include <list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The program writes its values into the SQL text. Preparing every such text
// anew dominated page building, so statements that differ only in their
// literal values share one prepared statement: the literals after the first
// FROM / SET / VALUES / WHERE become parameters and are bound instead.
using SqlLiteral = std::variant<long long, std::string>;

struct NormalizedSql {
    std::string text;                 // the statement with '?' for each literal taken out
    std::vector<SqlLiteral> literals; // in order
};
NormalizedSql NormalizeLiterals(std::string_view sql);

class StatementCache {
public:
    explicit StatementCache(sqlite3* db) : db_(db) {}
    ~StatementCache();
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // A statement ready to step; give it back with Release. Throws EDatabaseError.
    sqlite3_stmt* Acquire(const std::string& sql);
    // The same for a text that has its own parameters ('?'), taken as it is:
    // the caller binds them. No literal is looked for.
    sqlite3_stmt* AcquirePrepared(std::string_view text);
    void Release(sqlite3_stmt* stmt);

private:
    struct Entry {
        std::string key;
        sqlite3_stmt* stmt;
        bool inUse;
    };
    sqlite3_stmt* prepare(std::string_view text);
    sqlite3* db_;
    std::list<Entry> entries_; // most recently used first
    std::vector<sqlite3_stmt*> uncached_;
};
