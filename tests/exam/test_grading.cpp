// Grading without a browser: verdicts, tallies and points.
#include "exam/Grading.h"
#include "render/Global.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {
void page(std::initializer_list<std::tuple<int, const char*, const char*, int>> questions) {
    ShiTiList.Clear();
    for (auto [id, type, answer, options] : questions) {
        TShiTi* s = ShiTiList.Add();
        s->Id = id;
        s->TypeName = type;
        s->Answer = answer;
        s->OptionCount = options;
    }
}
std::vector<bool> ticks(const char* pattern) { // "x.x." ticks options A and C of four
    std::vector<bool> v;
    for (const char* p = pattern; *p; ++p)
        v.push_back(*p == 'x');
    return v;
}
} // namespace

TEST(Grading, AllOrNothingAgainstTheUpperCasedAnswerInOptionOrder) {
    EXPECT_EQ(ChosenLetters(ticks("x.x.")), "AC");
    EXPECT_EQ(ChosenLetters(ticks("")), "");
    // Past Z the letters go on with the next character codes, as the page writes them.
    std::vector<bool> many(64, false);
    many[26] = many[63] = true;
    EXPECT_EQ(ChosenLetters(many), "[\u0080");
    page({{1, "多选", "ac", 4},  // lower case: right
          {2, "多选", "CA", 4},  // letters out of order: never right
          {3, "单选", "", 0},    // no options, no key: cannot be answered, left out
          {4, "多选", "ABD", 4}, // partly ticked: wrong
          {5, "单选", "A,C", 4}, // a separator can never match
          {6, "单选", "B", 2}});
    const std::vector<int> wrong =
        GradeChoices({ticks("x.x."), ticks("x.x."), ticks(""), ticks("xx.."), ticks("x.x."), ticks(".x")});
    EXPECT_EQ(wrong, (std::vector<int>{2, 4, 5}));
    EXPECT_TRUE(ShiTiList[0]->Correct);
    EXPECT_FALSE(ShiTiList[1]->Correct);
    EXPECT_FALSE(ShiTiList[2]->Correct);
    EXPECT_TRUE(ShiTiList[5]->Correct);
}

TEST(Grading, AnEssayTaskNeitherCountsNorSplitsARun) {
    page({{1, "A", "A", 2}, {2, "申论", "", 0}, {3, "A", "B", 2}, {4, "申论", "", 0}});
    const std::vector<int> wrong = GradeChoices({ticks("x."), ticks(""), ticks("x."), ticks("")});
    EXPECT_EQ(wrong, (std::vector<int>{3}));
    ASSERT_EQ(TestList.Count(), 1);
    EXPECT_EQ(TestList[0]->Total, 2);
    EXPECT_EQ(TestList[0]->RightCount, 1);
}

TEST(Grading, OneTallyPerRunOfEqualTypes) {
    page({{1, "A", "A", 2}, {2, "A", "A", 2}, {3, "B", "A", 2}, {4, "A", "A", 2}});
    GradeChoices({ticks("x."), ticks(".x"), ticks("x."), ticks("x.")});
    ASSERT_EQ(TestList.Count(), 3);
    EXPECT_EQ(TestList[0]->TypeName, "A");
    EXPECT_EQ(TestList[0]->Total, 2);
    EXPECT_EQ(TestList[0]->RightCount, 1);
    EXPECT_EQ(TestList[1]->TypeName, "B");
    EXPECT_EQ(TestList[2]->TypeName, "A");
    EXPECT_EQ(TestList[2]->Total, 1);
    // Grading again overwrites every verdict.
    GradeChoices({ticks("x."), ticks("x."), ticks("x."), ticks("x.")});
    EXPECT_EQ(TestList[0]->RightCount, 2);
    EXPECT_TRUE(ShiTiList[1]->Correct);
}

TEST(Grading, PointsComeFromTheTypeTable) {
    MessageBoxRecorder boxes;
    OpenBank bank("INSERT INTO 类型说明 VALUES('单选','',1.5);INSERT INTO 类型说明 VALUES('资料','',0.8);");
    page({{1, "单选", "A", 2},
          {2, "单选", "A", 2},
          {3, "单选", "A", 2},
          {4, "单选", "B", 2},
          {5, "资料", "A", 2},
          {6, "未知", "A", 2}});
    GradeChoices({ticks("x."), ticks("x."), ticks("x."), ticks("x."), ticks("x."), ticks("x.")});
    ScoreTallies();
    ASSERT_EQ(TestList.Count(), 3);
    EXPECT_FLOAT_EQ(TestList[0]->FullScore, 6.0f);
    EXPECT_FLOAT_EQ(TestList[0]->Score, 4.5f);
    EXPECT_FLOAT_EQ(TestList[0]->RightRate, 0.75f);
    EXPECT_EQ(TestList[1]->FullScore, 0.8f);
    EXPECT_EQ(TestList[2]->FullScore, 0.0f) << "a type without a row scores nothing";
    EXPECT_EQ(TestList[2]->Total, 1);
}
