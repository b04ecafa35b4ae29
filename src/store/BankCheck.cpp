#include "store/BankCheck.h"

#include "store/AdoConnection.h"
#include "store/AdoQuery.h"
#include "store/BankTables.h"
#include "store/SqlText.h"

#include <algorithm>
#include <sqlite3.h>
#include <vector>

namespace {
std::string ident(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

std::vector<std::string> columnsOf(AdoConnection& db, std::string_view table) {
    AdoQuery q(&db);
    q.OpenWith({"SELECT name FROM pragma_table_info(" + QuotedStr(table) + ")"});
    std::vector<std::string> out;
    for (; !q.Eof(); q.Next())
        out.push_back(q.Fields(0).AsString());
    return out;
}

// A number, a quoted text or NULL: nothing that computes.
bool plainDefault(const std::string& v) {
    if (v == "NULL" || v == "TRUE" || v == "FALSE") return true;
    if (v.size() >= 2 && v.front() == '\'' && v.back() == '\'') return true;
    size_t i = !v.empty() && (v[0] == '-' || v[0] == '+') ? 1 : 0;
    if (i == v.size()) return false;
    for (; i < v.size(); ++i)
        if (!((v[i] >= '0' && v[i] <= '9') || v[i] == '.' || v[i] == 'e' || v[i] == 'E' || v[i] == '-' ||
              v[i] == '+'))
            return false;
    return true;
}

std::string codeObjects(AdoConnection& db) {
    // Only plain tables and indexes: checked on the statement text as well as on
    // the type, since a hostile file can store any pair of them.
    AdoQuery q(&db);
    q.OpenWith({"SELECT type, name FROM sqlite_master WHERE NOT (",
                "(type = 'table' AND coalesce(sql, '') LIKE 'CREATE TABLE %') OR",
                "(type = 'index' AND (sql IS NULL OR sql LIKE 'CREATE INDEX %' OR sql LIKE 'CREATE UNIQUE "
                "INDEX %')))",
                "LIMIT 1"});
    if (!q.Eof()) {
        const std::string type = q.Fields(0).AsString(), name = q.Fields(1).AsString();
        if (type == "trigger") return "含有触发器 " + name;
        if (type == "view") return "含有视图 " + name;
        return "含有虚拟表或不认识的对象 " + type + " " + name;
    }
    // A generated column computes on every read, with whatever expression it names.
    q.OpenWith({"SELECT p.name, x.name FROM pragma_table_list AS p, pragma_table_xinfo(p.name) AS x",
                "WHERE p.schema = 'main' AND x.hidden IN (2, 3) LIMIT 1"});
    if (!q.Eof()) return "含有计算列 " + q.Fields(0).AsString() + "." + q.Fields(1).AsString();
    // A CHECK constraint, an index on an expression or with a WHERE, and a
    // default that is not a plain value all run code of the file's choosing
    // when a row is written (a favourite marked, a test saved).
    q.OpenWith(
        {"SELECT name FROM sqlite_master WHERE type = 'table' AND upper(sql) GLOB '*CHECK*(*' LIMIT 1"});
    if (!q.Eof()) return "含有检查约束 " + q.Fields(0).AsString();
    q.OpenWith(
        {"SELECT i.name FROM sqlite_master AS t, pragma_index_list(t.name) AS i WHERE t.type = 'table' AND",
         "(i.partial OR EXISTS(SELECT 1 FROM pragma_index_xinfo(i.name) AS c WHERE c.cid = -2)) LIMIT 1"});
    if (!q.Eof()) return "含有带表达式或条件的索引 " + q.Fields(0).AsString();
    q.OpenWith(
        {"SELECT t.name, c.name, c.dflt_value FROM sqlite_master AS t, pragma_table_xinfo(t.name) AS c",
         "WHERE t.type = 'table' AND c.dflt_value IS NOT NULL"});
    for (; !q.Eof(); q.Next()) {
        const std::string value = q.Fields(2).AsString();
        if (!plainDefault(value))
            return "列 " + q.Fields(0).AsString() + "." + q.Fields(1).AsString() + " 的默认值不是常量";
    }
    return {};
}

std::string reservedLayouts(AdoConnection& db) {
    for (const banktables::Table& t : banktables::Reserved()) {
        const std::vector<std::string> have = columnsOf(db, t.name);
        if (have.empty()) continue; // not made yet: the program makes it at first use
        if (!std::equal(have.begin(), have.end(), t.columns.begin(), t.columns.end()))
            return "数据表 " + std::string(t.name) + " 的列与本程序的不同";
    }
    return {};
}

std::string outOfRangeIds(AdoConnection& db) {
    for (const banktables::Table& t : banktables::IdColumns()) {
        const std::vector<std::string> have = columnsOf(db, t.name);
        if (have.empty()) continue; // a reserved table the bank does not have
        std::string which = "CASE", shown = "CASE", where;
        for (std::string_view c : t.columns) {
            if (std::find(have.begin(), have.end(), c) == have.end())
                return "数据表 " + std::string(t.name) + " 缺少列 " + std::string(c);
            const std::string col = ident(c);
            const std::string bad =
                "(typeof(" + col + ") <> 'integer' OR " + col + " NOT BETWEEN -2147483648 AND 2147483647)";
            which += " WHEN " + bad + " THEN " + QuotedStr(c);
            shown += " WHEN " + bad + " THEN CASE typeof(" + col + ") WHEN 'integer' THEN " + col +
                     " ELSE typeof(" + col + ") END";
            where += (where.empty() ? "" : " OR ") + bad;
        }
        AdoQuery q(&db);
        q.OpenWith({"SELECT " + which + " END, " + shown + " END FROM " + ident(t.name) + " WHERE " + where +
                    " LIMIT 1"});
        if (!q.Eof())
            return std::string(t.name) + "." + q.Fields(0).AsString() +
                   " 不是 32 位整数: " + q.Fields(1).AsString();
    }
    return {};
}

// Walks every parent chain once; the ids fit 32 bits by now. A chain ends at
// 0 (a root) or at a parent that does not exist, which the tree never shows.
std::string treeFaults(AdoConnection& db, std::string_view table) {
    AdoQuery count(&db);
    if (count.OpenWith({"SELECT count(*) FROM " + ident(table)}).Fields(0).AsLargeInt() > kMaxTreeRows)
        return "数据表 " + std::string(table) + " 的记录超过 " + std::to_string(kMaxTreeRows) + " 条";

    struct Node {
        int id, parent;
    };
    std::vector<Node> nodes;
    {
        // Stepped here rather than read through AdoQuery: two ints a row, not two variants.
        const std::string sql = "SELECT 编号, 父级编号 FROM " + ident(table);
        sqlite3_stmt* s = db.AcquireStatement(sql);
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW)
            nodes.push_back({sqlite3_column_int(s, 0), sqlite3_column_int(s, 1)});
        db.ReleaseStatement(s);
        if (rc != SQLITE_DONE) ThrowSqliteError(db.Handle());
    }
    std::sort(nodes.begin(), nodes.end(), [](const Node& a, const Node& b) { return a.id < b.id; });
    for (size_t i = 1; i < nodes.size(); ++i)
        if (nodes[i].id == nodes[i - 1].id)
            return std::string(table) + " 的编号 " + std::to_string(nodes[i].id) + " 重复";

    auto indexOf = [&](int id) -> ptrdiff_t {
        auto it =
            std::lower_bound(nodes.begin(), nodes.end(), id, [](const Node& n, int v) { return n.id < v; });
        return it != nodes.end() && it->id == id ? it - nodes.begin() : -1;
    };
    enum : unsigned char { Unseen, OnWalk, Ends };
    std::vector<unsigned char> state(nodes.size(), Unseen);
    std::vector<size_t> walk;
    for (size_t start = 0; start < nodes.size(); ++start) {
        walk.clear();
        for (ptrdiff_t at = static_cast<ptrdiff_t>(start);
             at >= 0 && state[static_cast<size_t>(at)] != Ends;) {
            const auto i = static_cast<size_t>(at);
            if (state[i] == OnWalk)
                return std::string(table) + " 的编号 " + std::to_string(nodes[i].id) + " 是自己的上级";
            state[i] = OnWalk;
            walk.push_back(i);
            at = nodes[i].parent == 0 ? -1 : indexOf(nodes[i].parent);
        }
        for (size_t i : walk)
            state[i] = Ends;
    }
    return {};
}
} // namespace

std::string UnsafeBankSchema(AdoConnection& db) {
    std::string why = codeObjects(db);
    if (why.empty()) why = reservedLayouts(db);
    return why;
}

std::string UnsafeBankContent(AdoConnection& db) {
    std::string why = UnsafeBankSchema(db);
    if (why.empty()) why = outOfRangeIds(db);
    for (std::string_view tree : banktables::Trees())
        if (why.empty()) why = treeFaults(db, tree);
    return why;
}
