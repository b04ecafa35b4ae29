#include "BankBuilder.h"
#include "store/BankTables.h"
#include "store/OwnTables.h"
#include "store/SqlText.h"
#include "store/Statement.h"
#include "store/StatementCache.h"

#include <gtest/gtest.h>
#include <map>
#include <sqlite3.h>

TEST(QuotedStr, DoublesEmbeddedQuotes) {
    EXPECT_EQ(QuotedStr("字体"), "'字体'");
    EXPECT_EQ(QuotedStr(""), "''");
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(QuotedStr("'); DROP TABLE 小题; --"), "'''); DROP TABLE 小题; --'");
}

TEST(LikeContains, WildcardsAndTheEscapeCharacterMatchThemselves) {
    EXPECT_EQ(LikeContains(""), "'%%' ESCAPE '\\'");
    EXPECT_EQ(LikeContains("增长"), "'%增长%' ESCAPE '\\'");
    EXPECT_EQ(LikeContains("100%"), "'%100\\%%' ESCAPE '\\'");
    EXPECT_EQ(LikeContains("a_b"), "'%a\\_b%' ESCAPE '\\'");
    EXPECT_EQ(LikeContains("C:\\x"), "'%C:\\\\x%' ESCAPE '\\'");
    EXPECT_EQ(LikeContains("it's"), "'%it''s%' ESCAPE '\\'");
}

TEST(JetDates, LiteralSpreadOverLinesBecomesStoredText) {
    // The history looks a test up with the three lines "#m/d/yyyy", " h:m:s", "#".
    EXPECT_EQ(TranslateJetDates("SELECT * FROM 测试结果 WHERE 测试时间=\n#12/9/2026\n 7:05:03\n#"),
              "SELECT * FROM 测试结果 WHERE 测试时间=\n'2026-12-09 07:05:03'");
    EXPECT_EQ(TranslateJetDates("x=#1/2/2026 13:4:5#"), "x='2026-01-02 13:04:05'");
    EXPECT_EQ(TranslateJetDates("x=#1/2/2026#"), "x='2026-01-02 00:00:00'");
}

TEST(JetDates, QuotedTextAndNonDatesAreLeftAlone) {
    EXPECT_EQ(TranslateJetDates("x='#1/2/2026#'"), "x='#1/2/2026#'");
    EXPECT_EQ(TranslateJetDates("x='it''s #1/2/2026#'"), "x='it''s #1/2/2026#'");
    EXPECT_EQ(TranslateJetDates("x=#abc# and y=#13/1/2026#"), "x=#abc# and y=#13/1/2026#");
    EXPECT_EQ(TranslateJetDates("a # b"), "a # b");
}

TEST(NormalizeLiterals, ValuesAfterTheFirstClauseBecomeParameters) {
    NormalizedSql n =
        NormalizeLiterals("SELECT * FROM 答案选项 \nWHERE 大题号=\n12\nAND 小题号=\n13\n ORDER BY 答案编号");
    EXPECT_EQ(n.text, "SELECT * FROM 答案选项 \nWHERE 大题号=\n?\nAND 小题号=\n?\n ORDER BY 答案编号");
    ASSERT_EQ(n.literals.size(), 2u);
    EXPECT_EQ(std::get<long long>(n.literals[0]), 12);

    n = NormalizeLiterals("SELECT * FROM 类型说明 WHERE 题目类型='它''s'");
    EXPECT_EQ(n.text, "SELECT * FROM 类型说明 WHERE 题目类型=?");
    EXPECT_EQ(std::get<std::string>(n.literals[0]), "它's");
}

TEST(NormalizeLiterals, LeavesWhatParametersWouldChange) {
    // Select-list literals name their columns; ORDER BY 2 is a column position.
    EXPECT_EQ(NormalizeLiterals("SELECT 1, 'a' FROM t WHERE x=1 ORDER BY 2").text,
              "SELECT 1, 'a' FROM t WHERE x=? ORDER BY 2");
    EXPECT_EQ(NormalizeLiterals("PRAGMA user_version=3").text, "PRAGMA user_version=3");
    EXPECT_EQ(NormalizeLiterals("SELECT * FROM t2 WHERE c3=x'01' AND a=4.5").text,
              "SELECT * FROM t2 WHERE c3=x'01' AND a=4.5");
    EXPECT_EQ(NormalizeLiterals("SELECT * FROM \"t 1\" WHERE [c 2]=7").text,
              "SELECT * FROM \"t 1\" WHERE [c 2]=?");
    EXPECT_EQ(NormalizeLiterals("SELECT * FROM t WHERE s='unclosed").text,
              "SELECT * FROM t WHERE s='unclosed");
}

TEST(NormalizeLiterals, ColumnPositionsTypeSizesAndAliasesStayText) {
    // Every term of an ORDER BY list may be a position, not only the first.
    EXPECT_EQ(NormalizeLiterals("SELECT a, b FROM t WHERE x=1 ORDER BY 2 DESC, 1 LIMIT 5").text,
              "SELECT a, b FROM t WHERE x=? ORDER BY 2 DESC, 1 LIMIT ?");
    EXPECT_EQ(NormalizeLiterals("SELECT a FROM t GROUP BY a, 1 HAVING count(*) > 1").text,
              "SELECT a FROM t GROUP BY a, 1 HAVING count(*) > ?");
    // Commas elsewhere are values again once the list has ended.
    EXPECT_EQ(NormalizeLiterals("SELECT a FROM t WHERE a IN (1, 2) ORDER BY (b IN (3, 4)), 2").text,
              "SELECT a FROM t WHERE a IN (?, ?) ORDER BY (b IN (?, ?)), 2");
    EXPECT_EQ(NormalizeLiterals("SELECT a FROM t WHERE CAST(b AS VARCHAR (10)) = 7").text,
              "SELECT a FROM t WHERE CAST(b AS VARCHAR (10)) = ?");
    EXPECT_EQ(NormalizeLiterals("SELECT n FROM (SELECT a AS 'n' FROM t WHERE b='x')").text,
              "SELECT n FROM (SELECT a AS 'n' FROM t WHERE b=?)");
    EXPECT_EQ(NormalizeLiterals("SELECT * FROM t '' WHERE a LIKE 'x%' AND b NOT IN ('y')").text,
              "SELECT * FROM t '' WHERE a LIKE ? AND b NOT IN (?)");
}

TEST(NormalizeLiterals, NumbersAndCommentsAreReadWhole) {
    // The exponent's digits belong to the number: "1E+?" would not parse.
    NormalizedSql n = NormalizeLiterals("SELECT * FROM t WHERE a > 1E+2 AND b = .5e-3 AND c = 12");
    EXPECT_EQ(n.text, "SELECT * FROM t WHERE a > 1E+2 AND b = .5e-3 AND c = ?");
    ASSERT_EQ(n.literals.size(), 1u);
    EXPECT_EQ(std::get<long long>(n.literals[0]), 12);
    // A quote inside a comment opens no text that would swallow the statement.
    n = NormalizeLiterals("SELECT * FROM t -- it's\nWHERE a='x' /* don't */ AND b=2");
    EXPECT_EQ(n.text, "SELECT * FROM t -- it's\nWHERE a=? /* don't */ AND b=?");
    ASSERT_EQ(n.literals.size(), 2u);
    EXPECT_EQ(std::get<std::string>(n.literals[0]), "x");
}

TEST(NormalizeLiterals, TextWithItsOwnParametersIsLeftWhole) {
    for (const char* sql : {"SELECT * FROM t WHERE a=? AND b=5", "SELECT * FROM t WHERE a=:a AND b=5",
                            "SELECT * FROM t ORDER BY 2 DESC,@1", "SELECT * FROM t WHERE a=$x AND b='y'",
                            "SELECT #a FROM t WHERE b=2"}) {
        const NormalizedSql n = NormalizeLiterals(sql);
        EXPECT_EQ(n.text, sql);
        EXPECT_TRUE(n.literals.empty()) << sql;
    }
}

TEST(JetDates, DaysTheMonthDoesNotHaveAreNoDate) {
    // Stored, 2026-02-29 would be a test taken on a day that never was.
    EXPECT_EQ(TranslateJetDates("x=#2/29/2026#"), "x=#2/29/2026#");
    EXPECT_EQ(TranslateJetDates("x=#4/31/2026 1:2:3#"), "x=#4/31/2026 1:2:3#");
    EXPECT_EQ(TranslateJetDates("x=#2/29/2024#"), "x='2024-02-29 00:00:00'");
    EXPECT_EQ(TranslateJetDates("x=#2/29/1900#"), "x=#2/29/1900#");
    EXPECT_EQ(TranslateJetDates("x=#2/29/2000#"), "x='2000-02-29 00:00:00'");
}

TEST(JetDates, LiteralEndingInASeparatorIsNoDate) {
    // Read the year past the end of the parsed numbers once.
    EXPECT_EQ(TranslateJetDates("x=#12/26/#"), "x=#12/26/#");
    EXPECT_EQ(TranslateJetDates("x=#1/2/2026 3:#"), "x=#1/2/2026 3:#");
}

// schema.sql documents the bank; its tables of ours must be the ones the
// program makes: same columns, types, defaults, keys and indexes.
TEST(OwnTables, SchemaFileMatchesTheDeclarations) {
    const auto shape = [](sqlite3* db) {
        std::map<std::string, std::vector<std::string>> tables;
        const auto rows = [db](const std::string& sql) {
            std::vector<std::string> out;
            store::Statement s(db, sql);
            while (s.step()) {
                std::string row;
                for (int c = 0; c < s.columnCount(); ++c)
                    row +=
                        (s.columnType(c) == SQLITE_NULL ? std::string("NULL") : std::string(s.utf8(c))) + "|";
                out.push_back(row);
            }
            return out;
        };
        for (const std::string& t :
             rows("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE "
                  "'sqlite_%' ORDER BY name")) {
            const std::string name = t.substr(0, t.size() - 1);
            auto& lines = tables[name];
            lines = rows("PRAGMA table_info('" + name + "')");
            for (const std::string& i :
                 rows("SELECT name, sql FROM sqlite_master WHERE type='index' AND tbl_name='" + name +
                      "' ORDER BY name"))
                lines.push_back(i);
        }
        return tables;
    };
    sqlite3* fromSchema = nullptr;
    sqlite3* fromCode = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &fromSchema), SQLITE_OK);
    ASSERT_EQ(sqlite3_open(":memory:", &fromCode), SQLITE_OK);
    const std::string schema = bank::ReadTextFile(std::string(QUILLORA_SOURCE_DIR) + "/data/bank/schema.sql");
    ASSERT_EQ(sqlite3_exec(fromSchema, schema.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    for (const owntables::Table& t : owntables::All())
        for (const std::string& sql : owntables::CreateStatements(t))
            ASSERT_EQ(sqlite3_exec(fromCode, (sql + ";").c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
                << sql;
    auto documented = shape(fromSchema);
    for (std::string_view described : banktables::Described())
        documented.erase(std::string(described));
    const auto made = shape(fromCode);
    EXPECT_EQ(documented, made);
    sqlite3_close(fromSchema);
    sqlite3_close(fromCode);
}
