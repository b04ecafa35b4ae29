// The application zone against a real portal server on a free loopback port.
#include "MainWindowFixture.h"
#include "PortalServer.h"
#include "browser/WebBrowser.h"
#include "platform/Files.h"
#include "store/DataModule.h"

#include <QCursor>
#include <QTest>
#include <QUrl>
#include <filesystem>

namespace {
// Made before the bank, whose addresses name the server's port.
struct LoopbackPortal {
    PortalServer Server{QStringLiteral(QUILLORA_SOURCE_DIR "/data/portal")};
    bool listening = Server.Listen(0);
};

// The shipped addresses, so a page missing from the sample portal shows here.
std::string shippedSettings(const QString& base) {
    return QString::fromStdString(ReadFileBytes(QUILLORA_SOURCE_DIR "/data/bank/50_settings.sql"))
        .replace(QStringLiteral("@PORTAL@"), base)
        .toStdString();
}

class ZoneTest : public LoopbackPortal, public MainWindowFixture {
protected:
    explicit ZoneTest(bool withPage = true, const std::string& extraSql = {})
        : MainWindowFixture(shippedSettings(Server.BaseUrl()) + extraSql +
                            (withPage ? FixtureText("render/fixtures/page_bank.sql") +
                                            "INSERT INTO 题目类别 VALUES(1,'源',0,'0');INSERT INTO 题目类别 "
                                            "VALUES(11,'科目',1,NULL);"
                                            "INSERT INTO 题目类别 VALUES(101,'节',11,NULL);"
                                      : std::string())) {
        std::filesystem::copy(QUILLORA_SOURCE_DIR "/data/install/css", inst.Folder() + "css",
                              std::filesystem::copy_options::recursive);
        // The fixed portal address is answered by a real connection to this server.
        SetOnlineCheckHandler([this](const QString& url) {
            asked.push_back(url);
            QUrl u(url);
            u.setHost(QStringLiteral("127.0.0.1"));
            u.setPort(Server.Port());
            return CanConnect(u.toString());
        });
        SetShellOpenHandler([this](const QString& url) { opened.push_back(url); });
        QCursor::setPos(1200, 700); // slots shown again under the pointer would light up
    }
    ~ZoneTest() override { SetShellOpenHandler({}); }

    void click(int slot) { frm->ActClickExecute(frm->NavImages[static_cast<size_t>(slot)]); }
    bool shows(int slot, const TImageList& list) {
        return frm->NavImages[static_cast<size_t>(slot)]->pixmap().toImage() ==
               list.GetBitmap(slot).toImage();
    }
    QString title(WebBrowser* b) {
        EXPECT_TRUE(b->WaitForLoad());
        return b->Evaluate(QStringLiteral("document.title")).toString();
    }
    QString url(const char* path) { return Server.BaseUrl() + QString::fromUtf8(path); }
    QString local(const char* path) {
        return QString::fromStdString(inst.Folder()) + QString::fromUtf8(path);
    }

    std::vector<QString> asked, opened;
};

class ZoneWithoutPageTest : public ZoneTest {
protected:
    ZoneWithoutPageTest() : ZoneTest(false) {}
};

class ZoneWithEmptyBannerTest : public ZoneTest {
protected:
    ZoneWithEmptyBannerTest() : ZoneTest(true, "UPDATE 系统参数 SET 参数值='' WHERE 参数名='广告位2';") {}
};

// Addresses from a bank of someone else's.
class ZoneWithForeignAddressesTest : public ZoneTest {
protected:
    ZoneWithForeignAddressesTest()
        : ZoneTest(true, "UPDATE 系统参数 SET 参数值='javascript:alert(1)' WHERE 参数名='资源信息';"
                         "UPDATE 系统参数 SET 参数值='file:///etc/passwd' WHERE 参数名='广告位3';"
                         "UPDATE 系统参数 SET 参数值='data:text/html,<b>x</b>' WHERE 参数名='广告位1';"
                         "UPDATE 系统参数 SET 参数值='qrc:/x.html' WHERE 参数名='广告位2';"
                         "UPDATE 系统参数 SET 参数值='file:///etc/hostname' WHERE 参数名='招考信息';"
                         "UPDATE 系统参数 SET 参数值='file:///etc/passwd' WHERE 参数名='考试网站';"
                         "UPDATE 系统参数 SET 参数值='smb://host/share' WHERE 参数名='讨论区';"
                         "UPDATE 系统参数 SET 参数值='http:///jobs.html' WHERE 参数名='职位查询';") {}
};
} // namespace

TEST_F(ZoneTest, EnteringOfflineShowsLocalPagesAndSlotTwelveAgainReloadsHelp) {
    Server.Close();
    TFrmMain& f = Start();
    click(11);
    EXPECT_EQ(asked.back(), PortalIndexUrl());
    EXPECT_EQ(f.WebBrowser4->LocationURL(), local("css/gg2bk.html"));
    EXPECT_EQ(f.CurrentNavSlot, 12);
    for (int slot = 0; slot < 16; ++slot)
        EXPECT_EQ(f.NavImages[static_cast<size_t>(slot)]->isVisible(), slot >= 12);
    EXPECT_TRUE(shows(12, f.ImageList3));
    EXPECT_TRUE(f.Panel9->isVisible() && !f.TreeView1->isVisible());
    EXPECT_EQ(f.Header1->text(), "照片剪裁");
    EXPECT_EQ(f.Panel3->width(), ZoneModePanel3Width(f.Panel2->width()));
    EXPECT_EQ(title(f.WebBrowser1), "报名帮助 - Quillora 公考练习");
    EXPECT_EQ(f.Panel3->width(), ZoneModePanel3Width(f.Panel2->width())) << "also once the pages have loaded";
    f.WebBrowser1->Evaluate(QStringLiteral("window.seen = 1"));
    f.ActMouseLeaveExecute(f.NavImages[11]);
    click(12);
    EXPECT_FALSE(f.ClickPending);
    EXPECT_EQ(title(f.WebBrowser1), "报名帮助 - Quillora 公考练习");
    EXPECT_EQ(f.WebBrowser1->Evaluate(QStringLiteral("typeof window.seen")).toString(), "undefined");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ZoneTest, OnlineBannerAndNewsComeFromThePortalAndOnlyHelpOrLeavingShowsTheColumn) {
    ASSERT_TRUE(listening) << Server.ErrorString().toStdString();
    TFrmMain& f = Start();
    click(11);
    EXPECT_EQ(f.WebBrowser4->LocationURL(), url("/qlr/ad/banner2.html"));
    EXPECT_EQ(title(f.WebBrowser4), "报考专区") << "the portal's gb2312 page";
    click(14);
    EXPECT_FALSE(f.Panel6->isVisible());
    EXPECT_EQ(title(f.WebBrowser1), "招考信息 - Quillora 公考门户");
    click(12);
    EXPECT_TRUE(f.Panel6->isVisible());
    click(14);
    click(15);
    EXPECT_TRUE(f.Panel6->isVisible());
    EXPECT_EQ(title(f.WebBrowser4), "公考门户");
    EXPECT_TRUE(Server.Log().contains(QStringLiteral("GET /qlr/ad/banner1.html 200")));
}

TEST_F(ZoneTest, LeavingBringsBackTheQuestionPageWithoutItsAnswersAndSelectsTheZoneSlot) {
    TFrmMain& f = Start();
    ASSERT_EQ(title(f.WebBrowser1), "节");
    f.WebBrowser1->Evaluate(QStringLiteral("document.getElementById('11/1').checked = true"));
    click(11);
    click(13);
    click(15);
    EXPECT_EQ(f.CurrentNavSlot, 11);
    EXPECT_TRUE(shows(11, f.ImageList3) && shows(0, f.ImageList1) && shows(13, f.ImageList1) &&
                shows(15, f.ImageList1));
    EXPECT_TRUE(f.TreeView1->isVisible() && !f.Panel9->isVisible());
    EXPECT_EQ(f.Header1->text(), "试题目录");
    EXPECT_EQ(title(f.WebBrowser1), "节");
    EXPECT_EQ(
        f.WebBrowser1->Evaluate(QStringLiteral("document.querySelectorAll('input:checked').length")).toInt(),
        0);
    f.resize(1100, 734);
    QApplication::processEvents();
    EXPECT_EQ(f.Panel3->width(), NormalModePanel3Width(f.Panel2->width()));
}

TEST_F(ZoneWithoutPageTest, LeavingWithoutAQuestionPageShowsTheMissingFileQuietly) {
    Server.Close();
    TFrmMain& f = Start();
    click(11);
    click(15);
    EXPECT_EQ(f.WebBrowser1->LocationURL(), local("css/Question.html"));
    EXPECT_FALSE(FileExists(inst.Path("css/Question.html")));
    f.WebBrowser1->WaitForLoad();
    EXPECT_EQ(f.WebBrowser4->LocationURL(), local("css/gg1bk.html"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ZoneTest, WebLinksOpenTheAddressReadAtThatMomentAndEmptyOnesNothing) {
    TFrmMain& f = Start();
    click(9);
    click(10);
    click(11);
    click(13);
    EXPECT_EQ(opened, (std::vector<QString>{url("/qlr/exam/index.html"), url("/qlr/forum/index.html"),
                                            url("/qlr/jobs/search.html")}));
    AdoQuery& q = DataModule1->ADOQuery2;
    q.ExecWith({"UPDATE 系统参数 SET 参数值='http://127.0.0.1:1/x.html' WHERE 参数名='讨论区'"});
    q.ExecWith({"UPDATE 系统参数 SET 参数值='' WHERE 参数名='职位查询'"});
    q.ExecWith({"UPDATE 系统参数 SET 参数名='旧招考信息' WHERE 参数名='招考信息'"}); // no row at all
    f.ActTLQExecute();
    click(13);
    click(14);
    EXPECT_EQ(opened.size(), 4u);
    EXPECT_EQ(opened.back(), "http://127.0.0.1:1/x.html");
    EXPECT_EQ(f.WebBrowser1->LocationURL(), local("css/BaoKao/baokao.html"));
    EXPECT_TRUE(f.WebBrowser1->WaitForLoad());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ZoneWithForeignAddressesTest, AddressesThatAreNoWebAddressesShowLocalPagesAndOpenNothing) {
    ASSERT_TRUE(listening) << Server.ErrorString().toStdString();
    TFrmMain& f = Start(); // online
    EXPECT_EQ(f.WebBrowser2->LocationURL(), local("css/gg4bk.html"));
    EXPECT_EQ(f.WebBrowser3->LocationURL(), local("css/gg3bk.html"));
    EXPECT_EQ(f.WebBrowser4->LocationURL(), local("css/gg1bk.html"));
    click(9);
    click(10);
    click(11);
    EXPECT_EQ(f.WebBrowser4->LocationURL(), local("css/gg2bk.html"));
    click(13);
    click(14);
    EXPECT_EQ(f.WebBrowser1->LocationURL(), local("css/BaoKao/baokao.html")) << "news refused: help stays";
    EXPECT_TRUE(opened.empty());
    ASSERT_EQ(boxes.shown.size(), 3u);
    for (const auto& box : boxes.shown)
        EXPECT_TRUE(box.text.startsWith("网址无效")) << box.text.toStdString();
}

TEST_F(ZoneTest, ACollapsedColumnOpensForThePhotoToolAndIsCollapsedAgainOnLeaving) {
    Server.Close();
    TFrmMain& f = Start();
    const int open = f.Panel6->width();
    QTest::mouseClick(f.BitBtn1, Qt::LeftButton);
    ASSERT_EQ(f.Panel6->width(), f.BitBtn1->width());
    click(11);
    QApplication::processEvents();
    EXPECT_EQ(f.Panel6->width(), open) << "the photo tool gets the column's width";
    EXPECT_TRUE(f.Panel9->isVisible());
    click(15);
    QApplication::processEvents();
    EXPECT_EQ(f.Panel6->width(), f.BitBtn1->width());
    EXPECT_FALSE(f.TreeView1->isVisible()) << "the tree stays collapsed";
    EXPECT_EQ(f.BitBtn1->text(), ">>");
    QTest::mouseClick(f.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(f.Panel6->width(), open);
    EXPECT_TRUE(f.TreeView1->isVisible());
}

TEST_F(ZoneWithEmptyBannerTest, OnlineAnEmptyBannerAddressShowsTheLocalBanner) {
    ASSERT_TRUE(listening) << Server.ErrorString().toStdString();
    TFrmMain& f = Start();
    ASSERT_EQ(f.WebBrowser4->LocationURL(), url("/qlr/ad/banner1.html"));
    click(11);
    EXPECT_EQ(f.WebBrowser4->LocationURL(), local("css/gg2bk.html"));
    EXPECT_TRUE(boxes.shown.empty());
}
