// The preview page of the appearance dialog: five sample questions styled with
// the settings being edited.
#include "settings/UISet.h"

#include "browser/PageWriters.h"
#include "browser/WebBrowser.h"

namespace {
struct Sample {
    int k, m;
    const char* stem;
    const char* options[5];
};

const Sample kSamples[] = {
    {1, 1, "可以直接将储存糖原分解为葡萄糖的是", {"脑", "肝", "肾", "心脏", "肌肉"}},
    {2, 4, "下面是终止密码子的是", {"UUU", "UCC", "UAA", "UGG", "AUG"}},
    {3, 6, "不能激活脂肪酶的激素是", {"胰岛素", "肾上腺素", "去甲肾上腺素", "胰高血糖素", "肾上腺皮质激素"}},
    {4,
     7,
     "有关细胞色素的叙述，下列哪一项是错误的",
     {"含铁卟啉的结合蛋白质", "包括在a、a3、b、c1和c等", "a和a3结合很紧密", "在呼吸链中传递电子",
      "不能将电子传给氧"}},
    {5,
     8,
     "DNA复制中的引物是",
     {"以DNA为模板合成的DNA片段", "以DNA为模板合成的RNA片段", "以RNA为模板合成的DNA片段",
      "以RNA为模板合成的RNA片段", "复制开始时在DNA模板上的一段多肽"}},
};

const char* const kTable = "<TABLE width=\"95%\" border=0 align=\"center\" cellPadding=0 cellSpacing=3>";
} // namespace

std::vector<std::string> PreviewBodyLines() {
    std::vector<std::string> out{
        "</head>",
        "<body oncontextmenu=self.event.returnValue=false onselectstart=\"return false\" class=\"TestBody\">",
        std::string(kTable) +
            "<TR><TD width=\"77%\" align=\"center\" class=\"TestCaption\">题目类型</TD></TR></TABLE>",
        "<div  class=\"MiddleFont\"  id=\"zoom\">",
        "<form name=\"form1\" method=\"post\" action=\"\">",
        std::string(kTable) +
            "<TR><TD class=\"TestStyleExplain\">A1型题：每一道考试题下面有A、B、C、D、E五个备选答案。"
            "请从中选择一个最佳答案，并在答题卡上将相应题号的相应字母所属的方框涂黑。</TD></TR></TABLE>",
    };
    for (const Sample& s : kSamples) {
        const std::string id = "ID_" + std::to_string(s.m) + "_NoChildTable_0_1_";
        out.push_back(std::string(kTable) + "<TR><TD class=\"TestMainTitle\"><SPAN id=\"" + id + "Color\">" +
                      std::to_string(s.k) + "．" + s.stem + "</SPAN></TD></TR>");
        for (int j = 0; j < 5; ++j) {
            const std::string letter(1, static_cast<char>('A' + j));
            std::string line = "<input type=\"radio\" id=\"" + id + "Reply_" + letter + "\" name=\"" + id +
                               "Reply\" value=\"" + letter + "\"/><label for=\"" + id + "Reply_" + letter +
                               "\">" + letter + "．" + s.options[j] + "</label>";
            if (j == 0) line = "<TR><TD class=\"TestContent\">" + line;
            line += j == 4 ? "</TD></TR></TABLE>" : "<br />";
            out.push_back(std::move(line));
        }
        out.push_back(
            "<TABLE width=\"95%\" border=0 align=\"center\" cellPadding=0 cellSpacing=3 id=\"ToolBar1\" "
            "class=\"TestToolBar\">");
        out.push_back("<TR><TD><span id=\"ID_1_NoChildTable_0_1_ShowButton\" "
                      "class=\"ShowAnswer\">显示答案</span>&nbsp;");
        out.push_back("<a><span class=\"ShowAnswer\">收藏本题</span></a>&nbsp;</TD></TR></TABLE>");
    }
    out.push_back("</form></div></body></html>");
    return out;
}

void TFrmUISet::CreateUI() {
    WritePageHead("界面设置", WebBrowser1);
    WritePreviewStyle(WebBrowser1);
    for (const std::string& line : PreviewBodyLines())
        WebBrowser1->Document().Writeln(line);
}
