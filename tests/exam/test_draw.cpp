// Drawing a mock exam: the dialog's controls, the draw and its messages.
#include "exam/Draw.h"
#include "exam/MLKC.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "render/QuestionPage.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <set>

namespace {
std::vector<int> ids() {
    std::vector<int> out;
    for (const TXiaoTi* x : XiaoTiList)
        out.push_back(x->Id);
    return out;
}

class DrawTest : public ::testing::Test {
protected:
    explicit DrawTest(const std::string& extra = {})
        : bank(FixtureText("exam/fixtures/draw_bank.sql") + extra) {
        XiaoTiList.Clear();
        XiaoTiList.Add()->Id = 777; // what an earlier page left
    }
    ~DrawTest() override { SetDrawSeedSource({}); }
    TDrawRequest all(std::vector<std::pair<std::string, int>> counts, int scope = 0) {
        return TDrawRequest{{"源甲", "源乙"}, {"言语", "数量", "判断"}, scope, std::move(counts)};
    }
    // The dialog as the user leaves it: every box checked, these counts.
    std::unique_ptr<TFrmMLKC> dialog(std::initializer_list<int> counts) {
        auto d = std::make_unique<TFrmMLKC>();
        size_t i = 0;
        for (int c : counts)
            d->CountEdits.at(i++)->setValue(c);
        return d;
    }
    void pressExpecting(TFrmMLKC& d, const char* text, const char* caption, int flags) {
        boxes.shown.clear();
        d.ModalResult = mrOk; // what the OK button sets before its handler
        d.BitBtn1Click();
        EXPECT_EQ(d.ModalResult, mrNone);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, text);
        EXPECT_EQ(boxes.shown[0].caption, caption);
        EXPECT_EQ(boxes.shown[0].flags, flags);
    }
    MessageBoxRecorder boxes;
    OpenBank bank;
};
} // namespace

TEST_F(DrawTest, DialogListsSourcesSubjectsAndTypesFromTheBank) {
    auto d = dialog({});
    ASSERT_EQ(d->SourceBoxes.size(), 2u);
    EXPECT_EQ(d->SourceBoxes[0]->text(), "源甲");
    EXPECT_EQ(d->SourceBoxes[1]->geometry().topLeft(), QPoint(18, 38));
    EXPECT_TRUE(d->SourceBoxes[1]->isChecked());
    ASSERT_EQ(d->SubjectBoxes.size(), 3u); // the children of category 1 only
    EXPECT_EQ(d->SubjectBoxes[2]->text(), "判断");
    ASSERT_EQ(d->CountEdits.size(), 3u);
    EXPECT_EQ(d->CountEdits[0]->geometry().topLeft(), QPoint(150, 20));
    EXPECT_EQ(d->CountEdits[1]->geometry().topLeft(), QPoint(300, 20));
    EXPECT_EQ(d->CountEdits[2]->geometry().topLeft(), QPoint(150, 50));
    EXPECT_EQ(d->CountEdits[2]->maximum(), 100);
    EXPECT_EQ(d->TypeLabels[1]->text(), "多选");
    EXPECT_EQ(d->TypeLabels[1]->geometry().right() + 1, 300 - 8);
    EXPECT_EQ(d->TypeLabels[1]->y(), 24);
    EXPECT_EQ(d->RadioGroup1->ItemIndex(), 0);
    EXPECT_EQ(d->PageControl1->currentIndex(), 0);
}

TEST_F(DrawTest, ACountAtOrAboveTheCandidatesTakesThemAllInDatabaseOrder) {
    ASSERT_EQ(DrawPaper(all({{"单选", 100}, {"多选", 0}, {"资料", 1}})), TDrawResult::Drawn);
    // Every 单选 lead of the chosen sections, then the data group with all its rows.
    EXPECT_EQ(ids(), (std::vector<int>{1, 2, 3, 5, 20, 21, 10, 11, 12}));
}

TEST_F(DrawTest, SubjectsAreMatchedByNameAcrossSources) {
    TDrawRequest r = all({{"单选", 10}});
    r.Subjects = {"言语"};
    ASSERT_EQ(DrawPaper(r), TDrawResult::Drawn);
    EXPECT_EQ(ids(), (std::vector<int>{1, 2, 3, 20, 21}));
    r.Sources = {"源乙"};
    ASSERT_EQ(DrawPaper(r), TDrawResult::Drawn);
    EXPECT_EQ(ids(), (std::vector<int>{20, 21}));
}

TEST_F(DrawTest, DrawsAreWithReplacementAndTwiceTheSameLeadIsOneGroupOnThePage) {
    SetDrawSeedSource([] { return 42u; }); // every draw from the same seed picks the same lead
    ASSERT_EQ(DrawPaper(all({{"单选", 2}})), TDrawResult::Drawn);
    ASSERT_EQ(XiaoTiList.Count(), 2);
    EXPECT_EQ(XiaoTiList[0]->Id, XiaoTiList[1]->Id);
    BuildQuestionPage("模拟考场");
    EXPECT_EQ(ShiTiList.Count(), 1);

    // Seeds that differ reach different candidates in the end.
    unsigned seed = 0;
    SetDrawSeedSource([&seed] { return seed++; });
    std::set<int> seen;
    for (int i = 0; i < 40; ++i) {
        ASSERT_EQ(DrawPaper(all({{"单选", 1}})), TDrawResult::Drawn);
        seen.insert(XiaoTiList[0]->Id);
    }
    EXPECT_GT(seen.size(), 3u);
}

TEST_F(DrawTest, ScopesKeepOnlyFavouriteOrOnceWrongLeads) {
    ASSERT_EQ(DrawPaper(all({{"单选", 9}, {"多选", 9}, {"资料", 9}}, 1)), TDrawResult::Drawn);
    EXPECT_EQ(ids(), (std::vector<int>{2})) << "11 is a favourite but not the lead of its group";
    ASSERT_EQ(DrawPaper(all({{"单选", 9}, {"多选", 9}, {"资料", 9}}, 2)), TDrawResult::Drawn);
    EXPECT_EQ(ids(), (std::vector<int>{3}))
        << "wrong once counts even after a right answer; 4 was never wrong";
}

TEST_F(DrawTest, EachMessageAndWhatItLeavesInTheList) {
    auto d = dialog({0, 0, 0});
    pressExpecting(*d, "试题数量不能全部为0！", "缺少题量", MB_ICONWARNING);
    d->CountEdits[0]->setValue(1);
    for (QCheckBox* b : d->SourceBoxes)
        b->setChecked(false);
    pressExpecting(*d, "请选择试题来源！", "没有选择试题来源", MB_ICONQUESTION);
    d->SourceBoxes[1]->setChecked(true); // 源乙 has no 数量 or 判断
    for (QCheckBox* b : d->SubjectBoxes)
        b->setChecked(b->text() != "言语");
    pressExpecting(*d, "没有符合要求的试题科目！", "没有试题科目", MB_ICONQUESTION);
    d->SourceBoxes[0]->setChecked(true);
    for (QCheckBox* b : d->SubjectBoxes)
        b->setChecked(b->text() == "判断"); // a subject without sections
    pressExpecting(*d, "没有符合要求的题目！", "没有题目", MB_ICONQUESTION);
    for (QCheckBox* b : d->SubjectBoxes)
        b->setChecked(true);
    d->SourceBoxes[0]->setChecked(false);
    d->RadioGroup1->SetItemIndex(1); // no favourite under 源乙
    pressExpecting(*d, "没有符合试题范围要求的题目！", "没有题目", MB_ICONQUESTION);
    EXPECT_EQ(ids(), std::vector<int>{777}) << "failures before the draw leave the list alone";

    // The draw itself finds nothing: the list has been emptied by then.
    d->RadioGroup1->SetItemIndex(0);
    d->CountEdits[0]->setValue(0);
    d->CountEdits[1]->setValue(3); // no 多选 under 源乙
    pressExpecting(*d, "没有符合要求的题目！", "没有题目", MB_ICONQUESTION);
    EXPECT_TRUE(ids().empty());

    d->SourceBoxes[0]->setChecked(true);
    boxes.shown.clear();
    d->ModalResult = mrOk;
    d->BitBtn1Click();
    EXPECT_EQ(d->ModalResult, mrOk);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(ids(), std::vector<int>{4});
}

namespace {
class NoSourceDrawTest : public DrawTest {
protected:
    NoSourceDrawTest() : DrawTest("UPDATE 题目类别 SET 属性='1';DELETE FROM 类型说明;") {}
};
} // namespace

TEST_F(NoSourceDrawTest, WithoutSourcesTheDialogCannotMakeAPaper) {
    auto d = dialog({});
    EXPECT_TRUE(d->SourceBoxes.empty());
    EXPECT_TRUE(d->CountEdits.empty());
    pressExpecting(*d, "缺少试题来源或者试题科目，将不能正确地生成试卷！", "缺少项目", MB_ICONWARNING);
    EXPECT_EQ(ids(), std::vector<int>{777});
}
