// The statement cache turns literals into bound parameters. Whatever the text,
// that must not change the answer: a statement run through the cache returns
// the same rows, in the same order, as the same text prepared as it stands.
#include "BankBuilder.h"
#include "FuzzSupport.h"
#include "store/AdoConnection.h"
#include "store/DataModule.h"
#include "store/DatabaseError.h"
#include "store/EncryptionMDB.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {
// A few rows of every kind of value the bank holds: quotes, NULLs, reals,
// Chinese text, numbers stored as text.
const char* const kFixtureRows = R"sql(
INSERT INTO 题目类别 VALUES (1, '言语理解', 0, NULL), (2, '数量关系', 0, 'x'), (3, '片段''阅读', 1, '1'),
                             (4, '', 2, '2.5');
INSERT INTO 类型说明 VALUES ('单选题', '四选一', 1.0), ('多选题', NULL, 1.5), ('判断题', '对''错', 0.5);
INSERT INTO 大题 VALUES (1, '阅读下面的材料'), (2, NULL), (7, '#1/2/2026#');
INSERT INTO 小题 VALUES (1, 1, 3, '单选题', '题干一', 'A', '解释', 1, 0), (2, 1, 3, '多选题', '题干二', 'AB', NULL, 0, 1),
                        (3, 2, 4, '判断题', '它''s', '对', '', 1, 1), (4, 7, 4, '单选题', NULL, 'C', 'x', 0, 0),
                        (5, 7, 1, '单选题', '10', '10', '9', 1, 0);
INSERT INTO 答案选项 VALUES (1, 1, 1, 'A. 一'), (1, 1, 2, 'B. 二'), (1, 2, 1, 'A'), (1, 2, 2, 'B'), (2, 3, 1, '对'),
                            (2, 3, 2, '错'), (7, 4, 3, '?');
INSERT INTO 测试结果 (试题数, 答对, 总分, 得分, 正确率, 测试时间) VALUES
  (5, 3, 5.0, 3.0, 60.0, '2026-12-09 07:05:03'), (2, 2, 2.5, 2.5, 100.0, '2026-01-02 13:04:05');
INSERT INTO 测试题目 VALUES (1, 1, 1), (1, 2, 0), (1, 3, 1), (2, 4, 1), (2, 5, 1);
INSERT INTO 系统参数 VALUES ('背景颜色', '#EFF8FF'), ('字号', '12'), ('空', NULL);
)sql";

// Only reads, and nothing that differs from one run to the next.
int authorize(void*, int action, const char* a, const char*, const char*, const char*) {
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_FUNCTION:
        for (const char* f :
             {"random", "randomblob", "changes", "total_changes", "last_insert_rowid", "sqlite_offset"})
            if (a && sqlite3_stricmp(a, f) == 0) return SQLITE_DENY;
        return SQLITE_OK;
    default:
        return SQLITE_DENY;
    }
}

// Bounds each statement's work, so a recursive query ends the run, not the fuzzer.
int budget = 0;
int progress(void*) {
    return --budget < 0;
}

struct Fixture {
    std::string folder;
    AdoConnection connection;
    Fixture() {
        folder = (fs::temp_directory_path() / ("quillora-fuzz-" + std::to_string(getpid()))).string() + "/";
        fs::create_directories(folder);
        const std::string path = folder + "exam.db";
        bank::BuildFromSql({bank::ReadTextFile(QUILLORA_SOURCE_DIR "/data/bank/schema.sql"), kFixtureRows},
                           path);
        DecryptMDB(path);
        connection.ConnectionString = TDataModule1::ConnectionStringFor(folder);
        connection.Open();
        sqlite3_set_authorizer(connection.Handle(), authorize, nullptr);
        sqlite3_progress_handler(connection.Handle(), 64, progress, nullptr);
    }
    ~Fixture() {
        connection.Close();
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

std::string valueText(sqlite3_stmt* s, int col) {
    switch (sqlite3_column_type(s, col)) {
    case SQLITE_INTEGER:
        return "i" + std::to_string(sqlite3_column_int64(s, col));
    case SQLITE_FLOAT: {
        char buf[40];
        std::snprintf(buf, sizeof buf, "f%.17g", sqlite3_column_double(s, col));
        return buf;
    }
    case SQLITE_NULL:
        return "n";
    default: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(s, col));
        return (sqlite3_column_type(s, col) == SQLITE_TEXT ? "t" : "b") +
               std::string(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(s, col)));
    }
    }
}

struct Outcome {
    bool complete = false; // false: interrupted by the budget or failed while stepping
    std::vector<std::string> rows;
};

Outcome run(sqlite3_stmt* s) {
    Outcome out;
    budget = 20000;
    for (int n = 0; n < 500; ++n) {
        const int rc = sqlite3_step(s);
        if (rc == SQLITE_DONE) {
            out.complete = true;
            return out;
        }
        if (rc != SQLITE_ROW) return out;
        std::string row;
        for (int c = 0; c < sqlite3_column_count(s); ++c)
            row += valueText(s, c) + '|';
        out.rows.push_back(std::move(row));
    }
    return out;
}

bool blankTail(const char* tail) {
    for (; tail && *tail; ++tail)
        if (!std::isspace(static_cast<unsigned char>(*tail)) && *tail != ';') return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4000) return 0;
    const std::string sql(reinterpret_cast<const char*>(data), size);
    if (sql.find('\0') != std::string::npos) return 0;
    Fixture& f = fixture();
    sqlite3* db = f.connection.Handle();

    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, &tail) != SQLITE_OK || !raw ||
        !blankTail(tail)) {
        sqlite3_finalize(raw);
        return 0;
    }
    const Outcome expected = run(raw);
    const int columns = sqlite3_column_count(raw);
    sqlite3_finalize(raw);
    if (!expected.complete) return 0;

    sqlite3_stmt* cached = nullptr;
    try {
        cached = f.connection.AcquireStatement(sql);
    } catch (const EDatabaseError& e) {
        FUZZ_CHECK(false, "%s\nprepares as it stands but not through the cache: %s", sql.c_str(), e.what());
    }
    const Outcome got = run(cached);
    const int cachedColumns = sqlite3_column_count(cached);
    f.connection.ReleaseStatement(cached);
    if (!got.complete) return 0; // a plan that needs more steps with parameters
    FUZZ_CHECK(cachedColumns == columns, "%s", sql.c_str());
    FUZZ_CHECK(got.rows == expected.rows, "%s\nrows differ: %zu through the cache, %zu as it stands",
               sql.c_str(), got.rows.size(), expected.rows.size());
    return 0;
}
