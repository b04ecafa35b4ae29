// TFrmMain: the technique articles, a tree of their own with one page per category.
#include "app/FrmMain.h"

#include "browser/WebBrowser.h"
#include "platform/AppFolder.h"
#include "platform/Gbk.h"
#include "render/Global.h"
#include "render/QuestionPage.h"
#include "store/DataModule.h"

namespace {
// The article page: a fixed head with the font-size script the tool buttons call,
// the article's HTML as stored, and no closing html tag.
void writeArticlePage(LineSink& out, const std::string& article) {
    static const char* const head[] = {
        "<html xmlns=\"http://www.w3.org/1999/xhtml\">",
        "<head>",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />",
        "<META http-equiv=\"MSThemeCompatible\" content=\"yes\" >",
        "</HEAD>",
        "<SCRIPT>",
    };
    for (const char* line : head)
        out.Writeln(line);
    WriteChangeFontScript(out);
    static const char* const body[] = {
        "</SCRIPT>",
        "<Body BGCOLOR= #DAF0FB oncontextmenu=\"self.event.returnValue=false\" onselectstart=\"return "
        "false\" >",
    };
    for (const char* line : body)
        out.Writeln(line);
    out.Writeln(article);
    out.Writeln("</Body>");
}
} // namespace

void TFrmMain::TreeViewLoadFromDB_JQ() {
    loadNodeInfos("SELECT * FROM 试题技巧 ");
}

void TFrmMain::ActShiTiJiQiaoExecute() {
    TreeViewLoadFromDB_JQ();
    showTree();
    PaperLoaded = false;
    TreeView1->Tag = 1;
    ActSCSTJQExecute();
}

void TFrmMain::ActSCSTJQExecute() {
    // An empty technique table leaves no node to show: no article, no message.
    const QTreeWidgetItem* node = TreeView1->currentItem();
    if (!node) return;
    AdoQuery& q = DataModule1->ADOQuery1;
    q.Close();
    q.SQL.Clear();
    q.SQL.Add("SELECT * FROM 技巧说明 ");
    q.SQL.Add("WHERE 所属编号=");
    q.SQL.Add(NodeInfo(node)->Id);
    q.Open();
    if (q.RecordCount() == 0) return; // the page shown stays
    const std::string article = q.FieldByName("技巧内容").AsString();
    q.Close();

    GbkTextFile out(AppFolder(), "css/Question.html");
    writeArticlePage(out, article);
    out.Close();
    practicePage_ = false;
    WebBrowser1->Navigate(AppFolder() + "css/Question.html");
}
