#pragma once
// What the restore check refuses in a bank's content: a backup may come from
// anyone, and nothing in it may make the program loop or run out of memory.
#include <cstdint>
#include <string>

class AdoConnection;

// Larger backup files are refused before anything of them is copied.
constexpr std::uint64_t kMaxBankBytes = std::uint64_t{2} << 30;

// A category tree the check still walks (and the program still shows).
constexpr std::int64_t kMaxTreeRows = 1000000;

// The reason the open bank `db` must not be used, or empty when it may. Refused:
// schema objects that run code on reads or writes (triggers, views, virtual
// tables, generated columns, CHECK constraints, indexes on expressions or with
// a WHERE, defaults that are no plain value), reserved tables laid out otherwise than ours, ids that
// do not fit the 32 bits they are read into, and trees (categories, tips) with a
// repeated id or a parent chain that returns to itself. The described tables
// must be present already.
std::string UnsafeBankContent(AdoConnection& db);

// The part of that check about the file's schema alone (code objects and the
// reserved tables' layout): what start-up refuses in a bank dropped in place.
// Ids and trees are left to the program, which reads a described bank's
// faulty tree as it always did.
std::string UnsafeBankSchema(AdoConnection& db);
