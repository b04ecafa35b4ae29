// The query object: the statement idiom, field reads, record counts and quoting.
#include "store/DataModule.h"
#include "store/DatabaseError.h"
#include "store/SqlText.h"
#include "store/Statement.h"
#include "store/Transaction.h"
#include "support/TestSupport.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {
class QueryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dm.GuardAndConnect(inst.Folder())); }
    AdoQuery& select(std::initializer_list<std::string> lines) { return dm.ADOQuery2.OpenWith(lines); }
    void exec(std::initializer_list<std::string> lines) { dm.ADOQuery1.ExecWith(lines); }
    MessageBoxRecorder boxes;
    TestInstall inst{
        "INSERT INTO 类型说明 VALUES('单项选择题',NULL,0.8);"
        "INSERT INTO 类型说明 VALUES('判断题','判断正误',1);"
        "INSERT INTO 小题(小题号,大题号,所属编号,题目类型,题目内容,答案) VALUES(3,3,101,'判断题','甲',NULL);"
        "INSERT INTO 小题(小题号,大题号,所属编号,题目类型,题目内容,答案) "
        "VALUES(1,1,101,'单项选择题','乙','B');"
        "INSERT INTO 小题(小题号,大题号,所属编号,题目类型,题目内容,答案) "
        "VALUES(2,2,102,'单项选择题','丙','C');"};
    TDataModule1 dm;
};
} // namespace

TEST_F(QueryTest, LinesAreJoinedAndRowsWalkedWithNextUntilEof) {
    AdoQuery& q = select({"SELECT * FROM 小题 ", "WHERE 所属编号=", "101", " ORDER BY 小题号"});
    EXPECT_EQ(q.SQL.Text(), "SELECT * FROM 小题 \nWHERE 所属编号=\n101\n ORDER BY 小题号");
    EXPECT_EQ(q.RecordCount(), 2);
    std::vector<int> ids;
    for (; !q.Eof(); q.Next())
        ids.push_back(q.FieldByName("小题号").AsInteger());
    EXPECT_EQ(ids, (std::vector<int>{1, 3}));
    q.Next(); // past the end stays at the end
    EXPECT_TRUE(q.Eof());
}

TEST_F(QueryTest, NullsReadAsEmptyOrZeroAndNumbersConvert) {
    AdoQuery& q = select({"SELECT * FROM 类型说明"});
    ASSERT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(q.FieldByName("类型说明").AsString(), "");
    EXPECT_TRUE(q.FieldByName("类型说明").IsNull());
    EXPECT_FLOAT_EQ(static_cast<float>(q.FieldByName("分数").AsFloat()), 0.8f);
    EXPECT_EQ(q.FieldByName("分数").AsString(), "0.8");
    q.Next();
    EXPECT_EQ(q.FieldByName("分数").AsInteger(), 1);
    EXPECT_EQ(q.FieldByName("分数").AsString(), "1");
    EXPECT_THROW(q.FieldByName("不存在的列"), EDatabaseError);

    AdoQuery& none = select({"SELECT * FROM 小题 WHERE 小题号=", "99"});
    EXPECT_EQ(none.RecordCount(), 0);
    EXPECT_TRUE(none.Eof());
    EXPECT_EQ(none.FieldByName("答案").AsString(), ""); // a missing row reads as empty
    EXPECT_EQ(none.FieldByName("小题号").AsInteger(), 0);

    AdoQuery& nullAnswer = select({"SELECT * FROM 小题 WHERE 小题号=3"});
    EXPECT_EQ(nullAnswer.FieldByName("答案").AsString(), "");
    EXPECT_EQ(nullAnswer.FieldByName("答案").AsFloat(), 0.0);
}

TEST_F(QueryTest, ListsDistinctAndSubSelectRunAsWritten) {
    AdoQuery& q = select({"SELECT * FROM 小题 WHERE 小题号 IN(", "3,", "1,", "3)"});
    EXPECT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(select({"SELECT DISTINCT 题目类型 FROM 小题"}).RecordCount(), 2);
    EXPECT_EQ(select({"SELECT * FROM 小题 WHERE 题目内容 LIKE '%乙%'"}).RecordCount(), 1);
}

TEST_F(QueryTest, QuotesInTextValuesAreStoredAndReadBackIntact) {
    const std::string value = "O'Neil's \"引号\" '; DROP TABLE 小题; --";
    exec({"INSERT INTO 系统参数(参数名,参数值) VALUES(" + QuotedStr("名'字") + "," + QuotedStr(value) + ")"});
    AdoQuery& q = select({"SELECT * FROM 系统参数 WHERE 参数名=", QuotedStr("名'字")});
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("参数值").AsString(), value);
    EXPECT_EQ(select({"SELECT * FROM 小题"}).RecordCount(), 3);
}

TEST_F(QueryTest, DateLiteralFindsARowStoredToTheSecond) {
    exec({"INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) ",
          "VALUES(4,3,6,4.5,0.75,'" + StoredDateTimeText(2026, 12, 9, 7, 5, 3) + "')"});
    exec({"INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) ",
          "VALUES(1,1,1,1,1,'" + StoredDateTimeText(2026, 12, 9, 7, 5, 4) + "')"});
    AdoQuery& q = select({"SELECT * FROM 测试结果 WHERE 测试时间=", "#12/9/2026", " 7:5:3", "#"});
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("试题数").AsInteger(), 4);
    EXPECT_EQ(q.FieldByName("编号").AsInteger(), 1); // assigned by the engine
}

TEST_F(QueryTest, FailingStatementsCarryTheEnginesMessage) {
    try {
        select({"SELECT * FROM 不存在的表"});
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("不存在的表"), std::string::npos);
    }
    EXPECT_FALSE(dm.ADOQuery2.Active());
    EXPECT_THROW(exec({"UPDATE 小题 SET 是否收藏=1 WHERE 小题号 IN("}), EDatabaseError);
    // A failed transaction leaves nothing behind.
    dm.ADOConnection1.BeginTrans();
    exec({"UPDATE 小题 SET 是否收藏=1"});
    dm.ADOConnection1.RollbackTrans();
    EXPECT_EQ(select({"SELECT * FROM 小题 WHERE 是否收藏=1"}).RecordCount(), 0);
}

TEST_F(QueryTest, ReusedStatementsGiveTheSameAnswersAsFreshOnes) {
    // The same shape with other values, interleaved across both query objects.
    for (int round = 0; round < 3; ++round) {
        for (int id : {1, 2, 3, 99}) {
            AdoQuery& q = select({"SELECT * FROM 小题 WHERE 小题号=", std::to_string(id)});
            EXPECT_EQ(q.RecordCount(), id == 99 ? 0 : 1);
            if (id != 99) {
                EXPECT_EQ(q.FieldByName("小题号").AsInteger(), id);
            }
            exec({"UPDATE 小题 SET 是否收藏=" + std::to_string(round % 2) + " WHERE 小题号=",
                  std::to_string(id)});
        }
    }
    EXPECT_EQ(select({"SELECT * FROM 小题 WHERE 是否收藏=0"}).RecordCount(), 3);
    // A select-list literal keeps its column name.
    EXPECT_EQ(select({"SELECT 7 AS n, 题目内容 FROM 小题 WHERE 小题号=1"}).FieldByName("n").AsInteger(), 7);
    AdoQuery& q = select({"SELECT 题目内容, 5 FROM 小题 WHERE 小题号=1"});
    EXPECT_EQ(q.FieldName(1), "5");
    // A statement that fails once does not poison the next one of its shape.
    EXPECT_THROW(select({"SELECT * FROM 小题 WHERE 小题号=1 AND 不存在=2"}), EDatabaseError);
    EXPECT_EQ(select({"SELECT * FROM 小题 WHERE 小题号=2"}).RecordCount(), 1);
}

TEST_F(QueryTest, NumbersInSqlTextKeepTheirDotUnderACommaLocale) {
    CommaLocale comma;
    ASSERT_TRUE(comma.Ok()) << "de_DE.UTF-8 is not installed (build.sh installs locales-all)";
    char shown[16];
    std::snprintf(shown, sizeof shown, "%.1f", 4.5);
    ASSERT_STREQ(shown, "4,5"); // the locale really is in force

    EXPECT_EQ(SqlNumber(4.5), "4.5");
    EXPECT_EQ(SqlNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(SqlNumber(-2), "-2");
    EXPECT_EQ(SqlNumber(1.0 / 3), "0.333333333333333");
    exec({"INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) VALUES(2,1,", SqlNumber(4.5), ",",
          SqlNumber(2.25), ",0.5,'2026-12-09 10:00:00')"});
    AdoQuery& q = select({"SELECT 总分, 得分, '2.5' AS t FROM 测试结果"});
    EXPECT_DOUBLE_EQ(q.FieldByName("总分").AsFloat(), 4.5);
    EXPECT_EQ(q.FieldByName("得分").AsString(), "2.25");
    EXPECT_DOUBLE_EQ(q.FieldByName("t").AsFloat(), 2.5); // stored text reads with a dot too
}

TEST_F(QueryTest, ATransactionLeftOpenByAFailedRollbackDoesNotSwallowTheNextOne) {
    AdoConnection& c = dm.ADOConnection1;
    exec({"BEGIN"});
    exec({"INSERT INTO 类型说明 VALUES('多项选择题',NULL,2)"});
    c.BeginTrans(); // a nested BEGIN would fail: the leftover is undone first
    exec({"INSERT INTO 类型说明 VALUES('填空题',NULL,2)"});
    c.CommitTrans();
    EXPECT_FALSE(c.InTransaction());
    EXPECT_EQ(select({"SELECT * FROM 类型说明 WHERE 题目类型='多项选择题'"}).RecordCount(), 0);
    EXPECT_EQ(select({"SELECT * FROM 类型说明 WHERE 题目类型='填空题'"}).RecordCount(), 1);
}

TEST_F(QueryTest, AFailedStepThrowsAndItsWriteTransactionIsRolledBack) {
    AdoConnection& c = dm.ADOConnection1;
    try {
        store::WriteTransaction transaction(c);
        exec({"INSERT INTO 类型说明 VALUES('多项选择题',NULL,2)"});
        store::Statement duplicate(c.Handle(), "INSERT INTO 小题(小题号,大题号,所属编号) VALUES(?,?,?)");
        duplicate.bind(1, 1).bind(2, 1).bind(3, 101).run();
        transaction.commit();
        FAIL() << "the duplicate 小题号 went in";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("UNIQUE"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(c.InTransaction());
    EXPECT_EQ(select({"SELECT * FROM 类型说明 WHERE 题目类型='多项选择题'"}).RecordCount(), 0);
}
