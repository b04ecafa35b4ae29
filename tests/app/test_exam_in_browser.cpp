// A mock exam end to end in the real main window: draw it in the dialog,
// tick options in the page, grade, read the tallies and the red titles.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "exam/MLKC.h"
#include "exam/ShowTestResult.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "render/QuestionPage.h"
#include "review/NotebookDialog.h"
#include "review/ReviewCards.h"
#include "store/DataModule.h"
#include "support/Screen.h"

#include <QTest>
#include <QTimer>

namespace {
class ExamInBrowserTest : public MainWindowFixture {
protected:
    ExamInBrowserTest()
        : MainWindowFixture(DefaultSettingsSql() + FixtureText("exam/fixtures/draw_bank.sql")) {}

    QVariant eval(const QString& js) { return frm->WebBrowser1->Evaluate(js); }
};
} // namespace

TEST_F(ExamInBrowserTest, DrawTickGradeAndSeeTheTalliesAndRedTitles) {
    TFrmMain& f = Start();
    whenShown<TFrmMLKC>([](TFrmMLKC& d) {
        d.CountEdits[0]->setValue(100); // every 单选 lead: 1, 2, 3, 5, 20, 21
        d.CountEdits[1]->setValue(1);   // the one 多选: 4
        d.BitBtn1->click();
    });
    f.ActClickExecute(f.NavImages[2]); // "模拟考场"
    ASSERT_EQ(f.CurrentNavSlot, 2);
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    EXPECT_EQ(eval("document.title").toString(), "模拟考场");
    ASSERT_EQ(ShiTiList.Count(), 7);
    ASSERT_TRUE(PaperLoaded);

    // Right: 1 (A), 2 (answer "b": B), 4 (A and C). Wrong: 3 (A for C), 5 (nothing ticked), and
    // 20 and 21, which have no options to tick.
    eval("['1/0','2/1','3/0','4/0','4/2'].forEach(function(id){document.getElementById(id).click();}); 1");
    whenShown<TFrmShowTestResult>([](TFrmShowTestResult& d) {
        EXPECT_TRUE(d.WebBrowser1->WaitForLoad());
        d.BitBtn1->click();
    });
    boxes.Answer(IDYES); // keep it in the history
    f.ToolButton8Click();

    ASSERT_EQ(TestList.Count(), 3); // 单选 1,2,3 | 多选 4 | 单选 5,20,21
    EXPECT_EQ(TestList[0]->TypeName, "单选");
    EXPECT_EQ(TestList[0]->Total, 3);
    EXPECT_EQ(TestList[0]->RightCount, 2);
    EXPECT_FLOAT_EQ(TestList[0]->FullScore, 4.5f);
    EXPECT_EQ(TestList[1]->TypeName, "多选");
    EXPECT_EQ(TestList[1]->RightCount, 1);
    EXPECT_FLOAT_EQ(TestList[1]->Score, 2.0f);
    EXPECT_EQ(TestList[2]->Total, 3);
    EXPECT_EQ(TestList[2]->RightCount, 0);
    EXPECT_EQ(eval("['T1_1','T2_2','T3_3','T4_4','T5_5','T20_20','T21_21'].map(function(id){"
                   "return document.getElementById(id).style.color;}).join()")
                  .toString(),
              ",,red,,red,red,red");
    EXPECT_EQ(boxes.shown.back().text, "已经成功地保存到测试历史中！");
    EXPECT_EQ(DataModule1->ADOQuery1.OpenWith({"SELECT * FROM 测试题目 WHERE 测试编号=3"}).RecordCount(), 7);

    // Answer 3 rightly and grade again: counted right, its title stays red.
    eval("document.getElementById('3/2').click(); 1");
    whenShown<TFrmShowTestResult>([](TFrmShowTestResult& d) { d.BitBtn1->click(); });
    boxes.Answer(IDNO);
    f.ToolButton8Click();
    EXPECT_EQ(TestList[0]->RightCount, 3);
    EXPECT_EQ(eval("document.getElementById('T3_3').style.color").toString(), "red");
}

TEST_F(ExamInBrowserTest, GradingRefusesWhenTheBrowserNoLongerShowsThePaper) {
    TFrmMain& f = Start();
    XiaoTiList.Clear();
    XiaoTiList.Add()->Id = 1;
    BuildQuestionPage("x");
    ASSERT_TRUE(PaperLoaded);
    f.WebBrowser1->Navigate(inst.Path("css/gg4bk.html"));
    WriteFileBytes(inst.Path("css/gg4bk.html"), "<html><body>other</body></html>");
    f.WebBrowser1->Navigate(inst.Path("css/gg4bk.html"));
    boxes.shown.clear();
    TestList.Clear();
    f.ToolButton8Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "请先选择试卷！");
    EXPECT_EQ(TestList.Count(), 0);
}

TEST_F(ExamInBrowserTest, GradingFeedsTheNotebookOncePerPageLoad) {
    TFrmMain& f = Start();
    const double day = 20'500;
    const auto previous = review::SetNowForTests([&] { return day; });
    const auto count = [](const std::string& sql) {
        return DataModule1->ADOQuery1.OpenWith({sql}).Fields(0).AsInteger();
    };
    const auto grade = [&] {
        whenShown<TFrmShowTestResult>([](TFrmShowTestResult& d) { d.BitBtn1->click(); });
        boxes.Answer(IDNO);
        f.ToolButton8Click();
    };
    whenShown<TFrmMLKC>([](TFrmMLKC& d) {
        d.CountEdits[0]->setValue(100);
        d.BitBtn1->click();
    });
    f.ActClickExecute(f.NavImages[2]);
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());

    // 1 right without a card: nothing; 3 wrong: a new card, rated Again; 2
    // unanswered: nothing; 20 and 21 have no options: never.
    eval("['1/0','3/0'].forEach(function(id){document.getElementById(id).click();}); 1");
    grade();
    EXPECT_EQ(count("SELECT COUNT(*) FROM 复习卡片"), 1);
    EXPECT_EQ(count("SELECT 状态 FROM 复习卡片 WHERE 小题号=3"), static_cast<int>(fsrs::State::Learning));
    EXPECT_EQ(count("SELECT 评分 FROM 复习记录 WHERE 小题号=3"), 1);
    grade(); // the same page again rates nothing new
    EXPECT_EQ(count("SELECT COUNT(*) FROM 复习记录"), 1);

    // Loaded afresh and answered rightly: the card in the notebook is rated Good.
    f.WebBrowser1->Navigate(inst.Path("css/Question.html"));
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    eval("document.getElementById('3/2').click(); 1");
    grade();
    EXPECT_EQ(count("SELECT COUNT(*) FROM 复习记录 WHERE 小题号=3"), 2);
    EXPECT_EQ(count("SELECT 评分 FROM 复习记录 WHERE 小题号=3 ORDER BY 记录编号 DESC"), 3);
    EXPECT_EQ(count("SELECT 复习次数 FROM 复习卡片 WHERE 小题号=3"), 2);

    // The notebook: the card is due today; a review page of it, graded, reschedules it.
    whenShown<TFrmCTFX>([](TFrmCTFX& d) {
        EXPECT_EQ(d.Label1->text(), "今天到期 1 题，逾期 0 题，学习中 0 题，已掌握 0 题，共 1 题。");
        EXPECT_EQ(d.StringGrid1->item(0, 1)->text(), "言语"); // the subject below the source
        EXPECT_EQ(d.StringGrid2->rowCount(), 1);
        d.BitBtn1->click();
    });
    f.ActClickExecute(f.NavImages[17]);
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    EXPECT_EQ(eval("document.title").toString(), "错题复习");
    ASSERT_EQ(ShiTiList.Count(), 1);
    EXPECT_EQ(ShiTiList[0]->Id, 3);
    eval("document.getElementById('3/2').click(); 1");
    grade();
    EXPECT_EQ(count("SELECT 复习次数 FROM 复习卡片 WHERE 小题号=3"), 3);
    EXPECT_EQ(count("SELECT 状态 FROM 复习卡片 WHERE 小题号=3"), static_cast<int>(fsrs::State::Review));

    // Removed from the notebook: the card goes, its ratings stay.
    whenShown<TFrmCTFX>([this](TFrmCTFX& d) {
        boxes.Answer(IDYES);
        d.BitBtn2->click();
        EXPECT_EQ(d.StringGrid2->rowCount(), 0);
        d.BitBtn3->click();
    });
    f.ActClickExecute(f.NavImages[17]);
    EXPECT_EQ(count("SELECT COUNT(*) FROM 复习卡片"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM 复习记录"), 3);
    review::SetNowForTests(previous);
}

TEST_F(ExamInBrowserTest, ANotebookThatCannotBeWrittenIsToldOnceAndGradingGoesOn) {
    TFrmMain& f = Start();
    // A table of that name laid out by someone else: every card write fails.
    DataModule1->ADOQuery1.ExecWith({"DROP TABLE 复习记录"});
    DataModule1->ADOQuery1.ExecWith({"CREATE TABLE 复习记录 (别的 TEXT)"});
    whenShown<TFrmMLKC>([](TFrmMLKC& d) {
        d.CountEdits[0]->setValue(100);
        d.BitBtn1->click();
    });
    f.ActClickExecute(f.NavImages[2]);
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    for (int round = 0; round < 2; ++round) {
        f.WebBrowser1->Navigate(inst.Path("css/Question.html"));
        ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
        eval("document.getElementById('3/0').click(); 1");
        whenShown<TFrmShowTestResult>([](TFrmShowTestResult& d) { d.BitBtn1->click(); });
        boxes.Answer(IDYES);
        f.ToolButton8Click();
        EXPECT_EQ(TestList[0]->Total, 6); // 单选 1, 2, 3, 5, 20, 21
    }
    int told = 0, saved = 0;
    for (const auto& b : boxes.shown) {
        told += b.caption == "错题复习";
        saved += b.text == "已经成功地保存到测试历史中！";
    }
    EXPECT_EQ(told, 1);
    EXPECT_EQ(saved, 2); // the history is kept as ever
    EXPECT_EQ(DataModule1->ADOQuery1.OpenWith({"SELECT COUNT(*) FROM 复习卡片"}).Fields(0).AsInteger(),
              0); // undone with the rest
}

TEST_F(ExamInBrowserTest, PractiseModeJudgesASectionAtOnceAndCountsEachQuestionOnce) {
    TFrmMain& f = Start(); // 节A: 1, 2, 3, 4, 10, 11, 12
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    const auto shown = [&](int n) {
        return eval(QStringLiteral("document.getElementById('Answer%1').style.display").arg(n)).toString();
    };
    const auto practised = [] {
        return DataModule1->ADOQuery1.OpenWith({"SELECT group_concat(小题号||':'||答对) FROM 练习记录"})
            .Fields(0)
            .AsString();
    };

    // Off, as the described page: a tick judges nothing.
    eval("document.getElementById('3/0').click(); 1");
    QTest::qWait(300);
    EXPECT_EQ(shown(3), "none");

    // Its button goes first when the row is narrow; its key works all the same.
    f.resize(1900, 734);
    EXPECT_TRUE(SpinUntil([&] { return f.ToolButton10->isVisible(); }, 2000));
    f.resize(1300, 734);
    EXPECT_TRUE(SpinUntil([&] { return !f.ToolButton10->isVisible(); }, 2000));
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QTest::keySequence(QApplication::focusWidget() ? QApplication::focusWidget() : &f,
                       QKeySequence(Qt::CTRL | Qt::Key_L));
    EXPECT_EQ(f.ToolButton10->ImageIndex(), 1);
    EXPECT_EQ(DataModule1->ADOQuery1.OpenWith({"SELECT 参数值 FROM 系统参数 WHERE 参数名='练习模式'"})
                  .Fields(0)
                  .AsString(),
              "1");
    // A wrong tick: the title red as grading colours it, the answer shown, the card filed.
    eval("document.getElementById('1/1').click(); 1");
    EXPECT_TRUE(SpinUntil([&] { return shown(1).isEmpty(); }, 5000));
    EXPECT_EQ(eval("document.getElementById('T1_1').style.color").toString(), "red");
    // Put right: the colour goes, the question still counts once.
    eval("document.getElementById('1/0').click(); 1");
    EXPECT_TRUE(SpinUntil(
        [&] { return eval("document.getElementById('T1_1').style.color").toString().isEmpty(); }, 5000));
    // A multi-answer question waits for its 确定.
    eval("document.getElementById('4/0').click(); document.getElementById('4/2').click(); 1");
    QTest::qWait(300);
    EXPECT_EQ(shown(4), "none");
    eval("document.getElementById('quillora-confirm-4').click(); 1");
    EXPECT_TRUE(SpinUntil([&] { return shown(4).isEmpty(); }, 5000));
    EXPECT_EQ(practised(), "1:0,4:1");
    EXPECT_EQ(
        DataModule1->ADOQuery1.OpenWith({"SELECT group_concat(小题号) FROM 复习卡片"}).Fields(0).AsString(),
        "1");

    // A mock exam is never judged early.
    whenShown<TFrmMLKC>([](TFrmMLKC& d) {
        d.CountEdits[0]->setValue(100);
        d.CountEdits[1]->setValue(1);
        d.BitBtn1->click();
    });
    f.ActClickExecute(f.NavImages[2]);
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    eval("document.getElementById('1/1').click(); 1");
    QTest::qWait(300);
    EXPECT_EQ(eval("document.getElementById('T1_1').style.color").toString(), "");
    EXPECT_TRUE(eval("Array.prototype.every.call(document.querySelectorAll('span[id^=Answer]'),"
                     "function(s){ return s.style.display == 'none'; })")
                    .toBool());
    EXPECT_EQ(eval("document.getElementById('quillora-confirm-4')").isNull(), true);
    EXPECT_EQ(practised(), "1:0,4:1");
}
