// Importing as a user does: Ctrl+I or the tree's context menu, a file, the
// report, "导入"; the tree then shows the new section's page.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "exchange/ColumnsDialog.h"
#include "exchange/ImportDialog.h"
#include "platform/CommonDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidgetItem>

namespace {
class ImportWindowTest : public MainWindowFixture {
protected:
    ImportWindowTest()
        : MainWindowFixture(
              DefaultSettingsSql() +
              "INSERT INTO 题目类别 VALUES(1,'源',0,'0');INSERT INTO 题目类别 VALUES(11,'科目',1,'0');"
              "INSERT INTO 题目类别 VALUES(101,'节',11,'0');"
              "INSERT INTO 类型说明 VALUES('单项选择题','：选一项。',1);"
              "INSERT INTO 小题 VALUES(1,1,101,'单项选择题','旧题','A','',0,0);"
              "INSERT INTO 答案选项 VALUES(1,1,1,'是');INSERT INTO 答案选项 VALUES(1,1,2,'否');") {}

    template <class T> void whenShown(std::function<void(T&)> act, int triesLeft = 500) {
        QTimer::singleShot(20, [this, act, triesLeft] {
            if (auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget())) return act(*dlg);
            if (triesLeft > 0) return whenShown<T>(act, triesLeft - 1);
            ADD_FAILURE() << "no dialog";
        });
    }
};
} // namespace

TEST_F(ImportWindowTest, CtrlIImportsAFileAndOpensItsSection) {
    TFrmMain& f = Start();
    WriteFileBytes(inst.Path("新题.csv"), "分类,题干,选项A,选项B,答案\n新源/新科目/新节,新题一,甲,乙,B\n"
                                          "新源/新科目/新节,新题二,甲,乙,E\n");
    const FileDialogHandler previous = SetFileDialogHandler([&](const TFileDialog&) {
        return std::optional<QString>(QString::fromStdString(inst.Path("新题.csv")));
    });
    QString report;
    bool importEnabled = true;
    whenShown<TFrmImport>([&](TFrmImport& d) {
        QTest::mouseClick(d.BtnBrowse, Qt::LeftButton);
        report = d.MemReport->toPlainText();
        importEnabled = d.BtnImport->isEnabled();
        // A bad row holds the import until the user takes the good ones only.
        QTest::mouseClick(d.ChkGoodOnly, Qt::LeftButton, {}, QPoint(5, d.ChkGoodOnly->height() / 2));
        QTest::mouseClick(d.BtnImport, Qt::LeftButton);
    });
    QTest::keyClick(&f, Qt::Key_I, Qt::ControlModifier);
    SetFileDialogHandler(previous);

    EXPECT_TRUE(report.contains("可以导入 1 道题")) << report.toStdString();
    EXPECT_TRUE(report.contains("第 3 行：答案“E”不在选项中")) << report.toStdString();
    EXPECT_FALSE(importEnabled);
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().text, "成功导入 1 道题（0 组材料题），新建 3 个分类、0 个题型。");
    ASSERT_NE(f.TreeView1->currentItem(), nullptr);
    EXPECT_EQ(f.TreeView1->currentItem()->text(0), "新节");
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    EXPECT_TRUE(f.WebBrowser1->Evaluate("document.body.innerText").toString().contains("新题一"));
}

TEST_F(ImportWindowTest, TheTreesContextMenuOffersImportAndExportAndLeavesTheSelection) {
    TFrmMain& f = Start();
    QTreeWidgetItem* before = f.TreeView1->currentItem();
    QStringList entries;
    QTimer::singleShot(100, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : menu->actions())
                entries << a->text();
            menu->close();
        }
    });
    const QRect first = f.TreeView1->visualItemRect(f.TreeView1->topLevelItem(0));
    // The press, then the menu request the window system sends after it.
    QTest::mousePress(f.TreeView1->viewport(), Qt::RightButton, {}, first.center());
    QContextMenuEvent request(QContextMenuEvent::Mouse, first.center(),
                              f.TreeView1->viewport()->mapToGlobal(first.center()));
    QApplication::sendEvent(f.TreeView1->viewport(), &request);
    QTest::mouseRelease(f.TreeView1->viewport(), Qt::RightButton, {}, first.center());
    EXPECT_EQ(entries, (QStringList{"导入试题…", "导出本分类…"}));
    EXPECT_EQ(f.TreeView1->currentItem(), before) << "a right click is not the described click";
}

TEST_F(ImportWindowTest, ASheetOfUnknownColumnsIsReadAsTheUserSaysAndTheChoiceIsKept) {
    TFrmMain& f = Start();
    WriteFileBytes(inst.Path("班级题库.csv"), "编号,内容,甲,乙,对的\n1,天是什么颜色,蓝,红,A\n");
    const FileDialogHandler previous = SetFileDialogHandler([&](const TFileDialog&) {
        return std::optional<QString>(QString::fromStdString(inst.Path("班级题库.csv")));
    });
    // Each column's role by the keyboard: Home is 题干, each Down the next (选项A, 选项B … 选项, 答案).
    const auto choose = [](QComboBox* box, int downs) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Home);
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(box, Qt::Key_Down);
    };
    int questions = -1;
    whenShown<TFrmImport>([&](TFrmImport& d) {
        whenShown<TFrmColumns>([&](TFrmColumns& c) {
            ASSERT_EQ(c.Roles.size(), 5u);
            choose(c.Roles[1], 0);  // 内容: 题干
            choose(c.Roles[2], 1);  // 甲: 选项A
            choose(c.Roles[3], 2);  // 乙: 选项B
            choose(c.Roles[4], 10); // 对的: 答案
            QTest::mouseClick(c.findChildren<QPushButton*>().front(), Qt::LeftButton);
        });
        QTest::mouseClick(d.BtnBrowse, Qt::LeftButton);
        questions = static_cast<int>(d.BtnImport->isEnabled());
        d.reject();
    });
    QTest::keyClick(&f, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(questions, 1);

    // The same sheet again: read as chosen, without asking.
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    bool asked = false;
    QString report;
    whenShown<TFrmImport>([&](TFrmImport& d) {
        QTimer::singleShot(300, [&] {
            if (auto* c = qobject_cast<TFrmColumns*>(QApplication::activeModalWidget())) {
                asked = true;
                c->reject();
            }
        });
        QTest::mouseClick(d.BtnBrowse, Qt::LeftButton);
        report = d.MemReport->toPlainText();
        d.reject();
    });
    QTest::keyClick(&f, Qt::Key_I, Qt::ControlModifier);
    SetFileDialogHandler(previous);
    EXPECT_FALSE(asked);
    EXPECT_TRUE(report.contains("可以导入 1 道题")) << report.toStdString();
}
