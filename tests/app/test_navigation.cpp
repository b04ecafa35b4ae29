// The navigation strip, the mode switch, the collapse button and the toggles.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "platform/MessageBox.h"
#include "render/Global.h"

namespace {
bool shows(const TImage* image, const TImageList& list, int index) {
    return image->pixmap().toImage() == list.GetBitmap(index).toImage();
}

class NavigationTest : public MainWindowFixture {
protected:
    NavigationTest() : MainWindowFixture(DefaultSettingsSql()) {}
    void SetUp() override {
        Start();
        for (int slot = 0; slot < 16; ++slot)
            frm->SlotCommands[slot] = [this, slot] { ran.push_back(slot); };
    }
    TImage* image(int slot) { return frm->NavImages[static_cast<size_t>(slot)]; }
    std::vector<int> ran;
};
} // namespace

TEST_F(NavigationTest, StripIsBuiltWithOverlappingPicturesAndSlotZeroSelected) {
    for (int slot = 0; slot < 16; ++slot) {
        ASSERT_NE(image(slot), nullptr);
        EXPECT_EQ(image(slot)->Tag, slot);
        EXPECT_EQ(image(slot)->size(), QSize(67, 75));
        EXPECT_EQ(image(slot)->x(), (slot % 12 == slot ? slot : slot - 12) * 66);
        EXPECT_EQ(image(slot)->isVisible(), slot < 12);
    }
    EXPECT_TRUE(shows(image(0), frm->ImageList3, 0));
    EXPECT_TRUE(shows(image(1), frm->ImageList1, 1));
    // The three looks of a slot differ from each other.
    EXPECT_NE(frm->ImageList1.GetBitmap(5).toImage(), frm->ImageList2.GetBitmap(5).toImage());
    EXPECT_NE(frm->ImageList1.GetBitmap(5).toImage(), frm->ImageList3.GetBitmap(5).toImage());
}

TEST_F(NavigationTest, ClickingTheCurrentSlotRunsItsCommandWithoutChangingPictures) {
    frm->ActClickExecute(image(0));
    EXPECT_EQ(ran, std::vector<int>{0});
    EXPECT_FALSE(frm->ClickPending);
    EXPECT_TRUE(shows(image(0), frm->ImageList3, 0));
}

TEST_F(NavigationTest, AfterAClickNoHoverUntilThePointerHasLeftAnImage) {
    frm->ActMouseMoveExecute(image(3));
    EXPECT_TRUE(frm->HoverShown);
    EXPECT_TRUE(shows(image(3), frm->ImageList2, 3));
    frm->ActClickExecute(image(3));
    EXPECT_EQ(frm->CurrentNavSlot, 3);
    EXPECT_TRUE(frm->ClickPending);
    EXPECT_TRUE(shows(image(3), frm->ImageList3, 3));
    EXPECT_TRUE(shows(image(0), frm->ImageList1, 0));
    frm->HoverShown = false; // a move after the click must not light it
    frm->ActMouseMoveExecute(image(3));
    EXPECT_FALSE(frm->HoverShown);
    EXPECT_TRUE(shows(image(3), frm->ImageList3, 3));
    frm->ActMouseLeaveExecute(image(3));
    EXPECT_FALSE(frm->ClickPending);
    EXPECT_TRUE(shows(image(3), frm->ImageList3, 3))
        << "leaving the selected slot keeps its selected picture";
    frm->ActMouseMoveExecute(image(4));
    EXPECT_TRUE(shows(image(4), frm->ImageList2, 4));
    frm->ActMouseLeaveExecute(image(4));
    EXPECT_TRUE(shows(image(4), frm->ImageList1, 4));
    EXPECT_EQ(ran, std::vector<int>{3});
}

TEST_F(NavigationTest, LeavingTheSelectedSlotAfterHoverRestoresItsSelectedPicture) {
    frm->ActMouseMoveExecute(image(0));
    EXPECT_TRUE(shows(image(0), frm->ImageList2, 0));
    frm->ActMouseLeaveExecute(image(0));
    EXPECT_TRUE(shows(image(0), frm->ImageList3, 0));
}

TEST_F(NavigationTest, ZoneModeSwapsTheSlotsTheLeftColumnAndTheWidths) {
    frm->CurrentNavSlot = 12;
    frm->SetMenu(false);
    QApplication::processEvents();
    for (int slot = 0; slot < 16; ++slot)
        EXPECT_EQ(image(slot)->isVisible(), slot >= 12) << slot;
    EXPECT_FALSE(frm->TreeView1->isVisible());
    EXPECT_FALSE(frm->CoolBar1->isVisible());
    EXPECT_TRUE(frm->Panel9->isVisible());
    EXPECT_TRUE(frm->Header3->isVisible());
    EXPECT_EQ(frm->Header1->text(), "照片剪裁");
    EXPECT_TRUE(shows(image(12), frm->ImageList3, 12));
    EXPECT_EQ(frm->Panel3->width(), 900); // 1300 - 400
    frm->resize(700, 734);
    QApplication::processEvents();
    EXPECT_EQ(frm->Panel3->width(), ZoneModePanel3Width(frm->Panel2->width()));

    frm->resize(1300, 734);
    frm->CurrentNavSlot = 11;
    frm->SetMenu(true);
    QApplication::processEvents();
    for (int slot = 0; slot < 16; ++slot)
        EXPECT_EQ(image(slot)->isVisible(), slot < 12) << slot;
    EXPECT_EQ(frm->Header1->text(), "试题目录");
    EXPECT_TRUE(frm->Panel6->isVisible());
    EXPECT_EQ(frm->Panel3->width(), 1050);
    EXPECT_EQ(frm->WebBrowser1->LocationURL().toStdString(), inst.Path("css/Question.html"));
}

TEST_F(NavigationTest, CollapseAndExpandRestoreAWidthSetWithTheSplitter) {
    frm->Panel6->setFixedWidth(340); // what dragging Splitter1 does
    frm->BitBtn1Click();
    QApplication::processEvents();
    EXPECT_EQ(frm->Panel6->width(), 17);
    EXPECT_EQ(frm->BitBtn1->text(), ">>");
    // The whole button shows, and nothing of the tree.
    const QRect button(frm->BitBtn1->mapTo(frm->Panel6, QPoint(0, 0)), frm->BitBtn1->size());
    EXPECT_EQ(button.width(), 17);
    EXPECT_TRUE(frm->Panel6->rect().contains(button)) << button.x() << "," << button.width();
    EXPECT_FALSE(frm->TreeView1->isVisible());
    frm->BitBtn1Click();
    EXPECT_EQ(frm->Panel6->width(), 340);
    EXPECT_EQ(frm->BitBtn1->text(), "<<");
    EXPECT_TRUE(frm->TreeView1->isVisible());
}

TEST_F(NavigationTest, FullScreenHidesTheStripAndColumnsButNotTheToolBars) {
    frm->ToolButton9Click();
    EXPECT_EQ(frm->ToolButton9->Tag, 1);
    EXPECT_EQ(frm->ToolButton9->ImageIndex(), 3);
    EXPECT_FALSE(frm->Panel1->isVisible());
    EXPECT_FALSE(frm->Panel6->isVisible());
    EXPECT_FALSE(frm->Panel8->isVisible());
    EXPECT_TRUE(frm->CoolBar1->isVisible());
    frm->ToolButton9Click();
    EXPECT_EQ(frm->ToolButton9->ImageIndex(), 2);
    EXPECT_TRUE(frm->Panel1->isVisible());
    EXPECT_TRUE(frm->Panel8->isVisible());
}

TEST_F(NavigationTest, PaperButtonsRefuseWithoutAPaper) {
    PaperLoaded = false;
    frm->ToolButton1Click();
    frm->ToolButton5Click();
    ASSERT_EQ(boxes.shown.size(), 2u);
    for (const auto& b : boxes.shown) {
        EXPECT_EQ(b.text, "请先选择试卷！");
        EXPECT_EQ(b.caption, "未选择试卷");
        EXPECT_EQ(b.flags, MB_ICONINFORMATION);
    }
    EXPECT_EQ(frm->ToolButton1->Tag, 0);
}
