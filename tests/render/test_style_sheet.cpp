#include "platform/AppFolder.h"
#include "platform/Gbk.h"
#include "render/Global.h"
#include "render/StyleSheet.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {
void setDefaults() {
    FontName = "宋体";
    FontSize = "14px";
    ToolbarFontSize = "10px";
    TextColor = "#000000";
    BackColor = "#EFF8FF";
    LineSpacing = "140";
}

std::vector<std::string> crlfLines(const std::string& gbk) {
    std::vector<std::string> out;
    const std::string text = GbkToUtf8(gbk);
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        out.push_back(text.substr(start, at - start));
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return out;
}
} // namespace

TEST(MainCss, DefaultSettingsGiveTheThirtyRules) {
    setDefaults();
    TestInstall inst({}, false);
    SetAppFolder(inst.Folder());
    WriteMainCss();
    const std::string bytes = ReadFileBytes(inst.Path("css/Main.css"));
    SetAppFolder({});
    EXPECT_NE(bytes.find("\xCB\xCE\xCC\xE5"), std::string::npos) << "宋体 stored in GBK";
    const std::vector<std::string> expected = {
        "BODY{FONT-SIZE:14px;COLOR:#000000;background-color:#EFF8FF;LINE-HEIGHT:140%; "
        "font-family:宋体,serif;margin:10px;  WORD-BREAK:break-all;}",
        "img{vertical-align:middle;border:none;}",
        "A{TEXT-DECORATION:none;}",
        "A:link{COLOR:#000000;TEXT-DECORATION:none;}",
        "A:visited{COLOR:#83006f;TEXT-DECORATION:none;}",
        "A:hover{COLOR:#bc2931;}",
        "A:active{COLOR:#bc2931;}",
        "INPUT{cursor:hand;}",
        "LABEL{cursor:hand;}",
        ".MainBody{cursor:default;background:url(../images/MainBackground.gif);}",
        ".TestInfoBody{background-color:#EFF8FF;color:#000000;font-size:14px;font-family:\"宋体\",serif;LINE-"
        "HEIGHT:140%;}",
        ".TestResultBody{background-color:#EFF8FF;color:#000000;font-size:14px;font-family:\"宋体\",serif;"
        "LINE-HEIGHT:140%;}",
        ".TestResultTitle{font-weight:bold;font-size:18pt;margin-top:10px;margin-bottom:16px;font-family:"
        "\"宋体\", serif;color:#000000;line-height:140%;}",
        ".SoftTitle{font-weight:bold;font-size:14px;margin-top:10px;margin-bottom:16px;font-family:\"宋体\", "
        "serif;color:#000000;line-height:140%;}",
        ".MenuTitle{font-weight:bold;font-size:18pt;margin:0px;}",
        ".TestCaption{font-weight:bold;font-size:14px;font-family:\"宋体\", "
        "serif;LINE-HEIGHT:140%;text-align:center;margin-top:4px;margin-bottom:8px;}",
        ".TestStyleExplain{font-family:\"宋体\";FONT-SIZE:14px;}",
        ".TestBody{background-color:#EFF8FF;color:#000000;FONT-SIZE:14px;font-family:\"宋体\",serif;LINE-"
        "HEIGHT:140%;}",
        ".TestMainTitle{font-family:\"宋体\";FONT-SIZE:14px;}",
        ".TestContent{font-family:\"宋体\";FONT-SIZE:14px;LINE-HEIGHT:140%;}",
        ".TestFG{background:url(../images/dot.gif) "
        "repeat-x;margin-top:0px;margin-bottom:8px;height:1px;clear:both;font-size:1px;text-align:center;}",
        ".TestToolBar{font-family:\"宋体\";font-size:14px;font-size:10px;text-align:right;}",
        ".ShowAnswer{font-family:\"宋体\";color:#1F3A87;cursor:hand;font-size:12px;}",
        ".HideAnswer{}",
        ".FlatInput{color:#0560A6;border:#7F9DB9 1px solid;cursor:hand;}",
        ".table1{background-color:#eff8ff;color:#000000;border-left:#7F9DB9 1px solid;border-right:#7F9DB9 "
        "1px solid;border-bottom:#7F9DB9 1px solid;cursor:hand;}",
        ".table2{background-color:#eff8ff;color:#000000;border-bottom:#7F9DB9 1px solid;border-left:#7F9DB9 "
        "1px solid;cursor:hand;}",
        ".table3{font-weight:bold;background-color:#c9e9f9;color:#000000;border:#7F9DB9 1px "
        "solid;cursor:hand;}",
        ".table4{font-weight:bold;background-color:#c9e9f9;color:#000000;border-bottom:#7F9DB9 1px "
        "solid;border-top:#7F9DB9 1px solid;border-left:#7F9DB9 1px solid;cursor:hand;}",
        ".AnswerTable{font-size:14px;}",
    };
    EXPECT_EQ(crlfLines(bytes), expected);
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
}

TEST(MainCss, EmptySettingsLeaveBareDeclarationsAndThirtyLines) {
    setDefaults();
    FontSize.clear();
    LineSpacing.clear();
    ToolbarFontSize.clear();
    const std::vector<std::string> lines = MainCssLines();
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines[0], "BODY{FONT-SIZE:;COLOR:#000000;background-color:#EFF8FF;LINE-HEIGHT:%; "
                        "font-family:宋体,serif;margin:10px;  WORD-BREAK:break-all;}");
    EXPECT_EQ(lines[21], ".TestToolBar{font-family:\"宋体\";font-size:;font-size:;text-align:right;}");
    EXPECT_EQ(lines[29], ".AnswerTable{font-size:;}");
}

TEST(MainCss, UnwritableFolderIsAnError) {
    setDefaults();
    TestInstall inst({}, false);
    SetAppFolder(inst.Folder() + "no-such-folder/");
    EXPECT_THROW(WriteMainCss(), std::runtime_error);
    SetAppFolder({});
}

TEST(PreviewStyle, StyleBlockWithoutTheAnswerRule) {
    setDefaults();
    LineCollector doc;
    WritePreviewStyle(doc);
    ASSERT_EQ(doc.Lines.size(), 31u);
    EXPECT_EQ(doc.Lines.front(), "<STYLE TYPE=\"text/css\">");
    EXPECT_EQ(doc.Lines[1], MainCssLines()[0]);
    EXPECT_EQ(doc.Lines[29],
              ".table4{font-weight:bold;background-color:#c9e9f9;color:#000000;border-bottom:#7F9DB9 1px "
              "solid;border-top:#7F9DB9 1px solid;border-left:#7F9DB9 1px solid;cursor:hand;}");
    EXPECT_EQ(doc.Lines.back(), "</STYLE>");
}
