#pragma once
// The tables of a bank as the program knows them, for the restore check.
#include <string_view>
#include <vector>

namespace banktables {

struct Table {
    std::string_view name;
    std::vector<std::string_view> columns;
};

// The tables every bank has (schema.sql).
const std::vector<std::string_view>& Described();

// Where ids are stored: the program reads each of these columns as a 32-bit int.
// The reserved tables' columns are listed too; they are checked where present.
const std::vector<Table>& IdColumns();

// The tables reserved for the program's additions (OwnTables), with their columns in order.
// A bank need not have them; one that has them with other columns is refused,
// so that the additions never read a table someone else laid out.
const std::vector<Table>& Reserved();

// Tables whose rows form a tree through 编号 and 父级编号.
const std::vector<std::string_view>& Trees();

} // namespace banktables
