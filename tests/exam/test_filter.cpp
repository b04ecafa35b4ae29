// The question filter: scope and types narrowing XiaoTiList in place, and the
// dialog's messages.
#include "exam/Filter.h"
#include "exam/STGL.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "store/DataModule.h"
#include "support/TestSupport.h"

#include <QStyleOptionViewItem>
#include <QTest>
#include <gtest/gtest.h>

namespace {
using Ids = std::vector<int>;

void setList(const Ids& ids) {
    XiaoTiList.Clear();
    for (int id : ids)
        XiaoTiList.Add()->Id = id;
}

Ids list() {
    Ids ids;
    for (const TXiaoTi* x : XiaoTiList)
        ids.push_back(x->Id);
    return ids;
}

std::vector<std::string> sqlLines() {
    std::vector<std::string> lines;
    const TStrings& sql = DataModule1->ADOQuery2.SQL;
    for (int i = 0; i < sql.Count(); ++i)
        lines.push_back(sql[i]);
    return lines;
}

// Clicks the tick box of a row of the type list, where a user would.
void clickTick(QListWidget* types, int row) {
    QStyleOptionViewItem opt;
    opt.initFrom(types);
    opt.rect = types->visualItemRect(types->item(row));
    opt.features = QStyleOptionViewItem::HasCheckIndicator;
    const QRect tick = types->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, types);
    QTest::mouseClick(types->viewport(), Qt::LeftButton, {}, tick.center());
}

class FilterTest : public ::testing::Test {
protected:
    FilterTest()
        : bank(FixtureText("exam/fixtures/draw_bank.sql") +
               // A type whose name holds a quote, and one question of it.
               "INSERT INTO 类型说明 VALUES('它''s','',1);INSERT INTO 小题 "
               "VALUES(40,40,101,'它''s','q','A','',0,1);") {}
    MessageBoxRecorder boxes;
    OpenBank bank;
    const std::vector<std::string> allTypes{"单选", "多选", "资料", "它's"};
};
} // namespace

TEST_F(FilterTest, TypesNarrowTheListWithTheDescribedLines) {
    setList({12, 1, 4, 10, 2});
    ASSERT_EQ(FilterQuestions(TFilterScope::All, {"单选", "多选"}), TFilterResult::Filtered);
    EXPECT_EQ(list(), Ids({1, 2, 4})); // the database's order
    EXPECT_EQ(sqlLines(), std::vector<std::string>({"SELECT 小题号 FROM 小题 WHERE 小题号 IN(", "12", ",",
                                                    "1", ",", "4", ",", "10", ",", "2", ") AND 题目类型 IN(",
                                                    "'单选'", ",", "'多选'", ")"}));

    setList({1, 40, 11});
    ASSERT_EQ(FilterQuestions(TFilterScope::All, {"它's"}), TFilterResult::Filtered);
    EXPECT_EQ(list(), Ids({40}));
}

TEST_F(FilterTest, EveryTypeAndAllQuestionsKeepsTheSameQuestions) {
    setList({1, 2, 3, 4, 5, 10, 11, 12, 40});
    ASSERT_EQ(FilterQuestions(TFilterScope::All, allTypes), TFilterResult::Filtered);
    EXPECT_EQ(list(), Ids({1, 2, 3, 4, 5, 10, 11, 12, 40}));
}

TEST_F(FilterTest, ScopesKeepFavouritesOrWronglyAnsweredQuestions) {
    setList({1, 2, 3, 4, 10, 11, 12});
    ASSERT_EQ(FilterQuestions(TFilterScope::Favourites, allTypes), TFilterResult::Filtered);
    EXPECT_EQ(list(), Ids({2, 11}));

    setList({1, 2, 3, 4});
    ASSERT_EQ(FilterQuestions(TFilterScope::AnsweredWrongly, allTypes), TFilterResult::Filtered);
    EXPECT_EQ(list(), Ids({3})); // 3 was wrong once and right later; 4 only right

    // Filters apply one after another, each on the last result.
    setList({1, 2, 3, 4, 10, 11, 12});
    ASSERT_EQ(FilterQuestions(TFilterScope::All, {"单选", "资料"}), TFilterResult::Filtered);
    ASSERT_EQ(FilterQuestions(TFilterScope::Favourites, {"资料"}), TFilterResult::Filtered);
    EXPECT_EQ(list(), Ids({11}));
}

TEST_F(FilterTest, ANarrowingThatLeavesNothingEmptiesTheList) {
    setList({1, 3});
    EXPECT_EQ(FilterQuestions(TFilterScope::Favourites, allTypes), TFilterResult::NothingInScope);
    EXPECT_TRUE(list().empty());
    EXPECT_EQ(FilterQuestions(TFilterScope::Favourites, allTypes), TFilterResult::NothingToFilter);

    setList({1, 3});
    EXPECT_EQ(FilterQuestions(TFilterScope::All, {"多选"}), TFilterResult::NothingInScope);
    EXPECT_TRUE(list().empty());
}

TEST_F(FilterTest, DialogListsTheTypesAndReportsEachRefusal) {
    TFrmSTGL dlg;
    EXPECT_EQ(dlg.windowTitle(), "试题过滤");
    EXPECT_EQ(dlg.RadioGroup1->ItemIndex(), 0);
    ASSERT_EQ(dlg.CheckListBox1->count(), 4);
    EXPECT_EQ(dlg.CheckListBox1->item(0)->text(), "单选");
    EXPECT_EQ(dlg.CheckListBox1->item(3)->checkState(), Qt::Checked);

    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    setList({1, 3});
    for (int row = 0; row < 4; ++row)
        clickTick(dlg.CheckListBox1, row);
    QTest::mouseClick(dlg.BitBtn1, Qt::LeftButton);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, " 必须至少选择一种题型!");
    EXPECT_EQ(boxes.shown[0].caption, "选择题型");
    EXPECT_EQ(boxes.shown[0].flags, MB_ICONWARNING);
    EXPECT_EQ(dlg.ModalResult, mrNone);
    EXPECT_EQ(list(), Ids({1, 3}));

    for (int row = 0; row < 3; ++row)
        clickTick(dlg.CheckListBox1, row); // all but the last type again
    dlg.RadioGroup1->SetItemIndex(1);      // a page without favourites
    dlg.BitBtn1->click();
    EXPECT_EQ(boxes.shown.back().text, "没有符合试题范围的试题!");
    EXPECT_EQ(boxes.shown.back().caption, "无试题");
    EXPECT_EQ(boxes.shown.back().flags, MB_ICONQUESTION);
    EXPECT_EQ(dlg.ModalResult, mrNone);
    dlg.BitBtn1->click();
    EXPECT_EQ(boxes.shown.back().text, "没有可以过滤的题目！");
    EXPECT_EQ(boxes.shown.back().caption, "没有题目");
    EXPECT_EQ(dlg.ModalResult, mrNone);

    setList({40, 1, 4, 10});
    dlg.RadioGroup1->SetItemIndex(0);
    QTest::mouseClick(dlg.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(dlg.ModalResult, mrOk);
    EXPECT_EQ(list(), Ids({1, 4, 10}));
    EXPECT_EQ(sqlLines().back(), ")");
    EXPECT_EQ(sqlLines()[sqlLines().size() - 2], "'资料'");
    EXPECT_EQ(boxes.shown.size(), 3u);
}
