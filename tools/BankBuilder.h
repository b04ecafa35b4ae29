#pragma once
#include <functional>
#include <string>
#include <vector>

struct sqlite3;

// Makes exam database containers. The result is in the closed state, as a bank
// rests on disk.
namespace bank {

// Makes a plain SQLite image, lets `fill` write it, and wraps it into `target`.
void BuildWith(const std::string& target, const std::function<void(sqlite3*)>& fill);

// Runs the SQL texts in order on a new bank. "@PORTAL@" is replaced by `portalBase`.
void BuildFromSql(const std::vector<std::string>& sqlTexts, const std::string& target,
                  const std::string& portalBase = "http://127.0.0.1:8901");

// schema.sql first, then the other *.sql files of `dir` in name order.
void BuildFromDirectory(const std::string& dir, const std::string& target,
                        const std::string& portalBase = "http://127.0.0.1:8901");

std::string ReadTextFile(const std::string& path);
void ExecScript(sqlite3* db, const std::string& sql);

} // namespace bank
