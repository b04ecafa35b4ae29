// The category tree and the category pages, in the real main window.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "platform/Files.h"
#include "platform/Gbk.h"
#include "render/Global.h"
#include "store/DatabaseError.h"

#include <QMouseEvent>

namespace {
const std::string kTree = DefaultSettingsSql() +
                          "INSERT INTO 题目类别 VALUES(1,'源一',0,'0');"
                          "INSERT INTO 题目类别 VALUES(11,'科目甲',1,NULL);"
                          "INSERT INTO 题目类别 VALUES(2,'源二',0,'0');"
                          "INSERT INTO 题目类别 VALUES(101,'节一',11,NULL);" // read before its sibling 102
                          "INSERT INTO 题目类别 VALUES(21,'科目甲',2,NULL);"
                          "INSERT INTO 题目类别 VALUES(102,'节二',11,NULL);"
                          "INSERT INTO 题目类别 VALUES(12,'科目乙',1,NULL);"
                          "INSERT INTO 题目类别 VALUES(1001,'第三层',101,NULL);"
                          "INSERT INTO 题目类别 VALUES(999,'孤儿',555,NULL);" // its parent does not exist
                          "INSERT INTO 题目类别 VALUES(201,'空节',21,NULL);"
                          "INSERT INTO 小题 VALUES(5,5,101,'单项选择题','题五','A','',0,0);"
                          "INSERT INTO 小题 VALUES(3,3,101,'单项选择题','题三','B','',0,0);"
                          "INSERT INTO 小题 VALUES(4,4,102,'单项选择题','其他','B','',0,0);";

QStringList outline(const QTreeWidget* tree) {
    QStringList out;
    std::function<void(const QTreeWidgetItem*, int)> walk = [&](const QTreeWidgetItem* item, int depth) {
        out << QString(depth * 2, ' ') + item->text(0);
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i), 0);
    return out;
}

class TreeTest : public MainWindowFixture {
protected:
    TreeTest() : MainWindowFixture(kTree) {}
};
} // namespace

TEST_F(TreeTest, BuildsInReadOrderAndOpensTheThirdNodesPageAtStart) {
    TFrmMain& f = Start();
    EXPECT_EQ(outline(f.TreeView1), QStringList({"源一", "  科目甲", "    节一", "      第三层", "    节二",
                                                 "  科目乙", "源二", "  科目甲", "    空节"}));
    EXPECT_EQ(f.RootNodeInfos.Count(), 2);
    EXPECT_EQ(f.ChildNodeInfos.Count(), 8); // the orphan is read but never shown
    EXPECT_EQ(f.TreeView1->Tag, 0);
    // Start-up selected node 2 (节一) and showed its page: its questions in ascending order.
    EXPECT_EQ(f.TreeView1->currentItem()->text(0), "节一");
    ASSERT_EQ(XiaoTiList.Count(), 2);
    EXPECT_EQ(XiaoTiList[0]->Id, 3);
    EXPECT_EQ(XiaoTiList[1]->Id, 5);
    EXPECT_EQ(f.WebBrowser1->LocationURL().toStdString(), inst.Path("css/Question.html"));
    EXPECT_NE(GbkToUtf8(ReadFileBytes(inst.Path("css/Question.html"))).find("题五"), std::string::npos);
    EXPECT_TRUE(PaperLoaded);
}

TEST_F(TreeTest, OnlyLevelTwoNodesOpenAPageAndClicksComeFromTheMouse) {
    TFrmMain& f = Start();
    f.WebBrowser1->Navigate(QStringLiteral("about:blank"));
    QTreeWidgetItem* source = f.NodeAt(0);
    QTreeWidgetItem* subject = f.NodeAt(1);
    QTreeWidgetItem* deep = f.NodeAt(3);
    for (QTreeWidgetItem* node : {source, subject, deep}) {
        f.TreeView1->setCurrentItem(node);
        f.TreeView1Click();
        EXPECT_EQ(f.WebBrowser1->LocationURL(), "about:blank") << node->text(0).toStdString();
    }
    // A real click on 节二 selects it and opens its page.
    QTreeWidgetItem* section2 = f.NodeAt(4);
    f.TreeView1->scrollToItem(section2);
    const QPoint at = f.TreeView1->visualItemRect(section2).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, f.TreeView1->viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, f.TreeView1->viewport()->mapToGlobal(at),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(f.TreeView1->viewport(), &press);
    QApplication::sendEvent(f.TreeView1->viewport(), &release);
    EXPECT_EQ(f.TreeView1->currentItem(), section2);
    EXPECT_EQ(f.WebBrowser1->LocationURL().toStdString(), inst.Path("css/Question.html"));
    ASSERT_EQ(XiaoTiList.Count(), 1);
    EXPECT_EQ(XiaoTiList[0]->Id, 4);
}

TEST_F(TreeTest, ASectionWithoutQuestionsIsTheDatabasesErrorAndResetsTheToggle) {
    TFrmMain& f = Start();
    f.ToolButton1->Tag = 1;
    f.ToolButton1->SetImageIndex(1);
    f.WebBrowser1->Navigate(QStringLiteral("about:blank"));
    QTreeWidgetItem* empty = f.NodeAt(8);
    ASSERT_EQ(empty->text(0), "空节");
    f.TreeView1->setCurrentItem(empty);
    EXPECT_THROW(f.TreeView1Click(), EDatabaseError);
    EXPECT_EQ(XiaoTiList.Count(), 0);
    EXPECT_EQ(f.ToolButton1->Tag, 0);
    EXPECT_EQ(f.ToolButton1->ImageIndex(), 0);
    EXPECT_EQ(f.WebBrowser1->LocationURL(), "about:blank");
}

namespace {
class EmptyTreeTest : public MainWindowFixture {
protected:
    EmptyTreeTest() : MainWindowFixture(DefaultSettingsSql()) {}
};

// Duplicate ids: a record that names itself as parent while a root has its id.
class CycleTreeTest : public MainWindowFixture {
protected:
    CycleTreeTest()
        : MainWindowFixture(DefaultSettingsSql() +
                            "DROP TABLE 题目类别;"
                            "CREATE TABLE 题目类别(编号 INTEGER, 名称 TEXT, 父级编号 INTEGER, 属性 TEXT);"
                            "INSERT INTO 题目类别 VALUES(3,'源三',0,'0');"
                            "INSERT INTO 题目类别 VALUES(3,'自己的祖先',3,NULL);"
                            "INSERT INTO 题目类别 VALUES(31,'科目',3,NULL);"
                            "INSERT INTO 题目类别 VALUES(40,'甲',41,NULL);"
                            "INSERT INTO 题目类别 VALUES(41,'乙',40,NULL);") {}
};
} // namespace

TEST_F(EmptyTreeTest, GivesAnEmptyTreeAndNoPage) {
    TFrmMain& f = Start();
    EXPECT_EQ(f.TreeView1->topLevelItemCount(), 0);
    EXPECT_EQ(f.TreeView1->currentItem(), nullptr);
    EXPECT_TRUE(f.WebBrowser1->LocationURL().isEmpty());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(CycleTreeTest, ARecordThatIsItsOwnAncestorIsLeftOut) {
    TFrmMain& f = Start();
    EXPECT_EQ(outline(f.TreeView1), QStringList({"源三", "  科目"}));
}

namespace {
// A bank made before the restore check: every level holds two records of one
// id (as 64-bit ids that collide in an int do), so each node would list both
// records of the next level as children: 2^16 nodes at the bottom.
std::string doublingLevels() {
    std::string sql = DefaultSettingsSql() +
                      "DROP TABLE 题目类别;"
                      "CREATE TABLE 题目类别(编号 INTEGER, 名称 TEXT, 父级编号 INTEGER, 属性 TEXT);"
                      "INSERT INTO 小题 VALUES(1,1,3,'单项选择题','第三层的题','A','',0,0);";
    for (int level = 1; level <= 16; ++level)
        for (int copy = 0; copy < 2; ++copy)
            sql += "INSERT INTO 题目类别 VALUES(" + std::to_string(level) + ",'第" + std::to_string(level) +
                   "层'," + std::to_string(level - 1) + ",NULL);";
    return sql;
}

class RepeatedIdTreeTest : public MainWindowFixture {
protected:
    RepeatedIdTreeTest() : MainWindowFixture(doublingLevels()) {}
};
} // namespace

TEST_F(RepeatedIdTreeTest, EachIdIsShownOnceAndStartUpOpensItsPage) {
    TFrmMain& f = Start();
    QStringList chain;
    for (int level = 1; level <= 16; ++level)
        chain << QString((level - 1) * 2, ' ') + QStringLiteral("第%1层").arg(level);
    EXPECT_EQ(outline(f.TreeView1), chain);
    EXPECT_EQ(f.TreeView1->currentItem()->text(0), "第3层");
    ASSERT_EQ(XiaoTiList.Count(), 1);
    EXPECT_TRUE(boxes.shown.empty());
}
