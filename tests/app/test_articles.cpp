// The technique articles in the real main window: their tree, the page they
// write, and the page commands on an article.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "platform/Gbk.h"
#include "platform/MessageBox.h"
#include "render/Global.h"

namespace {
const std::string kCategories =
    DefaultSettingsSql() +
    "INSERT INTO 题目类别 VALUES(1,'源',0,'0');INSERT INTO 题目类别 VALUES(11,'科目',1,NULL);"
    "INSERT INTO 题目类别 VALUES(101,'节',11,NULL);"
    "INSERT INTO 类型说明 VALUES('单选','',1);"
    "INSERT INTO 小题 VALUES(1,1,101,'单选','题一','A','',0,0);"
    "INSERT INTO 答案选项 VALUES(1,1,1,'甲');INSERT INTO 答案选项 VALUES(1,1,2,'乙');";

const std::string kArticles = kCategories +
                              "INSERT INTO 试题技巧 VALUES(1,'言语技巧',0);"
                              "INSERT INTO 试题技巧 VALUES(11,'填空',1);"
                              "INSERT INTO 试题技巧 VALUES(12,'阅读',1);"
                              "INSERT INTO 试题技巧 VALUES(2,'数量技巧',0);"
                              "INSERT INTO 技巧说明 VALUES(1,'<p id=\"a\">先读<b>问题</b>。</p>');"
                              "INSERT INTO 技巧说明 VALUES(11,'<p id=\"b\">填空一</p>');"
                              "INSERT INTO 技巧说明 VALUES(11,'<p>填空二</p>');";

// The article page for `article`, as the bytes on disk.
std::string articleBytes(const std::string& article) {
    const char* lines[] = {
        "<html xmlns=\"http://www.w3.org/1999/xhtml\">",
        "<head>",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />",
        "<META http-equiv=\"MSThemeCompatible\" content=\"yes\" >",
        "</HEAD>",
        "<SCRIPT>",
        "var ii=3;",
        "var szs = new Array( 'xx-small','x-small','small','medium','large','x-large','xx-large');",
        "function changeFont(mode){",
        "  if (mode==0)",
        "  {",
        "    if (ii==0) return;ii-=1;",
        "  }",
        "  else",
        "  {",
        "    if (ii==6) return;ii+=1;",
        "  }",
        "  for(var j=0;j<document.all.length;j++)",
        "  {",
        "    document.all[j].style.fontSize=szs[ii];",
        "  }}",
        "</SCRIPT>",
        "<Body BGCOLOR= #DAF0FB oncontextmenu=\"self.event.returnValue=false\" onselectstart=\"return "
        "false\" >",
    };
    std::string text;
    for (const char* l : lines)
        text += std::string(l) + "\r\n";
    return Utf8ToGbk(text + article + "\r\n</Body>\r\n");
}

class ArticlesTest : public MainWindowFixture {
protected:
    explicit ArticlesTest(const std::string& sql = kArticles) : MainWindowFixture(sql) {}
    std::string page() { return ReadFileBytes(inst.Path("css/Question.html")); }
    QString eval(const QString& js) { return frm->WebBrowser1->Evaluate(js).toString(); }
    void clickNode(int index) {
        frm->TreeView1->setCurrentItem(frm->NodeAt(index));
        frm->TreeView1Click();
    }
};

class NoArticlesTest : public ArticlesTest {
protected:
    NoArticlesTest() : ArticlesTest(kCategories) {}
};
} // namespace

TEST_F(ArticlesTest, TheCommandShowsTheTechniqueTreeAndTheFirstArticle) {
    TFrmMain& f = Start();
    ASSERT_TRUE(PaperLoaded);          // start-up showed a question page
    f.ActClickExecute(f.NavImages[1]); // "试题技巧"
    EXPECT_EQ(f.TreeView1->Tag, 1);
    EXPECT_FALSE(PaperLoaded);
    ASSERT_EQ(f.TreeView1->topLevelItemCount(), 2);
    EXPECT_EQ(f.TreeView1->topLevelItem(0)->child(1)->text(0), "阅读");
    EXPECT_EQ(f.TreeView1->currentItem(), f.NodeAt(0));
    EXPECT_EQ(page(), articleBytes("<p id=\"a\">先读<b>问题</b>。</p>"));
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    EXPECT_EQ(f.WebBrowser1->LocationURL().toStdString(), inst.Path("css/Question.html"));
    EXPECT_EQ(eval("document.getElementById('a').textContent"), "先读问题。");

    // Only the first article of a category is used; a category without one keeps the page.
    clickNode(1);
    EXPECT_EQ(page(), articleBytes("<p id=\"b\">填空一</p>"));
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    clickNode(2);
    EXPECT_EQ(page(), articleBytes("<p id=\"b\">填空一</p>"));
    EXPECT_EQ(eval("document.getElementById('b').textContent"), "填空一");
    EXPECT_TRUE(boxes.shown.empty());

    // The question tree again: clicks open category pages as before.
    f.ActClickExecute(f.NavImages[0]);
    EXPECT_EQ(f.TreeView1->Tag, 0);
    clickNode(2);
    EXPECT_TRUE(PaperLoaded);
    EXPECT_NE(GbkToUtf8(page()).find("题一"), std::string::npos);
}

TEST_F(ArticlesTest, FontButtonsStepThroughSevenSizesAndPageCommandsRefuse) {
    TFrmMain& f = Start();
    f.ActShiTiJiQiaoExecute();
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    const QString size = QStringLiteral("document.getElementById('a').style.fontSize");
    f.ToolButton2Click();
    EXPECT_EQ(eval(size), "large");
    for (int i = 0; i < 4; ++i)
        f.ToolButton2Click();
    EXPECT_EQ(eval(size), "xx-large");
    for (int i = 0; i < 5; ++i)
        f.ToolButton3Click();
    EXPECT_EQ(eval(size), "x-small");
    for (int i = 0; i < 3; ++i)
        f.ToolButton3Click();
    EXPECT_EQ(eval(size), "xx-small");

    boxes.shown.clear();
    f.ToolButton8Click(); // grading
    f.ToolButton7Click(); // filter
    f.ToolButton1Click(); // all answers
    f.ToolButton5Click(); // answer again
    ASSERT_EQ(boxes.shown.size(), 4u);
    for (const auto& b : boxes.shown) {
        EXPECT_EQ(b.text, "请先选择试卷！");
        EXPECT_EQ(b.caption, "未选择试卷");
    }
}

TEST_F(NoArticlesTest, AnEmptyTechniqueTableShowsNoArticleAndSaysNothing) {
    TFrmMain& f = Start();
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    const std::string before = page();
    const QString location = f.WebBrowser1->LocationURL();
    f.ActClickExecute(f.NavImages[1]);
    EXPECT_EQ(f.TreeView1->topLevelItemCount(), 0);
    EXPECT_EQ(f.TreeView1->Tag, 1);
    EXPECT_FALSE(PaperLoaded);
    EXPECT_EQ(page(), before);
    EXPECT_EQ(f.WebBrowser1->LocationURL(), location);
    f.TreeView1Click();
    EXPECT_TRUE(boxes.shown.empty());
}
