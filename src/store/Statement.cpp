#include "store/Statement.h"

#include "store/AdoConnection.h"
#include "store/DatabaseError.h"

#include <sqlite3.h>
#include <string>
#include <utility>

namespace store {

namespace {
// A refused binding leaves its message on the connection like any other failure.
void checkBind(sqlite3* db, int rc) {
    if (rc != SQLITE_OK) ThrowSqliteError(db);
}
} // namespace

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) != SQLITE_OK)
        ThrowSqliteError(db, std::string(sql));
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), stmt_(std::exchange(other.stmt_, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = std::exchange(other.db_, nullptr);
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

Statement& Statement::bind(int index, int value) {
    checkBind(db_, sqlite3_bind_int(stmt_, index, value));
    return *this;
}

Statement& Statement::bind(int index, long long value) {
    checkBind(db_, sqlite3_bind_int64(stmt_, index, value));
    return *this;
}

Statement& Statement::bind(int index, double value) {
    checkBind(db_, sqlite3_bind_double(stmt_, index, value));
    return *this;
}

Statement& Statement::bind(int index, const QString& value) {
    const QByteArray u = value.toUtf8();
    return bind(index, std::string_view(u.constData(), static_cast<size_t>(u.size())));
}

Statement& Statement::bind(int index, std::string_view value) {
    const int n = static_cast<int>(value.size());
    checkBind(db_, sqlite3_bind_text(stmt_, index, value.data(), n, SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bind(int index, const QByteArray& value) {
    const int n = static_cast<int>(value.size());
    checkBind(db_, sqlite3_bind_blob(stmt_, index, value.constData(), n, SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bindNull(int index) {
    checkBind(db_, sqlite3_bind_null(stmt_, index));
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    // Reset after a failure, so a caller that carries on can bind it again.
    const std::string message = sqlite3_errmsg(db_);
    sqlite3_reset(stmt_);
    throw EDatabaseError(message);
}

void Statement::run() {
    step();
    reset();
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

int Statement::columnType(int column) const {
    return sqlite3_column_type(stmt_, column);
}

long long Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(stmt_, column);
}

QString Statement::text(int column) const {
    const std::string_view u = utf8(column);
    return QString::fromUtf8(u.data(), static_cast<qsizetype>(u.size()));
}

std::string_view Statement::utf8(int column) const {
    // The text first, then its length: asking in the other order may measure another encoding.
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    const int n = sqlite3_column_bytes(stmt_, column);
    return p ? std::string_view(p, static_cast<size_t>(n)) : std::string_view();
}

QByteArray Statement::blob(int column) const {
    const void* p = sqlite3_column_blob(stmt_, column);
    const int n = sqlite3_column_bytes(stmt_, column);
    return QByteArray(static_cast<const char*>(p), n);
}

} // namespace store
