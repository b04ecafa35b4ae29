// The timed exam in the real main window with a real page: building the paper,
// the answer sheet following the page, time-up grading, and leaving.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "exam/AnswerSheet.h"
#include "exam/JMSZ.h"
#include "exam/MLKC.h"
#include "exam/ShowTestResult.h"
#include "exam/TimedExamDialogs.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "store/DataModule.h"
#include "support/FakeExamClock.h"
#include "support/Screen.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>

namespace {
class TimedExamWindow : public MainWindowFixture {
protected:
    // A bank as the described system left it: without the timed exam's tables.
    TimedExamWindow()
        : MainWindowFixture(
              DefaultSettingsSql() + FixtureText("exam/fixtures/draw_bank.sql") +
              "DROP TABLE 测试计时;DROP TABLE 测试作答;DROP TABLE 复习卡片;DROP TABLE 复习记录;") {}

    QVariant eval(const QString& js) { return frm->WebBrowser1->Evaluate(js); }
    void clickSlot(int slot) { QTest::mouseClick(frm->NavImages[static_cast<size_t>(slot)], Qt::LeftButton); }
    // The limit dialog: its suggestion is taken as it stands.
    static void acceptLimit(int* minutes) {
        whenShown<TFrmKSSJ>([minutes](TFrmKSSJ& d) {
            *minutes = d.Minutes();
            d.BitBtn1->click();
        });
    }
    int count(const std::string& sql) { return DataModule1->ADOQuery1.OpenWith({sql}).Fields(0).AsInteger(); }

    FakeExamClock clock;
};
} // namespace

TEST_F(TimedExamWindow, AWholePaperInTreeOrderIsGradedAtTimeUpWithTheAnswersKept) {
    TFrmMain& f = Start();
    int minutes = 0;
    whenShown<TFrmJSMK>([&minutes](TFrmJSMK& d) {
        QListWidget* list = d.ListBox1;
        ASSERT_EQ(list->count(), 3); // the three top-level categories
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        EXPECT_EQ(d.Choice(), TFrmJSMK::WholeSource);
        acceptLimit(&minutes);
        d.BitBtn1->click();
    });
    clickSlot(16);
    ASSERT_NE(f.TimedExam(), nullptr);
    EXPECT_EQ(minutes, 10); // eight questions at 55 s: 7.3 minutes, up to 10
    EXPECT_EQ(eval("document.title").toString(), "源甲");
    // Tree order: section 101 before 102, each by 小题号.
    std::vector<int> ids;
    for (const TShiTi* q : ShiTiList)
        ids.push_back(q->Id);
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 3, 4, 10, 11, 12, 5}));
    EXPECT_TRUE(f.AnswerSheet1->isVisible());
    EXPECT_FALSE(f.WebBrowser2->isVisible());
    EXPECT_EQ(f.Header2->text(), "剩余 00:10:00");

    // Ticks in the page reach the sheet: 1 rightly (A), 3 wrongly (A for C), 4 both of A and C.
    clock.advance(40);
    eval("['1/0','3/0','4/0','4/2'].forEach(function(id){document.getElementById(id).click();}); 1");
    EXPECT_TRUE(
        SpinUntil([&] { return f.AnswerSheet1->CellState(4) == TAnswerSheet::Cell::Answered; }, 5000));
    EXPECT_EQ(f.AnswerSheet1->CountLabel()->text(), "已答 3 / 8");
    EXPECT_EQ(f.AnswerSheet1->CellState(2), TAnswerSheet::Cell::Open);
    EXPECT_EQ(f.AnswerSheet1->CellButton(5)->text(), "8"); // numbered as the page numbers it

    // No answer can be read while the clock runs: neither a question's 显示答案 nor 显示全部答案.
    const QString firstAnswer = "document.getElementById('Answer1').style.display";
    QTest::mouseClick(f.ToolButton1, Qt::LeftButton);
    eval("document.getElementById('ShowButton1').click(); 1");
    EXPECT_EQ(eval(firstAnswer + "+'|'+document.getElementById('ShowButton1').title").toString(),
              "none|交卷后可查看答案");
    EXPECT_EQ(f.ToolButton1->toolTip(), "交卷后可查看答案");

    // Five minutes before the end a notice that leaves the page to the user.
    clock.advance(300);
    EXPECT_TRUE(SpinUntil(
        [&] { return f.findChild<QMessageBox*>() && f.findChild<QMessageBox*>()->isVisible(); }, 2000));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(f.Header2->text(), "剩余 00:04:20");

    // Time runs out: the page is graded as 批阅试卷 grades it, and the test saved.
    whenShown<TFrmShowTestResult>([](TFrmShowTestResult& d) { d.BitBtn1->click(); });
    boxes.Answer(IDYES);
    clock.advance(300);
    EXPECT_TRUE(SpinUntil([&] { return !f.TimedExam()->Running(); }, 5000));
    // The notice went with the time (it is deleted once the event loop gets to it).
    EXPECT_TRUE(SpinUntil(
        [&] { return !f.findChild<QMessageBox*>() || !f.findChild<QMessageBox*>()->isVisible(); }, 2000));
    EXPECT_TRUE(SpinUntil(
        [&] { return !boxes.shown.empty() && boxes.shown.back().text == "已经成功地保存到测试历史中！"; },
        5000));
    ASSERT_GE(TestList.Count(), 2);
    EXPECT_EQ(TestList[0]->RightCount, 1); // 单选 1, 2, 3: only 1
    EXPECT_EQ(TestList[1]->RightCount, 1); // 多选 4
    EXPECT_EQ(f.Header2->text(), "时间到");
    EXPECT_EQ(f.AnswerSheet1->CellState(1), TAnswerSheet::Cell::Right);
    EXPECT_EQ(f.AnswerSheet1->CellState(3), TAnswerSheet::Cell::Wrong);
    EXPECT_TRUE(SpinUntil([&] { return eval("document.getElementById('2/0').disabled").toBool(); }, 5000));
    // Handed in: the answers can be read.
    eval("document.getElementById('ShowButton1').click(); 1");
    EXPECT_EQ(eval(firstAnswer).toString(), "");
    // The notebook: 3 wrong, 2 skipped before the last answer; 10, 11, 12 and 5 never reached.
    EXPECT_EQ(DataModule1->ADOQuery1
                  .OpenWith({"SELECT group_concat(小题号) FROM (SELECT 小题号 FROM 复习卡片 ORDER BY 1)"})
                  .Fields(0)
                  .AsString(),
              "2,3");

    const std::string test = "(SELECT MAX(编号) FROM 测试结果)";
    EXPECT_EQ(
        count(
            "SELECT COUNT(*) FROM 测试计时 WHERE 是否超时=1 AND 限时秒数=600 AND 用时秒数=600 AND 测试编号=" +
            test),
        1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM 测试作答 WHERE 测试编号=" + test), 8);
    AdoQuery& q = DataModule1->ADOQuery1.OpenWith(
        {"SELECT 作答 FROM 测试作答 WHERE 测试编号=" + test + " AND 小题号 IN(1,3,4) ORDER BY 小题号"});
    ASSERT_EQ(q.RecordCount(), 3);
    EXPECT_EQ(q.Fields(0).AsString(), "A");
    q.Next();
    EXPECT_EQ(q.Fields(0).AsString(), "A");
    q.Next();
    EXPECT_EQ(q.Fields(0).AsString(), "AC");
}

TEST_F(TimedExamWindow, LeavingIsAskedAndTimeUpWaitsForTheDialogOpenThen) {
    TFrmMain& f = Start();
    int minutes = 0;
    whenShown<TFrmJSMK>([&minutes](TFrmJSMK& d) {
        whenShown<TFrmMLKC>([&minutes](TFrmMLKC& m) {
            m.CountEdits[0]->setValue(100);
            acceptLimit(&minutes);
            m.BitBtn1->click();
        });
        d.BitBtn1->click(); // 按题型抽题, the default
    });
    clickSlot(16);
    ASSERT_NE(f.TimedExam(), nullptr);
    EXPECT_EQ(eval("document.title").toString(), "模拟考场");

    // Staying: nothing changes, not even the selected slot.
    boxes.Answer(IDNO);
    clickSlot(2);
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().text, "考试尚未交卷，确定离开吗？");
    EXPECT_EQ(boxes.shown.back().caption, "计时模考");
    EXPECT_EQ(f.CurrentNavSlot, 16);
    ASSERT_NE(f.TimedExam(), nullptr);

    // The clock runs out while the score dialog is open: grading waits for it.
    bool gradedMeanwhile = true;
    whenShown<TFrmJMSZ>([&](TFrmJMSZ& d) {
        clock.advance(minutes * 60 + 1);
        QTest::qWait(600);
        gradedMeanwhile = !f.TimedExam()->Running();
        d.reject();
    });
    whenShown<TFrmShowTestResult>([](TFrmShowTestResult& d) { d.BitBtn1->click(); });
    boxes.Answer(IDNO); // not saved
    clickSlot(8);
    EXPECT_FALSE(gradedMeanwhile);
    EXPECT_TRUE(SpinUntil([&] { return f.TimedExam() && !f.TimedExam()->Running(); }, 5000));

    // A graded exam is left without a question; the column gets its browser back.
    const size_t asked = boxes.shown.size();
    whenShown<TFrmMLKC>([](TFrmMLKC& m) { m.BitBtn2->click(); });
    clickSlot(2);
    EXPECT_EQ(boxes.shown.size(), asked);
    EXPECT_EQ(f.TimedExam(), nullptr);
    EXPECT_FALSE(f.AnswerSheet1->isVisible());
    EXPECT_TRUE(f.WebBrowser2->isVisible());
    EXPECT_EQ(f.Header2->text(), "资源信息");
}

namespace {
// The first 申论 sample set under a source of its own.
class TimedEssaySet : public MainWindowFixture {
protected:
    TimedEssaySet()
        : MainWindowFixture(DefaultSettingsSql() +
                            "INSERT INTO 题目类别 VALUES(4,'申论模拟试卷',0,'0');INSERT INTO 题目类别 "
                            "VALUES(40,'申论',4,NULL);"
                            "INSERT INTO 题目类别 VALUES(401,'第一套',40,NULL);"
                            "INSERT INTO 类型说明 VALUES('申论','：按照作答要求作答。',0);" +
                            ReadFileBytes(QUILLORA_SOURCE_DIR "/data/bank/27_shenlun.sql")) {}
    FakeExamClock clock;
};

QWidget* writingWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("essay::WritingWindow") && w->isVisible()) return w;
    return nullptr;
}
} // namespace

TEST_F(TimedEssaySet, OneClockOverTheSetHandsEveryAnswerInAtZero) {
    TFrmMain& f = Start();
    int minutes = 0;
    whenShown<TFrmJSMK>([&minutes](TFrmJSMK& d) {
        QListWidget* list = d.ListBox1;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        whenShown<TFrmKSSJ>([&minutes](TFrmKSSJ& k) {
            minutes = k.Minutes();
            k.BitBtn1->click();
        });
        d.BitBtn1->click();
    });
    QTest::mouseClick(f.NavImages[16], Qt::LeftButton);
    EXPECT_EQ(minutes, 180); // five tasks
    EXPECT_EQ(f.Header2->text(), "剩余 03:00:00");

    // 作答 opens the task's window with the set's clock; the 参考要点 stay shut.
    f.WebBrowser1->Evaluate("document.getElementById('quillora-write-40101').click(); 1");
    ASSERT_TRUE(SpinUntil([] { return writingWindow() != nullptr; }, 5000));
    QWidget* window = writingWindow();
    auto* editor = window->findChild<QPlainTextEdit*>();
    ASSERT_TRUE(editor);
    bool clockShown = false;
    for (QLabel* l : window->findChildren<QLabel*>())
        clockShown = clockShown || l->text().startsWith("剩余 3:00");
    EXPECT_TRUE(clockShown);
    f.WebBrowser1->Evaluate("document.getElementById('ShowButton1').click(); 1");
    EXPECT_EQ(f.WebBrowser1->Evaluate("document.getElementById('Answer1').style.display").toString(), "none");
    QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, "设施建而不用，运营经费不足。");
    QApplication::sendEvent(editor, &key);

    // Zero: the answer is saved, judged and locked; the page's answers open.
    clock.advance(180 * 60 + 1);
    EXPECT_TRUE(SpinUntil([&] { return editor->isReadOnly(); }, 5000));
    EXPECT_EQ(f.Header2->text(), "资源信息");
    AdoQuery& q =
        DataModule1->ADOQuery1.OpenWith({"SELECT 作答, 估分 IS NOT NULL FROM 申论作答 WHERE 小题号=40101"});
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.Fields(0).AsString(), "设施建而不用，运营经费不足。");
    EXPECT_EQ(q.Fields(1).AsInteger(), 1);
    f.WebBrowser1->Evaluate("document.getElementById('ShowButton1').click(); 1");
    EXPECT_EQ(f.WebBrowser1->Evaluate("document.getElementById('Answer1').style.display").toString(), "");
    window->close();
}
