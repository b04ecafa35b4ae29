#include "store/OwnTables.h"

#include "store/AdoQuery.h"

#include <algorithm>
#include <stdexcept>

namespace owntables {

const std::vector<Table>& All() {
    static const std::vector<Table> tables{
        {"图片", {{"名称", "TEXT PRIMARY KEY"}, {"数据", "BLOB NOT NULL"}}, {}},
        {"测试计时",
         {{"测试编号", "INTEGER PRIMARY KEY"},
          {"限时秒数", "INTEGER NOT NULL"},
          {"用时秒数", "INTEGER NOT NULL"},
          {"是否超时", "INTEGER NOT NULL DEFAULT 0"}},
         {}},
        {"测试作答",
         {{"测试编号", "INTEGER NOT NULL"},
          {"小题号", "INTEGER NOT NULL"},
          {"作答", "TEXT NOT NULL DEFAULT ''"},
          {"用时秒数", "INTEGER NOT NULL DEFAULT 0"}},
         {{"测试作答_测试编号", "测试编号"}}},
        {"复习卡片",
         {{"小题号", "INTEGER PRIMARY KEY"},
          {"状态", "INTEGER NOT NULL"},
          {"稳定度", "REAL NOT NULL"},
          {"难度", "REAL NOT NULL"},
          {"到期时间", "TEXT NOT NULL"},
          {"上次复习", "TEXT NOT NULL"},
          {"复习次数", "INTEGER NOT NULL DEFAULT 0"},
          {"遗忘次数", "INTEGER NOT NULL DEFAULT 0"}},
         {{"复习卡片_到期时间", "到期时间"}}},
        {"复习记录",
         {{"记录编号", "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {"小题号", "INTEGER NOT NULL"},
          {"评分", "INTEGER NOT NULL"},
          {"复习时间", "TEXT NOT NULL"},
          {"间隔天数", "REAL NOT NULL"}},
         {{"复习记录_小题号", "小题号"}}},
        {"测试汇总",
         {{"测试编号", "INTEGER NOT NULL"},
          {"题目类型", "TEXT NOT NULL"},
          {"题数", "INTEGER NOT NULL"},
          {"答对", "INTEGER NOT NULL"}},
         {{"测试汇总_测试编号", "测试编号"}}},
        {"科目汇总",
         {{"科目", "TEXT PRIMARY KEY"}, {"题数", "INTEGER NOT NULL"}, {"答对", "INTEGER NOT NULL"}},
         {}},
        {"用时汇总",
         {{"题目类型", "TEXT PRIMARY KEY"}, {"秒数", "REAL NOT NULL"}, {"题数", "INTEGER NOT NULL"}},
         {}},
        {"错题汇总", {{"小题号", "INTEGER PRIMARY KEY"}, {"次数", "INTEGER NOT NULL"}}, {}},
        {"练习记录",
         {{"小题号", "INTEGER NOT NULL"}, {"答对", "INTEGER NOT NULL"}, {"练习时间", "TEXT NOT NULL"}},
         {}},
        {"申论作答",
         {{"作答编号", "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {"小题号", "INTEGER NOT NULL"},
          {"开始时间", "TEXT NOT NULL"},
          {"保存时间", "TEXT NOT NULL"},
          {"用时秒数", "INTEGER NOT NULL DEFAULT 0"},
          {"作答", "TEXT NOT NULL DEFAULT ''"},
          {"字数", "INTEGER NOT NULL DEFAULT 0"},
          {"估分", "REAL"},
          {"满分", "REAL NOT NULL DEFAULT 0"},
          {"任务类型", "TEXT NOT NULL DEFAULT ''"}},
         {{"申论作答_小题号", "小题号"}}},
    };
    return tables;
}

std::vector<std::string> CreateStatements(const Table& table) {
    std::string create = "CREATE TABLE IF NOT EXISTS ";
    create.append(table.name).append(" (");
    for (size_t k = 0; k < table.columns.size(); ++k) {
        if (k > 0) create += ", ";
        create.append(table.columns[k].name).append(" ").append(table.columns[k].type);
    }
    create += ")";
    std::vector<std::string> statements{create};
    for (const Index& index : table.indexes) {
        std::string s = "CREATE INDEX IF NOT EXISTS ";
        s.append(index.name).append(" ON ").append(table.name).append("(").append(index.columns).append(")");
        statements.push_back(std::move(s));
    }
    return statements;
}

void Create(AdoConnection& connection, std::initializer_list<std::string_view> names) {
    AdoQuery q(&connection);
    for (std::string_view name : names) {
        const auto& tables = All();
        const auto it =
            std::find_if(tables.begin(), tables.end(), [name](const Table& t) { return t.name == name; });
        if (it == tables.end())
            throw std::logic_error("not a table of the program's own: " + std::string(name));
        for (const std::string& statement : CreateStatements(*it))
            q.ExecWith({statement});
    }
}

} // namespace owntables
