#include "store/SqlText.h"

#include <gtest/gtest.h>

TEST(QuotedStr, DoublesEmbeddedQuotes) {
    EXPECT_EQ(QuotedStr("字体"), "'字体'");
    EXPECT_EQ(QuotedStr(""), "''");
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(QuotedStr("'); DROP TABLE 小题; --"), "'''); DROP TABLE 小题; --'");
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
