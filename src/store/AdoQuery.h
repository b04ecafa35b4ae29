#pragma once
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class AdoConnection;
struct sqlite3_stmt;

// The lines of a statement, appended one fragment at a time.
class TStrings {
public:
    void Clear() { lines_.clear(); }
    void Add(std::string line) { lines_.push_back(std::move(line)); }
    void Add(long long n) { lines_.push_back(std::to_string(n)); }
    int Count() const { return static_cast<int>(lines_.size()); }
    const std::string& operator[](int i) const { return lines_[static_cast<size_t>(i)]; }
    std::string Text() const; // lines joined by line breaks

private:
    std::vector<std::string> lines_;
};

using TFieldValue = std::variant<std::monostate, long long, double, std::string>;

// One column of the current row. A null (and any column read past the last
// row) reads as the empty text or 0.
class TField {
public:
    explicit TField(const TFieldValue* v) : v_(v) {}
    bool IsNull() const;
    std::string AsString() const;
    // The text AsString gives, without a copy when the value is text; a number
    // is written into `scratch`, which the view then shows.
    std::string_view Text(std::string& scratch) const;
    bool IsInteger() const;
    int AsInteger() const; // throws EDatabaseError for text that is no number
    long long AsLargeInt() const;
    double AsFloat() const;

private:
    const TFieldValue* v_;
};

// A query object on the connection, used with the statement idiom: Close,
// SQL.Clear, SQL.Add..., then Open (SELECT) or ExecSQL (UPDATE/INSERT).
// Open reads the whole result at once, so RecordCount is valid right away and
// no statement stays active on the connection while the rows are walked.
class AdoQuery {
public:
    explicit AdoQuery(AdoConnection* connection = nullptr) : Connection(connection) {}

    AdoConnection* Connection;
    TStrings SQL;
    // Kept for the callers that set it; values are always sent as written.
    bool ParamCheck = true;

    void Open();
    void ExecSQL();
    void Close();
    // The whole idiom in one call: close, clear, add the lines, open / execute.
    AdoQuery& OpenWith(std::initializer_list<std::string> lines);
    void ExecWith(std::initializer_list<std::string> lines);
    // For a statement run once per row of a loop: `sql` has its own parameters
    // ('?'), bound in order, so the text is not scanned for literals each time.
    using BoundValue = std::variant<long long, std::string_view>;
    AdoQuery& OpenBound(std::string_view sql, std::initializer_list<BoundValue> values);
    // The same for a statement without rows (INSERT, UPDATE); RowsAffected tells the count.
    void ExecBound(std::string_view sql, std::initializer_list<BoundValue> values);

    bool Active() const { return active_; }
    bool Eof() const { return row_ >= rows_; }
    void First() { row_ = 0; }
    void Next();
    int RecordCount() const { return static_cast<int>(rows_); }
    int RowsAffected() const { return rowsAffected_; }
    int FieldCount() const { return static_cast<int>(names_.size()); }
    const std::string& FieldName(int i) const { return names_[static_cast<size_t>(i)]; }

    TField FieldByName(std::string_view name) const; // unknown name: EDatabaseError
    int FieldIndex(std::string_view name) const;     // the same errors, for use with Fields
    TField Fields(int index) const;

private:
    std::string statementText() const;
    void read(sqlite3_stmt* stmt); // the rows of a statement ready to step
    bool active_ = false;
    size_t rows_ = 0;
    size_t row_ = 0;
    int rowsAffected_ = 0;
    std::vector<std::string> names_;
    std::vector<TFieldValue> values_; // row-major
};
