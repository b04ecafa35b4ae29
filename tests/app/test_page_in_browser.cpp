// Generated pages running in real Qt WebEngine: the page script, the style
// sheet found without regard to case, script errors, and written documents.
#include "MainWindowFixture.h"
#include "browser/PageWriters.h"
#include "browser/WebBrowser.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "render/QuestionPage.h"
#include "render/StyleSheet.h"

namespace {
class PageInBrowserTest : public MainWindowFixture {
protected:
    PageInBrowserTest()
        : MainWindowFixture(
              DefaultSettingsSql() + FixtureText("render/fixtures/page_bank.sql") +
              "INSERT INTO 题目类别 VALUES(1,'源',0,'0');INSERT INTO 题目类别 VALUES(11,'科目',1,NULL);"
              "INSERT INTO 题目类别 VALUES(101,'节',11,NULL);") {}
    QVariant eval(const char* js) { return frm->WebBrowser1->Evaluate(QString::fromUtf8(js)); }
};
} // namespace

TEST_F(PageInBrowserTest, PageScriptShowsAnswersChangesFontsAndAnswersAgain) {
    TFrmMain& f = Start();
    WriteMainCss(); // the page links main.css; the file is Main.css
    f.WebBrowser1->Navigate(inst.Path("css/Question.html"));
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    ASSERT_TRUE(PaperLoaded == false); // the fixture page ends with a plain item
    PaperLoaded = true;

    EXPECT_EQ(eval("document.title").toString(), "节");
    EXPECT_EQ(eval("getComputedStyle(document.body).backgroundColor").toString(), "rgb(239, 248, 255)");
    EXPECT_EQ(eval("document.querySelectorAll('span[id^=Answer]').length").toInt(), 14);
    EXPECT_EQ(eval("document.getElementById('Answer2').style.display").toString(), "none");

    f.ToolButton1Click(); // show all answers
    EXPECT_EQ(f.ToolButton1->Tag, 1);
    EXPECT_EQ(f.ToolButton1->ImageIndex(), 1);
    EXPECT_EQ(
        eval("[...document.querySelectorAll('span[id^=Answer]')].filter(s=>s.style.display=='none').length")
            .toInt(),
        0);
    EXPECT_EQ(eval("document.getElementById('ShowButton2').innerText").toString(), "隐藏答案");

    f.ToolButton2Click(); // enlarge
    EXPECT_EQ(eval("document.all[0].style.fontSize").toString(), "large");
    f.ToolButton3Click();
    f.ToolButton3Click();
    EXPECT_EQ(eval("document.body.style.fontSize").toString(), "small");

    // Tick options and mark a title red, as grading would, then answer again.
    eval("document.getElementById('11/1').checked=true; document.getElementById('20/0').checked=true;"
         "document.getElementById('T11_11').style.color='red'; 1");
    boxes.Answer(IDYES);
    f.ToolButton5Click();
    EXPECT_EQ(boxes.shown.back().text, "重新答题会清空当前的回答,继续吗?");
    EXPECT_EQ(eval("document.querySelectorAll('input:checked').length").toInt(), 0);
    EXPECT_EQ(eval("document.getElementById('T11_11').style.color").toString(), "rgb(0, 0, 0)");
    EXPECT_EQ(eval("document.getElementById('Answer2').style.display").toString(), "none");
    EXPECT_EQ(f.ToolButton1->Tag, 1) << "answering again leaves the toggle alone";

    // Radio buttons allow one choice per question, check boxes several.
    eval("document.getElementById('11/0').click(); document.getElementById('11/2').click();"
         "document.getElementById('20/0').click(); document.getElementById('20/2').click(); 1");
    EXPECT_EQ(eval("document.querySelectorAll('input[name=\"11_11\"]:checked').length").toInt(), 1);
    EXPECT_EQ(eval("document.querySelectorAll('input[name=\"20_20\"]:checked').length").toInt(), 2);
}

TEST_F(PageInBrowserTest, AScriptThePageDoesNotDefineIsAnError) {
    TFrmMain& f = Start();
    WriteFileBytes(inst.Path("css/gg1bk.html"), "<html><body>banner</body></html>");
    f.WebBrowser1->Navigate(inst.Path("css/gg1bk.html")); // a page without the question script
    try {
        f.ToolButton2Click();
        FAIL() << "no error";
    } catch (const EScriptError& e) {
        EXPECT_NE(std::string(e.what()).find("changeFont"), std::string::npos) << e.what();
    }
}

TEST_F(PageInBrowserTest, WrittenDocumentsShowTheirLinesInOrder) {
    TFrmMain& f = Start();
    WritePageHead("预览", f.WebBrowser2);
    WritePreviewStyle(f.WebBrowser2);
    for (const char* line :
         {"</head>", "<body class=\"TestBody\"><p id=\"p\">第一行</p>", "<p>第二行</p></body></html>"})
        f.WebBrowser2->Document().Writeln(line);
    EXPECT_EQ(f.WebBrowser2->WrittenLines().size(), 5 + 31 + 3);
    EXPECT_EQ(f.WebBrowser2->Evaluate("document.title").toString(), "预览");
    EXPECT_EQ(f.WebBrowser2->Evaluate("document.getElementById('p').innerText").toString(), "第一行");
    EXPECT_EQ(f.WebBrowser2->Evaluate("getComputedStyle(document.body).backgroundColor").toString(),
              "rgb(239, 248, 255)");
    // Writing into a document that was not opened blank is refused.
    f.WebBrowser2->Navigate(inst.Path("css/gg4bk.html"));
    EXPECT_THROW(f.WebBrowser2->Document().Writeln("x"), EScriptError);
}
