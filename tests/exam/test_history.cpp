// The test history dialog in both of its modes.
#include "exam/WGZX.h"
#include "render/Global.h"
#include "support/TestSupport.h"

#include <QHeaderView>
#include <gtest/gtest.h>

namespace {
const char* kHistory =
    "INSERT INTO 小题 VALUES(5,5,101,'单选','题五','A','',0,0);"
    "INSERT INTO 小题 VALUES(6,6,101,'判断','题六','A','',0,0);"
    "INSERT INTO 小题 VALUES(9,9,101,'单选','题九','A','',0,0);"
    "INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) VALUES(4,3,6,4.5,0.75,'2026-02-16 "
    "15:40:29');"
    "INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) VALUES(2,0,0,0,0,'2026-12-09 07:05:03');"
    "INSERT INTO 测试题目 VALUES(1,6,0);INSERT INTO 测试题目 VALUES(1,5,-1);";
} // namespace

TEST(History, ListsTestsOpensOneAndMakesAPaper) {
    MessageBoxRecorder boxes;
    OpenBank bank(kHistory);
    TFrmWGZX dlg;
    EXPECT_EQ(dlg.Mode(), 0);
    EXPECT_EQ(dlg.Cell(0, 0), "    测试时间");
    EXPECT_EQ(dlg.Cell(5, 0), " 正确率");
    EXPECT_EQ(dlg.Cell(0, 1), "2026-2-16 15:40:29");
    EXPECT_EQ(dlg.Cell(1, 1), "4");
    EXPECT_EQ(dlg.Cell(3, 1), "6.00");
    EXPECT_EQ(dlg.Cell(4, 1), "4.50");
    EXPECT_EQ(dlg.Cell(5, 1), "75.00％");
    EXPECT_EQ(dlg.Cell(0, 2), "2026-12-9 7:05:03");
    EXPECT_EQ(dlg.Cell(3, 2), "0.00");
    EXPECT_EQ(dlg.Cell(5, 2), "0.00％");
    EXPECT_EQ(dlg.StringGrid1->rowCount(), 2);

    dlg.BitBtn2Click(); // a paper only from a question list
    EXPECT_EQ(dlg.ModalResult, mrNone);

    dlg.StringGrid1->setCurrentCell(0, 0);
    dlg.StringGrid1DblClick();
    EXPECT_EQ(dlg.Mode(), 1);
    EXPECT_EQ(dlg.Cell(1, 0), "    题目内容");
    EXPECT_EQ(dlg.Cell(0, 1), "1");
    EXPECT_EQ(dlg.Cell(1, 1), "题五"); // the question table's order, right and wrong alike
    EXPECT_EQ(dlg.Cell(2, 2), "判断");
    EXPECT_EQ(dlg.StringGrid1->columnWidth(1), 480);

    dlg.BitBtn2Click();
    EXPECT_EQ(dlg.ModalResult, mrOk);
    ASSERT_EQ(XiaoTiList.Count(), 2);
    EXPECT_EQ(XiaoTiList[0]->Id, 5);
    EXPECT_EQ(XiaoTiList[1]->Id, 6);

    dlg.ModalResult = mrNone;
    dlg.StringGrid1->setCurrentCell(1, 0);
    dlg.StringGrid1DblClick();
    EXPECT_EQ(dlg.ModalResult, mrOk);
    ASSERT_EQ(XiaoTiList.Count(), 1);
    EXPECT_EQ(XiaoTiList[0]->Id, 6);

    dlg.BitBtn1Click();
    EXPECT_EQ(dlg.Mode(), 0);
    EXPECT_EQ(dlg.StringGrid1->rowCount(), 2);
}

TEST(History, EmptyHistoryAndATestWithoutQuestions) {
    MessageBoxRecorder boxes;
    OpenBank bank("INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) VALUES(1,1,1,1,1,'2026-12-09 "
                  "07:05:03');");
    TFrmWGZX dlg;
    dlg.StringGrid1->setCurrentCell(0, 0);
    dlg.StringGrid1DblClick();
    EXPECT_EQ(dlg.Mode(), 1);
    EXPECT_EQ(dlg.Cell(1, 1), "没有题目");
    XiaoTiList.Clear();
    dlg.StringGrid1DblClick();
    dlg.BitBtn2Click();
    EXPECT_EQ(dlg.ModalResult, mrNone);
    EXPECT_EQ(XiaoTiList.Count(), 0);

    OpenBank empty;
    TFrmWGZX none;
    EXPECT_EQ(none.StringGrid1->rowCount(), 1);
    EXPECT_EQ(none.Cell(1, 1), "没有测试记录");
    none.StringGrid1->setCurrentCell(0, 0);
    none.StringGrid1DblClick();
    EXPECT_EQ(none.Mode(), 0);
}

TEST(History, TheHeaderRowActsOnTheFirstRowBeforeAnyClick) {
    MessageBoxRecorder boxes;
    OpenBank bank(
        "INSERT INTO 小题(小题号,大题号,所属编号,题目类型,题目内容,答案) VALUES(5,5,101,'判断题','甲','A');"
        "INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) VALUES(1,1,1,1,1,'2026-12-09 07:05:03');"
        "INSERT INTO 测试题目(测试编号,小题号,回答正确) VALUES(1,5,-1);");
    TFrmWGZX dlg;
    EXPECT_EQ(dlg.StringGrid1->currentRow(), 0);
    emit dlg.StringGrid1->horizontalHeader()->sectionDoubleClicked(0);
    ASSERT_EQ(dlg.Mode(), 1); // the test's questions
    EXPECT_EQ(dlg.StringGrid1->currentRow(), 0);
    emit dlg.StringGrid1->horizontalHeader()->sectionDoubleClicked(1);
    EXPECT_EQ(dlg.ModalResult, mrOk);
    ASSERT_EQ(XiaoTiList.Count(), 1);
    EXPECT_EQ(XiaoTiList[0]->Id, 5);
}
