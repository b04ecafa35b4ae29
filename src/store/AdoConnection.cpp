#include "store/AdoConnection.h"

#include "platform/Files.h"
#include "store/DatabaseError.h"
#include "store/ExamDbFile.h"
#include "store/ExamVfs.h"
#include "store/StatementCache.h"

#include <algorithm>
#include <cctype>
#include <sqlite3.h>

namespace {
std::string trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}
} // namespace

void ThrowSqliteError(sqlite3* db, const std::string& context) {
    std::string msg = db ? sqlite3_errmsg(db) : "数据库未连接";
    if (!context.empty()) msg = context + ": " + msg;
    throw EDatabaseError(msg);
}

AdoConnection::AdoConnection() = default;
AdoConnection::~AdoConnection() {
    Close();
}

std::map<std::string, std::string> AdoConnection::ParseConnectionString(const std::string& text) {
    std::map<std::string, std::string> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        const std::string part = text.substr(start, end - start);
        size_t eq = part.find('=');
        if (eq != std::string::npos) out[lower(trim(part.substr(0, eq)))] = trim(part.substr(eq + 1));
        start = end + 1;
    }
    return out;
}

void AdoConnection::Open() {
    if (db_) return;
    auto props = ParseConnectionString(ConnectionString);
    const std::string provider = props.count("provider") ? props["provider"] : Provider;
    if (lower(provider) != lower("Microsoft.Jet.OLEDB.4.0"))
        throw EDatabaseError("未找到提供程序 '" + provider + "'。");
    const std::string path = props["data source"];
    const std::string password = props["jet oledb:database password"];
    // SQLite resolves a link in the name and would work on the file it points
    // at (its journals it opens O_NOFOLLOW itself): refuse the link.
    if (IsLink(path)) throw EDatabaseError("'" + path + "' 是符号链接，拒绝打开。");

    switch (examdb::ReadHeaderState(path, password)) {
    case examdb::HeaderState::Missing:
        throw EDatabaseError("找不到文件 '" + path + "'。");
    case examdb::HeaderState::NotContainer:
        throw EDatabaseError("无法识别的数据库格式 '" + path + "'。");
    case examdb::HeaderState::Closed:
        throw EDatabaseError("不是有效的密码。");
    case examdb::HeaderState::Open:
        break;
    }

    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, ExamVfsName());
    if (rc != SQLITE_OK) {
        std::string msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        throw EDatabaseError("无法打开数据库 '" + path + "': " + msg);
    }
    db_ = db;
    try {
        // Journal beside the file, never WAL or mapped I/O: the header guard copies
        // the file while the connection is open. The probe makes a damaged image
        // fail here rather than at the first query.
        exec("PRAGMA journal_mode=DELETE");
        exec("PRAGMA synchronous=FULL");
        exec("PRAGMA mmap_size=0");
        exec("SELECT count(*) FROM sqlite_master");
        statements_ = std::make_unique<StatementCache>(db_);
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
}

void AdoConnection::Close() {
    if (!db_) return;
    statements_.reset();
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

sqlite3* AdoConnection::Handle() const {
    if (!db_) throw EDatabaseError("数据库未连接。");
    return db_;
}

void AdoConnection::exec(const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(Handle(), sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errmsg(db_);
        sqlite3_free(err);
        throw EDatabaseError(msg);
    }
}

void AdoConnection::BeginTrans() {
    // A transaction a failed rollback left behind must not swallow this one.
    RollbackTrans();
    exec("BEGIN IMMEDIATE");
}
void AdoConnection::CommitTrans() {
    exec("COMMIT");
}
void AdoConnection::RollbackTrans() {
    if (InTransaction()) exec("ROLLBACK");
}
ReadTransaction::ReadTransaction(AdoConnection& connection) : connection_(connection) {
    if (!connection_.Connected() || connection_.InTransaction()) return;
    sqlite3_exec(connection_.Handle(), "BEGIN", nullptr, nullptr, nullptr);
    owned_ = connection_.InTransaction();
}

ReadTransaction::~ReadTransaction() {
    // Ending a transaction that only read cannot lose anything; if it fails,
    // a rollback still releases the lock.
    if (!owned_ || !connection_.InTransaction()) return;
    if (sqlite3_exec(connection_.Handle(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        sqlite3_exec(connection_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

bool AdoConnection::InTransaction() const {
    return db_ && !sqlite3_get_autocommit(db_);
}
sqlite3_stmt* AdoConnection::AcquireStatement(const std::string& sql) {
    Handle();
    return statements_->Acquire(sql);
}

sqlite3_stmt* AdoConnection::AcquirePreparedStatement(std::string_view text) {
    Handle();
    return statements_->AcquirePrepared(text);
}

void AdoConnection::ReleaseStatement(sqlite3_stmt* stmt) {
    if (statements_) statements_->Release(stmt);
}

long long AdoConnection::LastInsertId() const {
    return sqlite3_last_insert_rowid(Handle());
}
