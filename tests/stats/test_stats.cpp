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
    "INSERT INTO 小题 VALUES(1,1,101,'单选','一','A','',0,0);INSERT INTO 小题 "
    "VALUES(2,2,102,'单选','二','A','',0,0);"
    "INSERT INTO 小题 VALUES(3,3,201,'多选','三','AB','',1,0);INSERT INTO 小题 "
    "VALUES(4,4,201,'单选','四','A','',0,0);"
    "INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) VALUES(3,1,4,1,0.25,'2026-12-01 10:00:00');"
    "INSERT INTO 测试题目 VALUES(1,1,-1);INSERT INTO 测试题目 VALUES(1,2,0);INSERT INTO 测试题目 "
    "VALUES(1,3,0);"
    "INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) VALUES(4,2,5,3,0.6,'2026-12-09 10:00:00');"
    "INSERT INTO 测试题目 VALUES(2,1,0);INSERT INTO 测试题目 VALUES(2,2,0);INSERT INTO 测试题目 "
    "VALUES(2,4,-1);"
    "INSERT INTO 测试题目 VALUES(2,3,-1);"
    // Test 2 was timed: 单选 answered in 30 and 50 s, 多选 left blank.
    "INSERT INTO 测试作答 VALUES(2,1,'B',30);INSERT INTO 测试作答 VALUES(2,4,'A',50);"
    "INSERT INTO 测试作答 VALUES(2,3,'',99);"
    "DROP TABLE 测试汇总;DROP TABLE 科目汇总;DROP TABLE 用时汇总;DROP TABLE 错题汇总;DROP TABLE 练习记录;";
} // namespace

TEST(Statistics, FiguresOfAKnownHistoryAndTestsSavedAfterTheFirstLook) {
    OpenBank bank(kHistory);
    AdoConnection& c = DataModule1->ADOConnection1;
    stats::CatchUpSummaries(c);
    stats::Figures f = stats::ReadFigures(c, "2026-12-10");
    EXPECT_EQ(f.tests, 2);
    EXPECT_FALSE(f.byWeek);
    ASSERT_EQ(f.accuracy.size(), 4u); // per test, per type
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
    EXPECT_EQ(f.days[80].questions, 3); // 2026-12-01

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
    EXPECT_EQ(f.history[0].id, 2); // newest first

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

TEST(Statistics, ThePredictedRangeComesFromTheAnswersOfTheLastTenTests) {
    // Ten 单选 of a point each in eleven tests: the first gets all ten wrong, the others the first five
    // right.
    std::string sql = "INSERT INTO 类型说明 VALUES('单选','',1);";
    for (int q = 1; q <= 10; ++q)
        sql += "INSERT INTO 小题 VALUES(" + std::to_string(q) + "," + std::to_string(q) +
               ",101,'单选','题','A','',0,0);";
    for (int t = 1; t <= 11; ++t) {
        sql += "INSERT INTO 测试结果(编号,测试时间) VALUES(" + std::to_string(t) + ",'2026-12-01 10:00:00');";
        for (int q = 1; q <= 10; ++q)
            sql += "INSERT INTO 测试题目 VALUES(" + std::to_string(t) + "," + std::to_string(q) + "," +
                   (t > 1 && q <= 5 ? "-1" : "0") + ");";
    }
    OpenBank bank(sql);
    stats::CatchUpSummaries(DataModule1->ADOConnection1);
    const stats::Figures f = stats::ReadFigures(DataModule1->ADOConnection1, "2026-12-10");
    // Tests 2 to 11 answered 100, 50 right: p = 0.5, spread = 1.96·√(0.5·0.5/100) = 0.098. The last
    // paper is worth 10: score 10·0.5 = 5, range 10·(0.5 ∓ 0.098) = 4.02 to 5.98. (Its 10 questions in
    // place of the 100 answers would give 1.96·√(0.25/10) ≈ 0.31: 1.90 to 8.10.)
    ASSERT_TRUE(f.prediction.known);
    EXPECT_NEAR(f.prediction.full, 10, 1e-9);
    EXPECT_NEAR(f.prediction.score, 5, 1e-9);
    EXPECT_NEAR(f.prediction.low, 4.02, 1e-9);
    EXPECT_NEAR(f.prediction.high, 5.98, 1e-9);
}

TEST(Statistics, NoHistoryHasNoFigures) {
    // A bank from before the writing window, without 申论作答.
    OpenBank bank("DROP TABLE 测试汇总;DROP TABLE 科目汇总;DROP TABLE 用时汇总;DROP TABLE 错题汇总;DROP "
                  "TABLE 申论作答;");
    stats::CatchUpSummaries(DataModule1->ADOConnection1);
    const stats::Figures f = stats::ReadFigures(DataModule1->ADOConnection1, "2026-12-10");
    EXPECT_EQ(f.tests, 0);
    EXPECT_TRUE(f.accuracy.empty());
    EXPECT_FALSE(f.prediction.known);
    EXPECT_EQ(stats::ReadEssayFigures(DataModule1->ADOConnection1).attempts, 0);
}

TEST(Statistics, EssayScoresByKindInTheOrderStartedAndWritingSpeed) {
    // Ids out of the order started; 4 not submitted; 5 submitted to a task without marks.
    OpenBank bank(
        "INSERT INTO 申论作答(作答编号,小题号,开始时间,保存时间,用时秒数,字数,估分,满分,任务类型) VALUES"
        "(1,7,'2026-12-02 09:00:00','2026-12-02 09:10:00',600,300,12,20,'综合分析'),"
        "(2,8,'2026-12-03 09:00:00','2026-12-03 09:00:59',59,100,9,10,'归纳概括'),"
        "(3,8,'2026-12-01 09:00:00','2026-12-01 09:05:00',300,200,7,10,'归纳概括'),"
        "(4,8,'2026-12-04 09:00:00','2026-12-04 09:02:00',120,110,NULL,10,'归纳概括'),"
        "(5,9,'2026-12-05 09:00:00','2026-12-05 09:01:00',60,45,5,0,'提出对策');");
    const stats::EssayFigures e = stats::ReadEssayFigures(DataModule1->ADOConnection1);
    EXPECT_EQ(e.attempts, 5);
    EXPECT_EQ(e.submitted, 4);
    // 归纳概括 before 综合分析: 7/10 (started first), 9/10, then 12/20.
    ASSERT_EQ(e.scores.size(), 3u);
    EXPECT_EQ(e.scores[0].kind, "归纳概括");
    EXPECT_EQ(e.scores[0].number, 1);
    EXPECT_DOUBLE_EQ(e.scores[0].percent, 70);
    EXPECT_EQ(e.scores[1].kind, "归纳概括");
    EXPECT_EQ(e.scores[1].number, 2);
    EXPECT_DOUBLE_EQ(e.scores[1].percent, 90);
    EXPECT_EQ(e.scores[2].kind, "综合分析");
    EXPECT_EQ(e.scores[2].number, 1);
    EXPECT_DOUBLE_EQ(e.scores[2].percent, 60);
    // Characters a minute in the order started, 59 s left out: 200/5, 300/10, 110/2, 45/1.
    EXPECT_EQ(e.speeds, (std::vector<double>{40, 30, 55, 45}));
    EXPECT_DOUBLE_EQ(e.averageSpeed, 42.5);
}
