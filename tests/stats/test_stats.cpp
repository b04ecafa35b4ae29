// The statistics window's figures from a small history worked out by hand.
#include "stats/StatsData.h"
#include "store/DataModule.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {
const char* kHistory =
    "INSERT INTO 题目类别 VALUES(1,'源甲',0,'0');INSERT INTO 题目类别 VALUES(11,'言语',1,NULL);"
    "INSERT INTO 题目类别 VALUES(12,'数量',1,NULL);INSERT INTO 题目类别 VALUES(101,'节',11,NULL);"
    "INSERT INTO 题目类别 VALUES(102,'节',12,NULL);INSERT INTO 题目类别 VALUES(2,'源乙',0,'0');"
    "INSERT INTO 题目类别 VALUES(21,'言语',2,NULL);INSERT INTO 题目类别 VALUES(201,'节',21,NULL);"
    "INSERT INTO 类型说明 VALUES('单选','',1);INSERT INTO 类型说明 VALUES('多选','',2);"
    "INSERT INTO 小题 VALUES(1,1,101,'单选','一','A','',0,0);INSERT INTO 小题 VALUES(2,2,102,'单选','二','A','',0,0);"
    "INSERT INTO 小题 VALUES(3,3,201,'多选','三','AB','',1,0);INSERT INTO 小题 VALUES(4,4,201,'单选','四','A','',0,0);"
    "INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) VALUES(3,1,4,1,0.25,'2026-12-01 10:00:00');"
    "INSERT INTO 测试题目 VALUES(1,1,-1);INSERT INTO 测试题目 VALUES(1,2,0);INSERT INTO 测试题目 VALUES(1,3,0);"
    "INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) VALUES(4,2,5,3,0.6,'2026-12-09 10:00:00');"
    "INSERT INTO 测试题目 VALUES(2,1,0);INSERT INTO 测试题目 VALUES(2,2,0);INSERT INTO 测试题目 VALUES(2,4,-1);"
    "INSERT INTO 测试题目 VALUES(2,3,-1);"
    // Test 2 was timed: 单选 answered in 30 and 50 s, 多选 left blank.
    "INSERT INTO 测试作答 VALUES(2,1,'B',30);INSERT INTO 测试作答 VALUES(2,4,'A',50);"
    "INSERT INTO 测试作答 VALUES(2,3,'',99);"
    "DROP TABLE 测试汇总;DROP TABLE 科目汇总;DROP TABLE 用时汇总;DROP TABLE 错题汇总;DROP TABLE 练习记录;";
}  // namespace

TEST(Statistics, FiguresOfAKnownHistoryAndTestsSavedAfterTheFirstLook) {
    OpenBank bank(kHistory);
    AdoConnection& c = DataModule1->ADOConnection1;
    stats::CatchUpSummaries(c);
    stats::Figures f = stats::ReadFigures(c, "2026-12-10");
    EXPECT_EQ(f.tests, 2);
    EXPECT_FALSE(f.byWeek);
    ASSERT_EQ(f.accuracy.size(), 4u);  // per test, per type
    EXPECT_EQ(f.accuracy[0].type, "单选");
    EXPECT_EQ(f.accuracy[0].total, 2);
    EXPECT_EQ(f.accuracy[0].right, 1);
    EXPECT_EQ(f.accuracy[3].label, "2026-12-09 10:00:00");
    EXPECT_EQ(f.accuracy[3].type, "多选");
    EXPECT_EQ(f.accuracy[3].right, 1);

    // 言语 of both sources together (3 of 5), 数量 (0 of 2) first as the weakest.
    ASSERT_EQ(f.subjects.size(), 2u);
    EXPECT_EQ(f.subjects[0].subject, "数量");
    EXPECT_EQ(f.subjects[1].subject, "言语");
    EXPECT_EQ(f.subjects[1].total, 5);
    EXPECT_EQ(f.subjects[1].right, 3);

    ASSERT_EQ(f.days.size(), 90u);
    EXPECT_EQ(f.days.back().day, "2026-12-10");
    EXPECT_EQ(f.days[88].questions, 4);
    EXPECT_EQ(f.days[80].questions, 3);  // 2026-12-01

    // The last test's mix (单选 3, 多选 1) at 2 of 5 and 1 of 2 right: 3·1·0.4 + 1·2·0.5.
    ASSERT_TRUE(f.prediction.known);
    EXPECT_NEAR(f.prediction.score, 2.2, 1e-9);
    EXPECT_NEAR(f.prediction.full, 5, 1e-9);
    EXPECT_LT(f.prediction.low, 2.2);
    EXPECT_GT(f.prediction.high, 2.2);

    ASSERT_EQ(f.seconds.size(), 1u);
    EXPECT_EQ(f.seconds[0].type, "单选");
    EXPECT_DOUBLE_EQ(f.seconds[0].seconds, 40);
    EXPECT_EQ(f.seconds[0].answers, 2);

    ASSERT_EQ(f.wrong.size(), 3u);
    EXPECT_EQ(f.wrong[0].id, 2);
    EXPECT_EQ(f.wrong[0].times, 2);
    ASSERT_EQ(f.history.size(), 2u);
    EXPECT_EQ(f.history[0].id, 2);  // newest first

    // A test saved later is summarized once, on the next look.
    DataModule1->ADOQuery1.ExecWith({"INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) "
                                     "VALUES(1,0,1,0,0,'2026-12-10 09:00:00')"});
    DataModule1->ADOQuery1.ExecWith({"INSERT INTO 测试题目 VALUES(3,2,0)"});
    stats::CatchUpSummaries(c);
    stats::CatchUpSummaries(c);
    f = stats::ReadFigures(c, "2026-12-10");
    EXPECT_EQ(f.wrong[0].times, 3);
    EXPECT_EQ(f.days.back().questions, 1);
    EXPECT_EQ(f.subjects[0].total, 3);

    // Questions judged while practising count beside the tests: 2 (数量) right, 4 (言语) wrong.
    stats::RecordPractice(c, 2, true, "2026-12-10 11:00:00");
    stats::RecordPractice(c, 4, false, "2026-12-10 11:01:00");
    f = stats::ReadFigures(c, "2026-12-10");
    EXPECT_EQ(f.practised, 2);
    EXPECT_EQ(f.days.back().questions, 3);
    ASSERT_FALSE(f.accuracy.empty());
    EXPECT_EQ(f.accuracy.back().label, "2026-12-10 练习");
    EXPECT_EQ(f.accuracy.back().total, 2);
    EXPECT_EQ(f.accuracy.back().right, 1);
    EXPECT_EQ(f.subjects[0].subject, "数量");
    EXPECT_EQ(f.subjects[0].total, 4);
    EXPECT_EQ(f.subjects[0].right, 1);
    EXPECT_EQ(f.subjects[1].total, 6);
    EXPECT_EQ(f.subjects[1].right, 3);
}

TEST(Statistics, NoHistoryHasNoFigures) {
    OpenBank bank("DROP TABLE 测试汇总;DROP TABLE 科目汇总;DROP TABLE 用时汇总;DROP TABLE 错题汇总;");
    stats::CatchUpSummaries(DataModule1->ADOConnection1);
    const stats::Figures f = stats::ReadFigures(DataModule1->ADOConnection1, "2026-12-10");
    EXPECT_EQ(f.tests, 0);
    EXPECT_TRUE(f.accuracy.empty());
    EXPECT_FALSE(f.prediction.known);
}
