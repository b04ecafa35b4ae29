#pragma once
#include <QByteArray>
#include <QString>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace store {

// A statement of its own on a bare handle, for the code that works beside the
// query object (imports, exports, the bank tools): prepared once, bound and
// stepped many times, finalized with the object. Binding keeps every value out
// of the SQL text. Every failure throws EDatabaseError with the engine's message.
class Statement {
public:
    Statement(sqlite3* db, std::string_view sql); // the message names the SQL
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, int value);
    Statement& bind(int index, long long value);
    Statement& bind(int index, double value);
    Statement& bind(int index, const QString& value);
    Statement& bind(int index, std::string_view value);  // UTF-8 text
    Statement& bind(int index, const QByteArray& value); // a blob
    Statement& bindNull(int index);

    // True with a row to read, false when done.
    bool step();
    // Steps a statement without rows, then readies it for the next values.
    void run();
    // Back to the start with every parameter unbound.
    void reset();

    int columnCount() const;
    int columnType(int column) const; // SQLITE_INTEGER, _FLOAT, _TEXT, _BLOB or _NULL
    long long integer(int column) const;
    double real(int column) const;
    QString text(int column) const;
    std::string_view utf8(int column) const; // valid until the next step or reset
    QByteArray blob(int column) const;

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace store
