// The exam database container: the header, the password check and the VFS.
#include "BankBuilder.h"
#include "platform/Files.h"
#include "store/AdoConnection.h"
#include "store/AdoQuery.h"
#include "store/DataModule.h"
#include "store/DatabaseError.h"
#include "store/EncryptionMDB.h"
#include "store/Statement.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {
std::string connectionTo(const TestInstall& inst, const std::string& password = kDatabasePassword) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + inst.Path("exam.db") +
           ";Persist Security Info=False;Jet OLEDB:Database Password=" + password;
}

std::string openError(const std::string& connectionString) {
    AdoConnection c;
    c.ConnectionString = connectionString;
    try {
        c.Open();
    } catch (const EDatabaseError& e) {
        EXPECT_FALSE(c.Connected());
        return e.what();
    }
    return "opened";
}
} // namespace

TEST(HeaderBlocks, OpeningBlockIsWhatTheEngineWritesForThePassword) {
    const examdb::Block v = examdb::PasswordVerifier(kDatabasePassword);
    EXPECT_EQ(v, OpenHeaderBlock);
    EXPECT_NE(CloseHeaderBlock, OpenHeaderBlock);
    EXPECT_NE(examdb::PasswordVerifier("another password"), OpenHeaderBlock);
}

TEST(Container, BuiltBankRestsClosedAndOpensOnlyWithTheOpeningBlockAndPassword) {
    TestInstall inst("INSERT INTO 系统参数 VALUES('字体','宋体');");
    const std::string exam = inst.Path("exam.db");
    EXPECT_EQ(HeaderBlockOf(exam), std::string(CloseHeaderBlock.begin(), CloseHeaderBlock.end()));
    EXPECT_EQ(openError(connectionTo(inst)), "不是有效的密码。");

    DecryptMDB(exam);
    EXPECT_EQ(openError(connectionTo(inst, "wrong")), "不是有效的密码。");
    AdoConnection c;
    c.ConnectionString = connectionTo(inst);
    c.Open();
    AdoQuery q(&c);
    q.SQL.Add("SELECT 参数值 FROM 系统参数");
    q.Open();
    EXPECT_EQ(q.FieldByName("参数值").AsString(), "宋体");
}

TEST(Container, RefusesMissingForeignAndDamagedFiles) {
    TestInstall inst({}, false);
    EXPECT_EQ(openError(connectionTo(inst)), "找不到文件 '" + inst.Path("exam.db") + "'。");

    // A plain SQLite database is not a bank: SQLite must not touch it.
    sqlite3* db = nullptr;
    sqlite3_open(inst.Path("exam.db").c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE t(x)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const std::string plain = ReadFileBytes(inst.Path("exam.db"));
    EXPECT_NE(openError(connectionTo(inst)).find("无法识别的数据库格式"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(inst.Path("exam.db")), plain);

    // A header with the right password over a broken image fails at connect time.
    bank::BuildFromSql({"CREATE TABLE t(x);"}, inst.Path("exam.db"));
    DecryptMDB(inst.Path("exam.db"));
    std::string bytes = ReadFileBytes(inst.Path("exam.db"));
    for (size_t i = 4096; i < 4096 + 100; ++i)
        bytes[i] = 'Z';
    WriteFileBytes(inst.Path("exam.db"), bytes);
    EXPECT_NE(openError(connectionTo(inst)), "opened");

    EXPECT_NE(openError("Provider=Other.Provider;Data Source=" + inst.Path("exam.db")), "opened");
}

TEST(Container, ImageRoundTripsAndSqliteNeverWritesTheHeader) {
    TestInstall inst;
    const std::string exam = inst.Path("exam.db");
    DecryptMDB(exam);
    const std::string headBefore = ReadFileBytes(exam).substr(0, 4096);
    {
        AdoConnection c;
        c.ConnectionString = connectionTo(inst);
        c.Open();
        AdoQuery q(&c);
        for (int i = 0; i < 300; ++i) { // enough pages to grow and journal the file
            q.SQL.Clear();
            q.SQL.Add("INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) VALUES(" +
                      std::to_string(i) + ",0,0,0,0,'2026-01-01 00:00:00')");
            q.ExecSQL();
        }
    }
    EXPECT_EQ(ReadFileBytes(exam).substr(0, 4096), headBefore);
    EXPECT_FALSE(FileExists(exam + "-journal"));
    examdb::ExtractImage(exam, inst.Path("plain.db"));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(inst.Path("plain.db").c_str(), &db), SQLITE_OK);
    {
        store::Statement count(db, "SELECT count(*) FROM 测试结果");
        ASSERT_TRUE(count.step());
        EXPECT_EQ(count.integer(0), 300);
    }
    sqlite3_close(db);
}
