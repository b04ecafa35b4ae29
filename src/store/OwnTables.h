#pragma once
// The tables the program adds to a bank, each declared once: the statements
// that make them when missing, the restore check's reserved columns and
// data/bank/schema.sql (checked by a test) all follow these declarations.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class AdoConnection;

namespace owntables {

struct Column {
    std::string_view name;
    std::string_view type; // its type and constraints, written after the name
};

struct Index {
    std::string_view name;
    std::string_view columns;
};

struct Table {
    std::string_view name;
    std::vector<Column> columns;
    std::vector<Index> indexes;
};

const std::vector<Table>& All();

// CREATE TABLE IF NOT EXISTS, then CREATE INDEX IF NOT EXISTS for each index.
std::vector<std::string> CreateStatements(const Table& table);

// Makes the named tables (and their indexes) where the bank lacks them. A name
// not declared above is a programming error and throws.
void Create(AdoConnection& connection, std::initializer_list<std::string_view> names);

} // namespace owntables
