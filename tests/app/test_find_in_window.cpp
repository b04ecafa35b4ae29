// Favourites, the question search and the filter, end to end in the real main
// window: the command, its dialogs, and the page it leaves in the main browser.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "exam/SCJST.h"
#include "exam/STCZ.h"
#include "exam/STGL.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "store/DataModule.h"

#include <QTimer>

namespace {
class FindInWindowTest : public MainWindowFixture {
protected:
    FindInWindowTest()
        : MainWindowFixture(DefaultSettingsSql() + FixtureText("exam/fixtures/draw_bank.sql")) {}

    // Runs `act` on the next modal dialog of type T once it is up.
    template <class T> void whenShown(std::function<void(T&)> act, int triesLeft = 500) {
        QTimer::singleShot(20, [this, act, triesLeft] {
            if (auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget())) return act(*dlg);
            if (triesLeft > 0) return whenShown<T>(act, triesLeft - 1);
            ADD_FAILURE() << "no dialog";
        });
    }
    QString title() {
        EXPECT_TRUE(frm->WebBrowser1->WaitForLoad());
        return frm->WebBrowser1->Evaluate(QStringLiteral("document.title")).toString();
    }
    std::vector<int> shownIds() {
        std::vector<int> ids;
        for (const TShiTi* s : ShiTiList)
            ids.push_back(s->Id);
        return ids;
    }
};
} // namespace

TEST_F(FindInWindowTest, FavouritesMakeAPageOfAllOrOne) {
    TFrmMain& f = Start();
    whenShown<TFrmSCJST>([](TFrmSCJST& d) {
        EXPECT_EQ(d.RowCount(), 3); // 2 and 11
        d.BitBtn1->click();
    });
    f.ActClickExecute(f.NavImages[4]); // "收藏夹"
    EXPECT_EQ(title(), "收藏夹试题");
    EXPECT_EQ(shownIds(), std::vector<int>({2, 11}));

    whenShown<TFrmSCJST>([](TFrmSCJST& d) {
        d.StringGrid1->setCurrentCell(1, 1);
        d.StringGrid1DblClick();
    });
    f.ActSCJSTExecute();
    EXPECT_EQ(shownIds(), std::vector<int>({11}));

    // Removing both and closing: the marks are gone, the page stays.
    whenShown<TFrmSCJST>([](TFrmSCJST& d) {
        d.StringGrid1->setCurrentCell(0, 1);
        d.BitBtn2->click();
        d.BitBtn2->click();
        EXPECT_EQ(d.Cell(1, 1), "没有题目");
        d.BitBtn3->click();
    });
    f.ActSCJSTExecute();
    EXPECT_EQ(FavouriteMark(2), 0);
    EXPECT_EQ(FavouriteMark(11), 0);
    EXPECT_EQ(shownIds(), std::vector<int>({11}));
    EXPECT_TRUE(boxes.shown.empty());

    // No favourite left: only the message, no dialog.
    bool dialogShown = false;
    QTimer::singleShot(0, [&] { dialogShown = QApplication::activeModalWidget() != nullptr; });
    f.ActSCJSTExecute();
    QApplication::processEvents();
    EXPECT_FALSE(dialogShown);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "收藏夹是空的，没有可以显示的试题信息！");
    EXPECT_EQ(boxes.shown[0].caption, "收藏夹空");
    EXPECT_EQ(boxes.shown[0].flags, MB_ICONINFORMATION);
}

TEST_F(FindInWindowTest, SearchShowsTheMatchesThenThePage) {
    TFrmMain& f = Start();
    whenShown<TFrmSTCZ>([this](TFrmSTCZ& d) {
        d.LabeledEdit1->setText(QStringLiteral("单二"));
        whenShown<TFrmSCJST>([](TFrmSCJST& r) {
            EXPECT_EQ(r.windowTitle(), "试题查找");
            EXPECT_EQ(r.RowCount(), 4); // 2 under 源甲, 20 and 21 under 源乙's 言语
            r.BitBtn1->click();
        });
        d.BitBtn1->click();
    });
    f.ActClickExecute(f.NavImages[3]); // "试题查找"
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(title(), "试题查找");
    EXPECT_EQ(shownIds(), std::vector<int>({2, 20, 21}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FindInWindowTest, FilterAsksFirstThenRebuildsThePageUnderItsTitle) {
    TFrmMain& f = Start(); // start-up shows 节A: 1, 2, 3, 4, 10, 11, 12
    ASSERT_TRUE(PaperLoaded);
    const std::vector<int> before = shownIds();

    boxes.Answer(IDNO);
    f.ToolButton7Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "试题过滤会清除当前所选择的答案，是否继续？(Y/N)");
    EXPECT_EQ(boxes.shown[0].caption, "询问");
    EXPECT_EQ(boxes.shown[0].flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(shownIds(), before);

    // Everything kept: the same questions, answers cleared, the new title.
    f.WebBrowser1->Evaluate(QStringLiteral("document.getElementById('1/0').click(); 1"));
    boxes.Answer(IDYES);
    whenShown<TFrmSTGL>([](TFrmSTGL& d) { d.BitBtn1->click(); });
    f.ToolButton7Click();
    EXPECT_EQ(title(), "试题过滤");
    EXPECT_EQ(shownIds(), before);
    EXPECT_FALSE(f.WebBrowser1->Evaluate(QStringLiteral("document.getElementById('1/0').checked")).toBool());

    boxes.Answer(IDYES);
    whenShown<TFrmSTGL>([](TFrmSTGL& d) {
        d.CheckListBox1->item(2)->setCheckState(Qt::Unchecked); // 资料
        d.BitBtn1->click();
    });
    f.ToolButton7Click();
    EXPECT_EQ(title(), "试题过滤");
    EXPECT_EQ(shownIds(), std::vector<int>({1, 2, 3, 4}));
}
