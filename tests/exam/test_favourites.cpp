// The favourites dialog: its grid, removing, and making a paper of all or one.
#include "exam/SCJST.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "store/DataModule.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const char* kFavourites = "INSERT INTO 小题 VALUES(7,7,101,'单选','<b>题七</b>','A','',0,1);"
                          "INSERT INTO 小题 VALUES(3,3,101,'判断','题三','A','',0,0);"
                          "INSERT INTO 小题 VALUES(9,9,101,'多选','题九','AB','',1,1);"
                          "INSERT INTO 小题 VALUES(12,12,101,'单选','题十二','B','',0,1);";

std::vector<int> xiaoTiIds() {
    std::vector<int> ids;
    for (const TXiaoTi* x : XiaoTiList)
        ids.push_back(x->Id);
    return ids;
}

void pressEscape(QWidget& w) {
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&w, &esc);
}

class FavouritesTest : public ::testing::Test {
protected:
    FavouritesTest() : bank(kFavourites) { dlg.FillData(OpenFavourites()); }
    MessageBoxRecorder boxes;
    OpenBank bank;
    TFrmSCJST dlg;
};
} // namespace

TEST_F(FavouritesTest, GridListsTheFavouritesInTableOrder) {
    EXPECT_EQ(dlg.windowTitle(), "收藏夹试题");
    EXPECT_EQ(dlg.Cell(0, 0), "序号");
    EXPECT_EQ(dlg.Cell(1, 0), "    题目内容");
    EXPECT_EQ(dlg.Cell(2, 0), "题目类型");
    ASSERT_EQ(dlg.RowCount(), 4);
    EXPECT_EQ(dlg.Cell(0, 1), "1");
    EXPECT_EQ(dlg.Cell(1, 1), "<b>题七</b>"); // tags shown as text
    EXPECT_EQ(dlg.Cell(2, 2), "多选");
    EXPECT_EQ(dlg.Cell(0, 3), "3");
    EXPECT_EQ(dlg.Cell(1, 3), "题十二");
    ASSERT_EQ(dlg.FavouriteIds.Count(), 3);
    EXPECT_EQ(dlg.FavouriteIds[1]->Id, 9);
    EXPECT_EQ(dlg.StringGrid1->verticalHeader()->defaultSectionSize(), 20);
    EXPECT_EQ(dlg.StringGrid1->selectionBehavior(), QAbstractItemView::SelectRows);
    const QFontMetrics fm(dlg.font());
    EXPECT_EQ(dlg.StringGrid1->columnWidth(0), fm.horizontalAdvance(QStringLiteral(" 100")) + 8);
    EXPECT_EQ(dlg.StringGrid1->columnWidth(2), fm.horizontalAdvance(QStringLiteral("题目类型")) + 8);
}

TEST_F(FavouritesTest, ResizingGivesTheTextColumnTheRestOfTheWidth) {
    dlg.show();
    dlg.resize(900, 500);
    QApplication::processEvents();
    const int c0 = dlg.StringGrid1->columnWidth(0), c2 = dlg.StringGrid1->columnWidth(2);
    EXPECT_EQ(dlg.StringGrid1->columnWidth(1), dlg.frameGeometry().width() - c0 - c2 - 56);
    EXPECT_GT(dlg.StringGrid1->columnWidth(1), 700);
}

TEST_F(FavouritesTest, MakePaperTakesAllAndDoubleClickTakesOne) {
    dlg.BitBtn1Click();
    EXPECT_EQ(dlg.ModalResult, mrOk);
    EXPECT_EQ(xiaoTiIds(), std::vector<int>({7, 9, 12}));

    dlg.ModalResult = mrNone;
    dlg.StringGrid1->setCurrentCell(2, 1);
    dlg.StringGrid1DblClick();
    EXPECT_EQ(dlg.ModalResult, mrOk);
    EXPECT_EQ(xiaoTiIds(), std::vector<int>({12}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FavouritesTest, EscapeRemovesLikeTheButtonAndTheLastRemovalLeavesNoQuestions) {
    dlg.StringGrid1->setCurrentCell(1, 0);
    pressEscape(dlg);
    EXPECT_EQ(FavouriteMark(9), 0);
    EXPECT_EQ(FavouriteMark(7), 1);
    ASSERT_EQ(dlg.RowCount(), 3);
    EXPECT_EQ(dlg.Cell(0, 2), "2");
    EXPECT_EQ(dlg.Cell(1, 2), "题十二"); // renumbered

    dlg.StringGrid1->setCurrentCell(0, 0);
    dlg.BitBtn2->click();
    dlg.StringGrid1->setCurrentCell(0, 0);
    dlg.BitBtn2Click();
    EXPECT_EQ(FavouriteMark(7), 0);
    EXPECT_EQ(FavouriteMark(12), 0);
    EXPECT_EQ(dlg.RowCount(), 2);
    EXPECT_EQ(dlg.Cell(0, 1), "");
    EXPECT_EQ(dlg.Cell(1, 1), "没有题目");
    EXPECT_EQ(dlg.FavouriteIds.Count(), 0);
    EXPECT_TRUE(boxes.shown.empty()); // removing asks and says nothing

    // Now nothing to make, open or remove.
    XiaoTiList.Clear();
    XiaoTiList.Add()->Id = 3;
    dlg.BitBtn1Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "现在没有试题！");
    EXPECT_EQ(boxes.shown[0].caption, "提示");
    EXPECT_EQ(boxes.shown[0].flags, MB_ICONWARNING);
    EXPECT_EQ(dlg.ModalResult, mrNone);
    dlg.StringGrid1->setCurrentCell(0, 1);
    dlg.StringGrid1DblClick();
    pressEscape(dlg);
    EXPECT_EQ(dlg.ModalResult, mrNone);
    EXPECT_EQ(xiaoTiIds(), std::vector<int>({3}));
    EXPECT_EQ(FavouriteMark(3), 0);
}

TEST(Favourites, AQuestionMarkedTwiceIsListedOnce) {
    MessageBoxRecorder boxes;
    OpenBank bank(kFavourites);
    std::string result;
    DataModule1->SCBT("3", result);
    DataModule1->SCBT("3", result);
    TFrmSCJST dlg;
    dlg.FillData(OpenFavourites());
    ASSERT_EQ(dlg.FavouriteIds.Count(), 4);
    EXPECT_EQ(dlg.FavouriteIds[0]->Id, 3);
    EXPECT_EQ(dlg.FavouriteIds[1]->Id, 7);
    EXPECT_EQ(dlg.Cell(1, 1), "题三");
    EXPECT_EQ(dlg.Cell(1, 3), "题九");
}

TEST_F(FavouritesTest, EnterOpensTheSelectedRowAndAfterARemovalTheFirstRowIsTheOneSelected) {
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    QWidget* cells = dlg.StringGrid1->viewport();
    auto rowCentre = [&](int row) {
        return dlg.StringGrid1->visualRect(dlg.StringGrid1->model()->index(row, 1)).center();
    };

    QTest::mouseClick(cells, Qt::LeftButton, {}, rowCentre(1));
    QTest::keyClick(&dlg, Qt::Key_Escape); // removes 题九, the row clicked
    EXPECT_EQ(FavouriteMark(9), 0);
    EXPECT_EQ(dlg.StringGrid1->currentRow(), 0);
    EXPECT_TRUE(dlg.StringGrid1->selectionModel()->isSelected(dlg.StringGrid1->model()->index(0, 1)))
        << "the row a second Esc removes is the one shown selected";

    QTest::mouseClick(cells, Qt::LeftButton, {}, rowCentre(1));
    QTest::keyClick(dlg.StringGrid1, Qt::Key_Return);
    EXPECT_EQ(dlg.ModalResult, mrOk);
    EXPECT_EQ(xiaoTiIds(), std::vector<int>({12})) << "Enter opens the selected row, not every row";

    // A double click below the last row opens the current row, as one on a row does.
    dlg.ModalResult = mrNone;
    XiaoTiList.Clear();
    QTest::mouseClick(cells, Qt::LeftButton, {}, rowCentre(0));
    QTest::mouseDClick(cells, Qt::LeftButton, {}, QPoint(20, cells->height() - 5));
    EXPECT_EQ(dlg.ModalResult, mrOk);
    EXPECT_EQ(xiaoTiIds(), std::vector<int>({7}));
}
