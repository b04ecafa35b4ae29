// The real main window, offscreen: start-up, the top strip's widths and closing.
#include "app/FrmMain.h"
#include "browser/WebBrowser.h"
#include "platform/AppFolder.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Online.h"
#include "render/Global.h"
#include "store/EncryptionMDB.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <filesystem>
#include <gtest/gtest.h>

namespace {
const std::string kBank = DefaultSettingsSql() + "INSERT INTO 题目类别 VALUES(1,'模拟题库',0,'0');"
                                                 "INSERT INTO 题目类别 VALUES(11,'言语理解与表达',1,NULL);";

class MainWindowTest : public ::testing::Test {
protected:
    explicit MainWindowTest(const std::string& sql = kBank) : inst(sql) {
        SetAppFolder(inst.Folder());
        previousOnline = SetOnlineCheckHandler([this](const QString& url) {
            askedUrl = url;
            return online;
        });
    }
    ~MainWindowTest() override {
        SetOnlineCheckHandler(previousOnline);
        SetAppFolder({});
    }
    std::string local(const char* page) { return inst.Folder() + page; }

    MessageBoxRecorder boxes;
    TestInstall inst;
    bool online = false;
    QString askedUrl;
    std::function<bool(const QString&)> previousOnline;
};
} // namespace

TEST(TopStripWidths, NormalAndZoneModeRules) {
    EXPECT_EQ(NormalModePanel3Width(1042), 792); // banner exactly 250
    EXPECT_EQ(NormalModePanel3Width(1041), 792); // narrower: the strip keeps its twelve slots
    EXPECT_EQ(NormalModePanel3Width(800), 792);
    EXPECT_EQ(NormalModePanel3Width(1263), 1013);
    EXPECT_EQ(ZoneModePanel3Width(700), 300); // banner 400
    EXPECT_EQ(ZoneModePanel3Width(664), 264);
    EXPECT_EQ(ZoneModePanel3Width(663), 264);
    EXPECT_EQ(ZoneModePanel3Width(1263), 863);
}

TEST_F(MainWindowTest, StartsOfflineWithTheLocalPagesAndTheStoredCaption) {
    TFrmMain frm;
    frm.resize(1300, 734);
    frm.show();
    QApplication::processEvents();
    ASSERT_TRUE(frm.FormCreate());
    QApplication::processEvents();

    EXPECT_EQ(frm.windowTitle(), "启思Quillora(全国版)");
    EXPECT_TRUE(askedUrl.endsWith(":8901/qlr/article/main/qlrIndex.html")) << askedUrl.toStdString();
    EXPECT_EQ(frm.WebBrowser4->LocationURL().toStdString(), local("css/gg1bk.html"));
    EXPECT_EQ(frm.WebBrowser2->LocationURL().toStdString(), local("css/gg4bk.html"));
    EXPECT_EQ(frm.WebBrowser3->LocationURL().toStdString(), local("css/gg3bk.html"));
    EXPECT_TRUE(frm.WebBrowser1->LocationURL().isEmpty());
    EXPECT_FALSE(PaperLoaded);
    EXPECT_EQ(frm.CurrentNavSlot, 0);

    // The bank rests closed while the program runs.
    const std::string header = HeaderBlockOf(inst.Path("exam.db"));
    EXPECT_EQ(header, std::string(CloseHeaderBlock.begin(), CloseHeaderBlock.end()));
    EXPECT_FALSE(FileExists(inst.Path("temp.db")));

    // Layout: the strip panel by the normal-mode rule, the background following Panel2.
    EXPECT_EQ(frm.Panel2->width(), 1300);
    EXPECT_EQ(frm.Panel3->width(), 1050);
    EXPECT_EQ(frm.Panel4->width(), 250);
    EXPECT_EQ(frm.Image2->size(), frm.Panel2->size());
    EXPECT_FALSE(frm.Image2->pixmap().isNull());
    EXPECT_EQ(frm.Panel6->width(), 290);
    EXPECT_EQ(frm.Panel8->width(), 192);
    EXPECT_EQ(frm.Header1->text(), "试题目录");
    EXPECT_FALSE(frm.Panel9->isVisible());
    EXPECT_TRUE(boxes.shown.empty());

    frm.resize(900, 734);
    QApplication::processEvents();
    EXPECT_EQ(frm.Image2->size(), frm.Panel2->size());
    frm.hide();
}

TEST_F(MainWindowTest, AMissingPicturesFolderIsReportedOnceAtStartUp) {
    std::filesystem::remove_all(inst.Path("images"));
    TFrmMain frm;
    ASSERT_TRUE(frm.FormCreate());
    QApplication::processEvents();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains(QString::fromStdString(inst.Path("images"))));
    EXPECT_EQ(boxes.shown[0].flags, MB_ICONWARNING);
}

TEST_F(MainWindowTest, StartsOnlineWithThePortalPages) {
    online = true;
    TFrmMain frm;
    ASSERT_TRUE(frm.FormCreate());
    EXPECT_EQ(frm.WebBrowser2->LocationURL(), "http://127.0.0.1:8901/qlr/r.html");
    EXPECT_EQ(frm.WebBrowser3->LocationURL(), "http://127.0.0.1:8901/qlr/a3.html");
    EXPECT_EQ(frm.WebBrowser4->LocationURL(), "http://127.0.0.1:8901/qlr/a1.html");
}

TEST_F(MainWindowTest, CloseAsksAndOnlyYesRemovesTheQuestionPage) {
    TFrmMain frm;
    ASSERT_TRUE(frm.FormCreate());
    frm.show();
    WriteFileBytes(local("css/Question.html"), "<html></html>");

    boxes.Answer(IDNO);
    EXPECT_FALSE(frm.close());
    EXPECT_TRUE(frm.isVisible());
    EXPECT_TRUE(FileExists(local("css/Question.html")));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "是否要退出系统？(Y/N)");
    EXPECT_EQ(boxes.shown[0].caption, "询问");
    EXPECT_EQ(boxes.shown[0].flags, MB_YESNO | MB_ICONQUESTION);

    boxes.Answer(IDYES);
    EXPECT_TRUE(frm.close());
    EXPECT_FALSE(FileExists(local("css/Question.html")));

    // A page that is already gone is no error.
    bool canClose = false;
    boxes.Answer(IDYES);
    frm.FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
}

namespace {
class BrokenBankTest : public MainWindowTest {
protected:
    BrokenBankTest() : MainWindowTest("DROP TABLE 系统参数;") {}
};
} // namespace

TEST_F(BrokenBankTest, AnErrorAfterConnectingIsReportedAndSkipsTheRestOfStartUp) {
    TFrmMain frm;
    EXPECT_TRUE(frm.FormCreate()); // the window still opens
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.indexOf("系统参数"), -1) << boxes.shown[0].text.toStdString();
    EXPECT_TRUE(frm.WebBrowser4->LocationURL().isEmpty());
    EXPECT_TRUE(askedUrl.isEmpty());
}

TEST(MainWindowFatal, AMissingBankEndsStartUpAfterTheMessage) {
    MessageBoxRecorder boxes;
    TestInstall inst({}, false);
    SetAppFolder(inst.Folder());
    TFrmMain frm;
    EXPECT_FALSE(frm.FormCreate());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "打开数据库出现严重的错误，程序将中止！");
    EXPECT_FALSE(FileExists(inst.Path("temp.db")));
    SetAppFolder({});
}
