// The question search: subjects to categories to questions, the text taken as
// a value, and the dialog's four messages.
#include "exam/SCJST.h"
#include "exam/STCZ.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "store/DataModule.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
std::string searchBank() {
    return FixtureText("exam/fixtures/search_bank.sql");
}

// The 小题号 of the rows ADOQuery2 is open on.
std::vector<int> matches() {
    std::vector<int> ids;
    for (AdoQuery& q = DataModule1->ADOQuery2; !q.Eof(); q.Next())
        ids.push_back(q.FieldByName("小题号").AsInteger());
    return ids;
}

std::vector<int> search(const std::vector<std::string>& subjects, const std::string& text) {
    TObjectList<TSearchBH> scope;
    const TSearchResult r = SearchQuestions(subjects, text, scope);
    return r == TSearchResult::Found ? matches() : std::vector<int>{};
}

using Ids = std::vector<int>;
} // namespace

TEST(Search, TheTextIsAValueQuotesPercentAndUnderscoreMatchThemselves) {
    OpenBank bank(searchBank());
    const std::vector<std::string> all{"言语", "数量"};
    EXPECT_EQ(search(all, "100%"), Ids({1, 7})); // not 1000
    EXPECT_EQ(search(all, "a_b"), Ids({3}));     // not axb
    EXPECT_EQ(search(all, "'好'"), Ids({5}));
    EXPECT_EQ(search(all, "'"), Ids({5}));
    EXPECT_EQ(search(all, "C:\\temp"), Ids({6})); // the escape character itself
    EXPECT_EQ(search(all, "%"), Ids({1, 7}));
    EXPECT_EQ(search(all, "_"), Ids({3}));
    EXPECT_EQ(search(all, "<p>"), Ids({1})); // text inside tags matches too
    EXPECT_EQ(search(all, "'); DROP TABLE 小题; --"), Ids());
    EXPECT_EQ(
        DataModule1->ADOQuery1.OpenWith({"SELECT COUNT(*) AS n FROM 小题"}).FieldByName("n").AsInteger(), 7);
}

TEST(Search, SubjectsReachEverySourceAndAnEmptyTextListsAll) {
    OpenBank bank(searchBank());
    TObjectList<TSearchBH> scope;
    ASSERT_EQ(SearchQuestions({"言语"}, "", scope), TSearchResult::Found);
    EXPECT_EQ(matches(), Ids({1, 2, 3, 4, 5})); // 节A under 源甲 and 节C under 源乙
    ASSERT_EQ(scope.Count(), 2);                // ends holding the question categories
    EXPECT_EQ(scope[0]->Id, 101);
    EXPECT_EQ(scope[1]->Id, 201);

    EXPECT_EQ(search({"数量"}, ""), Ids({6, 7}));
    EXPECT_EQ(SearchQuestions({"常识"}, "", scope), TSearchResult::NoCategories);
    EXPECT_EQ(SearchQuestions({"无此科目"}, "", scope), TSearchResult::NoSubjects);
    EXPECT_EQ(SearchQuestions({"言语"}, "不存在的文字", scope), TSearchResult::NoQuestions);
    EXPECT_EQ(SearchQuestions({}, "", scope), TSearchResult::NoSubjects);
}

TEST(Search, CategoryNumbersTravelAsSixteenBitValues) {
    // 65637 = 65536 + 101: the search lands on category 101.
    OpenBank bank(searchBank() + "INSERT INTO 题目类别 VALUES(9,'源丙',0,'0');"
                                 "INSERT INTO 题目类别 VALUES(91,'政治',9,NULL);"
                                 "INSERT INTO 题目类别 VALUES(65637,'节E',91,NULL);"
                                 "INSERT INTO 小题 VALUES(8,8,65637,'单选','节E的题','A','',0,0);");
    EXPECT_EQ(search({"政治"}, ""), Ids({1, 2, 3}));
}

namespace {
class SearchDialogTest : public ::testing::Test {
protected:
    SearchDialogTest() : bank(searchBank()) {}
    MessageBoxRecorder boxes;
    OpenBank bank;

    // Runs `act` on the result dialog once it is up.
    void whenResultShown(std::function<void(TFrmSCJST&)> act, int triesLeft = 200) {
        QTimer::singleShot(10, [this, act, triesLeft] {
            if (auto* dlg = qobject_cast<TFrmSCJST*>(QApplication::activeModalWidget())) return act(*dlg);
            if (triesLeft > 0) return whenResultShown(act, triesLeft - 1);
            ADD_FAILURE() << "no result dialog";
        });
    }
};
} // namespace

TEST_F(SearchDialogTest, ListsTheDistinctSubjectsAllChecked) {
    TFrmSTCZ dlg;
    EXPECT_EQ(dlg.windowTitle(), "试题查找");
    EXPECT_EQ(dlg.PageControl1->currentIndex(), 0);
    EXPECT_EQ(dlg.PageControl1->tabText(1), "查找范围");
    ASSERT_EQ(dlg.CheckListBox1->count(), 3);
    EXPECT_EQ(dlg.CheckListBox1->item(0)->text(), "言语");
    EXPECT_EQ(dlg.CheckListBox1->item(2)->text(), "常识");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(dlg.CheckListBox1->item(i)->checkState(), Qt::Checked);
}

TEST_F(SearchDialogTest, EachMessageKeepsTheDialogOpenWithItsEntries) {
    TFrmSTCZ dlg;
    dlg.LabeledEdit1->setText(QStringLiteral("不存在的文字"));
    dlg.SetAllChecked(false);
    dlg.BitBtn1->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "至少选择一个试题科目！");
    EXPECT_EQ(boxes.shown[0].caption, "提示");
    EXPECT_EQ(boxes.shown[0].flags, MB_ICONWARNING);
    EXPECT_EQ(dlg.ModalResult, mrNone);

    dlg.CheckListBox1->item(2)->setCheckState(Qt::Checked); // 常识: no question categories
    dlg.BitBtn1->click();
    EXPECT_EQ(boxes.shown.back().text, "没有相应的试题类别！");
    EXPECT_EQ(dlg.ModalResult, mrNone);

    dlg.SetAllChecked(true);
    dlg.BitBtn1->click();
    EXPECT_EQ(boxes.shown.back().text, "没有相应的小题！");
    EXPECT_EQ(boxes.shown.back().flags, MB_ICONWARNING);
    EXPECT_EQ(dlg.ModalResult, mrNone);
    EXPECT_EQ(dlg.LabeledEdit1->text(), "不存在的文字");
    EXPECT_EQ(boxes.shown.size(), 3u);
}

TEST_F(SearchDialogTest, ADatabaseErrorIsReportedAndTheDialogStaysOpen) {
    TFrmSTCZ dlg;
    DataModule1->ADOQuery1.ExecWith({"ALTER TABLE 小题 RENAME TO 旧小题"});
    dlg.BitBtn1->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].flags, MB_ICONERROR);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("小题"))) << boxes.shown[0].text.toStdString();
    EXPECT_EQ(dlg.ModalResult, mrNone);
}

TEST_F(SearchDialogTest, MatchesAreListedInTheFavouritesDialogWithoutItsRemoveButton) {
    TFrmSTCZ dlg;
    std::vector<std::string> shownTitles;
    dlg.ShowPaper = [&](const char* title) { shownTitles.emplace_back(title); };
    dlg.LabeledEdit1->setText(QStringLiteral("100%"));
    XiaoTiList.Clear();
    whenResultShown([](TFrmSCJST& r) {
        EXPECT_EQ(r.windowTitle(), "试题查找");
        EXPECT_TRUE(r.BitBtn2->isHidden());
        EXPECT_EQ(r.RowCount(), 3);
        EXPECT_EQ(r.Cell(1, 1), "<p>增长了100%</p>");
        EXPECT_EQ(r.Cell(2, 2), "判断");
        // Esc removes nothing here and leaves the list open.
        r.StringGrid1->setCurrentCell(0, 0);
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&r, &esc);
        EXPECT_TRUE(r.isVisible());
        EXPECT_EQ(r.RowCount(), 3);
        r.StringGrid1->setCurrentCell(1, 0);
        r.StringGrid1DblClick();
    });
    dlg.show();
    dlg.BitBtn1->click();
    EXPECT_EQ(dlg.ModalResult, mrOk);
    EXPECT_EQ(shownTitles, std::vector<std::string>{"试题查找"});
    ASSERT_EQ(XiaoTiList.Count(), 1);
    EXPECT_EQ(XiaoTiList[0]->Id, 7);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SearchDialogTest, ClosingTheResultListShowsNoPageAndEndsTheSearch) {
    TFrmSTCZ dlg;
    int pages = 0;
    dlg.ShowPaper = [&](const char*) { ++pages; };
    whenResultShown([](TFrmSCJST& r) { r.BitBtn3->click(); });
    dlg.show();
    dlg.BitBtn1->click(); // empty text: every question of the checked subjects
    EXPECT_EQ(dlg.ModalResult, mrOk);
    EXPECT_EQ(pages, 0);
}
