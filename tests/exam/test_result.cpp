// The result page and saving it to the history.
#include "browser/WebBrowser.h"
#include "exam/ResultPage.h"
#include "exam/ShowTestResult.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "store/DataModule.h"
#include "support/TestSupport.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {
void tally(const char* type, int total, int right, float points) {
    TTest* t = TestList.Add();
    t->TypeName = type;
    t->Total = total;
    t->RightCount = right;
    t->FullScore = points * static_cast<float>(total);
    t->Score = points * static_cast<float>(right);
    t->RightRate = static_cast<float>(right) / static_cast<float>(total);
}

// The cells of the row that starts with `first`, tags stripped.
std::vector<std::string> rowCells(const std::vector<std::string>& lines, const std::string& first) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find(">" + first + "</td>") != std::string::npos && lines[i].rfind("<tr>", 0) == 0) {
            std::vector<std::string> cells;
            for (size_t k = i; k < i + 6; ++k) {
                const std::string& l = lines[k];
                const size_t open = l.find('>', l.find("<td")) + 1;
                cells.push_back(l.substr(open, l.find("</td>") - open));
            }
            return cells;
        }
    return {};
}

using Cells = std::vector<std::string>;
} // namespace

TEST(ResultPage, WorkedFiguresAndTheTotalsRow) {
    TestList.Clear();
    tally("单选", 4, 3, 1.5f);
    TResultTotals totals;
    std::vector<std::string> lines = ResultPageLines(totals);
    EXPECT_EQ(lines[4], "<title>测试结果</title>");
    EXPECT_EQ(lines[14], "<div align=\"center\"><span class=\"TestCaption\">本次测试结果</span></div></div>");
    EXPECT_EQ(rowCells(lines, "单选"), (Cells{"单选", "4", "3", "6.00", "4.50", "75.00%"}));
    EXPECT_EQ(rowCells(lines, "合计"), (Cells{"合计", "4", "3", "6.00", "4.50", "75.00%"}));
    EXPECT_EQ(lines.back(), "</table></body></html>");

    TestList.Clear();
    tally("A", 2, 1, 1);
    tally("B", 1, 1, 2);
    lines = ResultPageLines(totals);
    EXPECT_EQ(rowCells(lines, "A")[5], "50.00%");
    EXPECT_EQ(rowCells(lines, "B")[5], "100.00%");
    EXPECT_EQ(rowCells(lines, "合计"), (Cells{"合计", "3", "2", "4.00", "3.00", "75.00%"}));
    EXPECT_DOUBLE_EQ(totals.Rate(), 0.75);
}

TEST(ResultPage, ZeroPointsAndSinglePrecisionMarks) {
    TestList.Clear();
    tally("零分", 3, 2, 0);
    TResultTotals totals;
    std::vector<std::string> lines = ResultPageLines(totals);
    EXPECT_EQ(rowCells(lines, "合计"), (Cells{"合计", "3", "2", "0.00", "0.00", "0.00%"}));
    EXPECT_EQ(totals.Rate(), 0.0);

    TestList.Clear();
    tally("资料", 1, 1, 0.8f);
    lines = ResultPageLines(totals);
    EXPECT_EQ(rowCells(lines, "资料")[3], "0.80");
    EXPECT_EQ(rowCells(lines, "资料")[4], "0.80");
    EXPECT_EQ(FormatFixed2(0.125), "0.13");
    EXPECT_EQ(FormatFixed2(2.0 / 3 * 100), "66.67");
}

namespace {
class SaveTest : public ::testing::Test {
protected:
    explicit SaveTest(const std::string& sql = {}) : bank(sql) {
        TShiTi* a = ShiTiList.Add();
        a->Id = 11;
        a->OptionCount = 4;
        a->Correct = true;
        TShiTi* b = ShiTiList.Add();
        b->Id = 12;
        b->OptionCount = 4;
        ShiTiList.Add()->Id = 13; // an essay task: no options, no key, not graded
        TestList.Clear();
        tally("资料", 2, 1, 0.8f);
        TFrmShowTestResult::SetClockForTests([] { return QDateTime(QDate(2026, 12, 9), QTime(7, 5, 3)); });
    }
    ~SaveTest() override {
        TFrmShowTestResult::SetClockForTests({});
        ShiTiList.Clear();
    }
    int rows(const std::string& sql) { return DataModule1->ADOQuery1.OpenWith({sql}).RecordCount(); }

    MessageBoxRecorder boxes;
    OpenBank bank;
};

class NoTestTableSaveTest : public SaveTest {
protected:
    NoTestTableSaveTest() : SaveTest("DROP TABLE 测试结果;") {}
};

class FailingSaveTest : public SaveTest {
protected:
    FailingSaveTest() : SaveTest("DROP TABLE 测试题目;") {}
};
} // namespace

TEST_F(SaveTest, YesStoresTheTestAndItsQuestionsWithTheirFlags) {
    TFrmShowTestResult dlg;
    EXPECT_EQ(dlg.WebBrowser1->WrittenLines().size(), 24u + 6 + 6 + 1);
    boxes.Answer(IDYES);
    dlg.QuerySave();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "是否将本次测试结果保存到测试历史中？(Y/N)");
    EXPECT_EQ(boxes.shown[0].caption, "保存测试历史");
    EXPECT_EQ(boxes.shown[0].flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(boxes.shown[1].text, "已经成功地保存到测试历史中！");
    EXPECT_EQ(boxes.shown[1].flags, MB_ICONINFORMATION);

    AdoQuery& q = DataModule1->ADOQuery1.OpenWith({"SELECT * FROM 测试结果"});
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("试题数").AsInteger(), 2);
    EXPECT_EQ(q.FieldByName("答对").AsInteger(), 1);
    EXPECT_EQ(q.FieldByName("总分").AsString(), "1.60000002384186");
    EXPECT_EQ(q.FieldByName("得分").AsString(), "0.800000011920929");
    EXPECT_EQ(q.FieldByName("正确率").AsString(), "0.5");
    EXPECT_EQ(q.FieldByName("测试时间").AsString(), "2026-12-09 07:05:03");
    // Found again by its time with a date literal.
    EXPECT_EQ(rows("SELECT 编号 FROM 测试结果 WHERE 测试时间=\n#12/9/2026\n 7:5:3\n#"), 1);
    EXPECT_EQ(rows("SELECT * FROM 测试题目 WHERE 小题号=11 AND 回答正确=-1"), 1);
    EXPECT_EQ(rows("SELECT * FROM 测试题目 WHERE 小题号=12 AND 回答正确=0"), 1);
    EXPECT_EQ(rows("SELECT * FROM 测试题目 WHERE 小题号=13"), 0);
}

TEST_F(SaveTest, TwoSavesInOneSecondKeepTheirQuestionsApart) {
    TFrmShowTestResult dlg;
    boxes.Answer(IDYES);
    dlg.QuerySave();
    ShiTiList[0]->Id = 21;
    ShiTiList[1]->Id = 22;
    boxes.Answer(IDYES);
    dlg.QuerySave();
    AdoQuery& q = DataModule1->ADOQuery1.OpenWith({"SELECT * FROM 测试题目 WHERE 测试编号=2"});
    ASSERT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(q.FieldByName("小题号").AsInteger(), 21);
    EXPECT_EQ(rows("SELECT * FROM 测试题目 WHERE 测试编号=1 AND 小题号 IN(11,12)"), 2);
}

TEST_F(SaveTest, NoStoresNothingAndClosingAlwaysAsks) {
    {
        TFrmShowTestResult dlg;
        boxes.Answer(IDNO);
        dlg.BitBtn1->click(); // closing asks
    }
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(rows("SELECT * FROM 测试结果"), 0);
}

TEST_F(FailingSaveTest, AFailingQuestionInsertLeavesNothingOfTheTest) {
    TFrmShowTestResult dlg;
    boxes.Answer(IDYES);
    dlg.QuerySave();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, "保存测试题目到测试历史中出错，请重新操作！");
    EXPECT_EQ(boxes.shown[1].caption, "保存失败");
    EXPECT_EQ(boxes.shown[1].flags, MB_ICONWARNING);
    EXPECT_EQ(rows("SELECT * FROM 测试结果"), 0);
    EXPECT_FALSE(DataModule1->ADOConnection1.InTransaction());
}

TEST_F(NoTestTableSaveTest, AFailingTestInsertIsReportedAndStoresNothing) {
    TFrmShowTestResult dlg;
    boxes.Answer(IDYES);
    dlg.QuerySave();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, "保存测试结果到测试历史中出错，请重新操作！");
    EXPECT_EQ(boxes.shown[1].flags, MB_ICONWARNING);
    EXPECT_EQ(rows("SELECT * FROM 测试题目"), 0);
    EXPECT_FALSE(DataModule1->ADOConnection1.InTransaction());
}

TEST_F(SaveTest, ACommaLocaleStoresTheSameNumbersAndShowsItsOwn) {
    CommaLocale comma;
    ASSERT_TRUE(comma.Ok()) << "de_DE.UTF-8 is not installed (build.sh installs locales-all)";
    TestList.Clear();
    tally("资料", 2, 1, 2.25f);
    TFrmShowTestResult dlg;
    boxes.Answer(IDYES);
    dlg.QuerySave();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, "已经成功地保存到测试历史中！");
    AdoQuery& q = DataModule1->ADOQuery1.OpenWith({"SELECT * FROM 测试结果"});
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_DOUBLE_EQ(q.FieldByName("总分").AsFloat(), 4.5);
    EXPECT_DOUBLE_EQ(q.FieldByName("得分").AsFloat(), 2.25);
    // What the user reads follows the system's format.
    EXPECT_EQ(FormatFixed2(4.5), "4,50");
}

TEST_F(SaveTest, TheDialogClosesWhateverSavingThrows) {
    TFrmShowTestResult dlg;
    dlg.show();
    std::vector<QString> texts;
    const MessageBoxHandler previous = SetMessageBoxHandler([&](const QString& text, const QString&, int) {
        texts.push_back(text);
        if (text == "已经成功地保存到测试历史中！") throw std::runtime_error("消息框失败");
        return IDYES;
    });
    dlg.BitBtn1->click();
    SetMessageBoxHandler(previous);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.ModalResult, mrClose);
    ASSERT_EQ(texts.size(), 3u); // the question, the success, and the error handler's report
    EXPECT_EQ(texts[2], "消息框失败.");
    EXPECT_FALSE(DataModule1->ADOConnection1.InTransaction());
}
