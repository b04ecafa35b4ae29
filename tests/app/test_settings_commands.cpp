// The settings, backup and restore commands of the main window, and a restore
// that the running window shows at once.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "exam/JMSZ.h"
#include "render/Global.h"
#include "settings/UISet.h"
#include "store/DBBackup.h"
#include "store/DBRestore.h"

#include <QTest>
#include <QTimer>

namespace {
std::string categories(const char* prefix) {
    const std::string p = prefix;
    return "INSERT INTO 题目类别 VALUES(1,'" + p + "库',0,'0');INSERT INTO 题目类别 VALUES(11,'" + p +
           "科目',1,NULL);INSERT INTO 题目类别 VALUES(101,'" + p +
           "节',11,NULL);"
           "INSERT INTO 小题 VALUES(1,1,101,'单项选择题','" +
           p +
           "题','A','',0,0);"
           "INSERT INTO 答案选项 VALUES(1,1,1,'是');INSERT INTO 答案选项 VALUES(1,1,2,'否');";
}

class SettingsCommandsTest : public MainWindowFixture {
protected:
    SettingsCommandsTest() : MainWindowFixture(DefaultSettingsSql() + categories("甲")) {}

    template <class T> void whenShown(std::function<void(T&)> act, int triesLeft = 500) {
        QTimer::singleShot(20, [this, act, triesLeft] {
            auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget());
            if (dlg) return act(*dlg);
            if (triesLeft > 0) return whenShown<T>(act, triesLeft - 1);
            ADD_FAILURE() << "no dialog";
        });
    }
    QString pageTitle() {
        EXPECT_TRUE(frm->WebBrowser1->WaitForLoad());
        return frm->WebBrowser1->Evaluate(QStringLiteral("document.title")).toString();
    }
};
} // namespace

TEST_F(SettingsCommandsTest, SlotsAndTheToolButtonOpenTheirDialogs) {
    TFrmMain& f = Start();
    ASSERT_TRUE(PaperLoaded);
    f.WebBrowser1->Evaluate(QStringLiteral("document.getElementById('1/0').click(); 1"));
    int opened = 0;
    whenShown<TFrmDBBackup>([&](TFrmDBBackup& d) {
        ++opened;
        d.BitBtn3->click();
    });
    f.ActClickExecute(f.NavImages[6]);
    whenShown<TFrmDBRestore>([&](TFrmDBRestore& d) {
        ++opened;
        d.BitBtn3->click();
    });
    f.ActClickExecute(f.NavImages[7]);
    whenShown<TFrmJMSZ>([&](TFrmJMSZ& d) {
        ++opened;
        d.BitBtn2->click();
    });
    f.ActClickExecute(f.NavImages[8]);
    whenShown<TFrmUISet>([&](TFrmUISet& d) {
        ++opened;
        QTest::mouseClick(d.BitBtn3, Qt::LeftButton);
    });
    QTest::mouseClick(f.ToolButton4, Qt::LeftButton);
    EXPECT_EQ(opened, 4);
    EXPECT_TRUE(f.WebBrowser1->Evaluate(QStringLiteral("document.getElementById('1/0').checked")).toBool())
        << "cancelled: the page is not reloaded";
    EXPECT_EQ(f.CurrentNavSlot, 8);
}

TEST_F(SettingsCommandsTest, TheScoreDialogsAppearanceButtonReloadsTheLoadedPaper) {
    TFrmMain& f = Start();
    ASSERT_TRUE(PaperLoaded);
    f.WebBrowser1->Navigate(QStringLiteral("about:blank"));
    whenShown<TFrmJMSZ>([this](TFrmJMSZ& d) {
        whenShown<TFrmUISet>([](TFrmUISet& u) { u.BitBtn2->click(); });
        d.BitBtn3->click();
        d.BitBtn2->click();
    });
    f.ActYHSZExecute();
    EXPECT_EQ(f.WebBrowser1->LocationURL(), QString::fromStdString(inst.Folder() + "css/Question.html"));
}

TEST_F(SettingsCommandsTest, ARestoreShowsTheRestoredBankWithoutARestart) {
    TFrmMain& f = Start();
    EXPECT_EQ(pageTitle(), "甲节");
    TestInstall backup(DefaultSettingsSql() + categories("乙") +
                       "UPDATE 系统参数 SET 参数值='备份' WHERE 参数名='软件品牌';"
                       "UPDATE 系统参数 SET 参数值='#ABCDEF' WHERE 参数名='背景色';");
    whenShown<TFrmDBRestore>([&](TFrmDBRestore& d) {
        d.LabeledEdit1->setText(QString::fromStdString(backup.Path("exam.db")));
        d.BitBtn2->click();
    });
    f.ActClickExecute(f.NavImages[7]);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "数据恢复成功!");
    EXPECT_EQ(f.TreeView1->topLevelItem(0)->text(0), "乙库");
    EXPECT_EQ(pageTitle(), "乙节");
    EXPECT_TRUE(f.windowTitle().startsWith("备份"));
    // The page shows the restored look too.
    EXPECT_EQ(
        f.WebBrowser1->Evaluate(QStringLiteral("getComputedStyle(document.body).backgroundColor")).toString(),
        "rgb(171, 205, 239)");
}
