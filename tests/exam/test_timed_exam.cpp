// The timed exam's clock, its per-question time, and what a saved test keeps.
#include "exam/History.h"
#include "exam/TimedExam.h"
#include "render/Global.h"
#include "store/DataModule.h"
#include "store/DatabaseError.h"
#include "support/FakeExamClock.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {
using FakeClock = FakeExamClock;

std::vector<TimedQuestion> paper() {
    return {{7, 1, "单选", 4}, {8, 2, "单选", 4}, {9, 4, "多选", 4}};
}

int count(const std::string& sql) {
    return DataModule1->ADOQuery1.OpenWith({sql}).Fields(0).AsInteger();
}
} // namespace

TEST(TimedExamClock, LimitsFollowThePaperAndTheTextCountsDown) {
    EXPECT_EQ(DefaultLimitMinutes(104), 100); // 95.3 minutes, up to the next five
    EXPECT_EQ(DefaultLimitMinutes(120), 110);
    EXPECT_EQ(DefaultLimitMinutes(1), 5);
    EXPECT_EQ(DefaultLimitMinutes(0), 5);
    EXPECT_EQ(DefaultLimitMinutes(400), 300);
    EXPECT_EQ(RemainingText(((1 * 60 + 52) * 60 + 7) * 1000LL), "剩余 01:52:07");
    EXPECT_EQ(RemainingText(1), "剩余 00:00:01"); // a part of a second still shows
    EXPECT_EQ(RemainingText(-5), "剩余 00:00:00");
    // The real clock counts a suspended machine's sleep: it runs ahead of the monotonic one.
    timespec mono{};
    clock_gettime(CLOCK_MONOTONIC, &mono);
    EXPECT_GE(BootTimeMs(), mono.tv_sec * 1000LL + mono.tv_nsec / 1000000);
}

TEST(TimedExamClock, TimeBetweenAnswersGoesToTheQuestionAnsweredAndStopsAtTheLimit) {
    FakeClock clock;
    TTimedExam exam(paper(), 60);
    clock.advance(10);
    EXPECT_TRUE(exam.Answered(7, "B"));
    clock.advance(15);
    EXPECT_TRUE(exam.Answered(8, "A"));
    clock.advance(5);
    EXPECT_TRUE(exam.Answered(7, "C")); // a change of mind adds to the same question
    EXPECT_FALSE(exam.Answered(99, "A"));
    EXPECT_EQ(exam.SecondsOn(7), 15);
    EXPECT_EQ(exam.SecondsOn(8), 15);
    EXPECT_EQ(exam.AnswerOf(7), "C");
    EXPECT_EQ(exam.AnsweredCount(), 2);
    EXPECT_EQ(exam.RemainingMs(), 30'000);

    clock.advance(100); // past the limit: only the time up to it is anyone's
    EXPECT_TRUE(exam.Expired());
    EXPECT_TRUE(exam.Answered(9, "AB"));
    EXPECT_EQ(exam.SecondsOn(9), 30);
    EXPECT_EQ(exam.UsedSeconds(), 60);
    exam.Stop(true);
    EXPECT_TRUE(exam.RanOut());
    EXPECT_FALSE(exam.Answered(8, "D"));
    EXPECT_EQ(exam.AnswerOf(8), "A");

    TTimedExam early(paper(), 600);
    clock.advance(42);
    early.Stop(false);
    clock.advance(1000);
    EXPECT_EQ(early.UsedSeconds(), 42); // frozen once graded
    EXPECT_EQ(early.RemainingMs(), 558'000);
    EXPECT_FALSE(early.RanOut());
}

TEST(TimedExamSave, ABankWithoutTheTablesGetsThemAndAFailingAdditionLeavesTheTestSaved) {
    FakeClock clock;
    OpenBank bank("DROP TABLE 测试计时;DROP TABLE 测试作答;");
    ShiTiList.Clear();
    for (int id : {7, 8, 9}) {
        ShiTiList.Add()->Id = id;
        ShiTiList[ShiTiList.Count() - 1]->OptionCount = 4;
    }
    TTimedExam exam(paper(), 1200);
    clock.advance(20);
    exam.Answered(7, "B");
    exam.TakeGraded(9, "AC");
    exam.Stop(false);

    TResultTotals totals;
    ASSERT_EQ(SaveTestToHistory(totals, "2026-12-10 09:00:00",
                                [&](long long id) { exam.Save(DataModule1->ADOConnection1, id); }),
              TSaveResult::Saved);
    EXPECT_EQ(count("SELECT 限时秒数 FROM 测试计时 WHERE 测试编号=(SELECT MAX(编号) FROM 测试结果)"
                    " AND 用时秒数=20 AND 是否超时=0"),
              1200);
    AdoQuery& rows =
        DataModule1->ADOQuery1.OpenWith({"SELECT 小题号,作答,用时秒数 FROM 测试作答 ORDER BY 小题号"});
    ASSERT_EQ(rows.RecordCount(), 3);
    EXPECT_EQ(rows.Fields(1).AsString(), "B");
    EXPECT_EQ(rows.Fields(2).AsInteger(), 20);
    rows.Next();
    EXPECT_EQ(rows.Fields(1).AsString(), "");
    rows.Next();
    EXPECT_EQ(rows.Fields(1).AsString(), "AC");

    // Our rows fail half-way: they go, the described rows stay.
    ASSERT_EQ(SaveTestToHistory(totals, "2026-12-10 09:05:00",
                                [&](long long id) {
                                    exam.Save(DataModule1->ADOConnection1, id);
                                    throw EDatabaseError("disk full");
                                }),
              TSaveResult::Saved);
    EXPECT_EQ(count("SELECT COUNT(*) FROM 测试结果 WHERE 测试时间='2026-12-10 09:05:00'"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM 测试题目 WHERE 测试编号=(SELECT MAX(编号) FROM 测试结果)"), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM 测试作答"), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM 测试计时"), 1);
}
