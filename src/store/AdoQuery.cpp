#include "store/AdoQuery.h"

#include "store/AdoConnection.h"
#include "store/DatabaseError.h"
#include "store/SqlText.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <sqlite3.h>

std::string TStrings::Text() const {
    std::string out;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i) out += '\n';
        out += lines_[i];
    }
    return out;
}

namespace {
const TFieldValue kNull{};

// A statement on loan from the connection for one Open or ExecSQL.
class Statement {
public:
    Statement(AdoConnection& c, const std::string& sql)
        : c_(c), db_(c.Handle()), stmt_(c.AcquireStatement(sql)) {}
    Statement(AdoConnection& c, sqlite3_stmt* acquired) : c_(c), db_(c.Handle()), stmt_(acquired) {}
    ~Statement() { c_.ReleaseStatement(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool step() {
        int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        ThrowSqliteError(db_);
    }
    sqlite3_stmt* get() const { return stmt_; }

private:
    AdoConnection& c_;
    sqlite3* db_;
    sqlite3_stmt* stmt_;
};

TFieldValue columnValue(sqlite3_stmt* s, int i) {
    switch (sqlite3_column_type(s, i)) {
    case SQLITE_INTEGER:
        return static_cast<long long>(sqlite3_column_int64(s, i));
    case SQLITE_FLOAT:
        return sqlite3_column_double(s, i);
    case SQLITE_NULL:
        return std::monostate{};
    default: {
        const char* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
        return std::string(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(s, i)));
    }
    }
}

} // namespace

bool TField::IsNull() const {
    return std::holds_alternative<std::monostate>(*v_);
}

std::string TField::AsString() const {
    if (auto s = std::get_if<std::string>(v_)) return *s;
    if (auto i = std::get_if<long long>(v_)) return std::to_string(*i);
    if (auto d = std::get_if<double>(v_)) return SqlNumber(*d);
    return {};
}

std::string_view TField::Text(std::string& scratch) const {
    if (auto s = std::get_if<std::string>(v_)) return *s;
    if (IsNull()) return {};
    scratch = AsString();
    return scratch;
}

bool TField::IsInteger() const {
    return std::holds_alternative<long long>(*v_);
}

long long TField::AsLargeInt() const {
    if (auto i = std::get_if<long long>(v_)) return *i;
    if (auto d = std::get_if<double>(v_)) return std::llround(*d);
    if (auto s = std::get_if<std::string>(v_)) {
        if (s->empty()) return 0;
        long long v = 0;
        auto [p, ec] = std::from_chars(s->data(), s->data() + s->size(), v);
        if (ec != std::errc() || p != s->data() + s->size())
            throw EDatabaseError("'" + *s + "' 不是有效的整数值。");
        return v;
    }
    return 0;
}

int TField::AsInteger() const {
    return static_cast<int>(AsLargeInt());
}

double TField::AsFloat() const {
    if (auto d = std::get_if<double>(v_)) return *d;
    if (auto i = std::get_if<long long>(v_)) return static_cast<double>(*i);
    if (auto s = std::get_if<std::string>(v_)) {
        if (s->empty()) return 0;
        // Stored text is read the way SQL writes it, never by the user's locale.
        double v = 0;
        auto [p, ec] = std::from_chars(s->data(), s->data() + s->size(), v);
        if (ec != std::errc() || p != s->data() + s->size())
            throw EDatabaseError("'" + *s + "' 不是有效的浮点数值。");
        return v;
    }
    return 0;
}

std::string AdoQuery::statementText() const {
    return TranslateJetDates(SQL.Text());
}

void AdoQuery::Close() {
    active_ = false;
    rows_ = row_ = 0;
    names_.clear();
    values_.clear();
}

void AdoQuery::Open() {
    Close();
    if (!Connection) throw EDatabaseError("缺少 Connection 属性。");
    read(Connection->AcquireStatement(statementText()));
}

void AdoQuery::read(sqlite3_stmt* stmt) {
    Statement st(*Connection, stmt);
    const int n = sqlite3_column_count(st.get());
    if (n == 0) throw EDatabaseError("命令未返回结果集。");
    for (int i = 0; i < n; ++i)
        names_.emplace_back(sqlite3_column_name(st.get(), i));
    while (st.step()) {
        for (int i = 0; i < n; ++i)
            values_.push_back(columnValue(st.get(), i));
        ++rows_;
    }
    row_ = 0;
    active_ = true;
}

void AdoQuery::ExecSQL() {
    Close();
    if (!Connection) throw EDatabaseError("缺少 Connection 属性。");
    Statement st(*Connection, statementText());
    while (st.step()) {
    }
    rowsAffected_ = sqlite3_changes(Connection->Handle());
}

AdoQuery& AdoQuery::OpenWith(std::initializer_list<std::string> lines) {
    Close();
    SQL.Clear();
    for (const std::string& l : lines)
        SQL.Add(l);
    Open();
    return *this;
}

namespace {
sqlite3_stmt* bindAll(sqlite3_stmt* stmt, std::initializer_list<AdoQuery::BoundValue> values) {
    int index = 1;
    for (const AdoQuery::BoundValue& v : values) {
        if (auto i = std::get_if<long long>(&v))
            sqlite3_bind_int64(stmt, index++, *i);
        else {
            const std::string_view s = std::get<std::string_view>(v);
            sqlite3_bind_text(stmt, index++, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        }
    }
    return stmt;
}
} // namespace

AdoQuery& AdoQuery::OpenBound(std::string_view sql, std::initializer_list<BoundValue> values) {
    Close();
    SQL.Clear();
    SQL.Add(std::string(sql));
    if (!Connection) throw EDatabaseError("缺少 Connection 属性。");
    read(bindAll(Connection->AcquirePreparedStatement(sql), values));
    return *this;
}

void AdoQuery::ExecBound(std::string_view sql, std::initializer_list<BoundValue> values) {
    Close();
    SQL.Clear();
    SQL.Add(std::string(sql));
    if (!Connection) throw EDatabaseError("缺少 Connection 属性。");
    Statement st(*Connection, bindAll(Connection->AcquirePreparedStatement(sql), values));
    while (st.step()) {
    }
    rowsAffected_ = sqlite3_changes(Connection->Handle());
}

void AdoQuery::ExecWith(std::initializer_list<std::string> lines) {
    Close();
    SQL.Clear();
    for (const std::string& l : lines)
        SQL.Add(l);
    ExecSQL();
}

void AdoQuery::Next() {
    if (row_ < rows_) ++row_;
}

TField AdoQuery::Fields(int index) const {
    if (!active_ || index < 0 || index >= FieldCount()) throw EDatabaseError("字段索引超出范围。");
    if (Eof()) return TField(&kNull);
    return TField(&values_[row_ * names_.size() + static_cast<size_t>(index)]);
}

int AdoQuery::FieldIndex(std::string_view name) const {
    if (!active_) throw EDatabaseError("数据集未打开: 找不到字段 '" + std::string(name) + "'。");
    // A handful of columns: a scan beats hashing, and the first of equal names wins.
    size_t i = 0;
    while (i < names_.size() && names_[i] != name)
        ++i;
    if (i == names_.size()) throw EDatabaseError("找不到字段 '" + std::string(name) + "'。");
    return static_cast<int>(i);
}

TField AdoQuery::FieldByName(std::string_view name) const {
    const size_t i = static_cast<size_t>(FieldIndex(name));
    if (Eof()) return TField(&kNull);
    return TField(&values_[row_ * names_.size() + i]);
}
