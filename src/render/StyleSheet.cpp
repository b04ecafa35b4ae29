#include "render/StyleSheet.h"

#include "platform/AppFolder.h"
#include "platform/Gbk.h"
#include "render/Global.h"

std::vector<std::string> MainCssLines() {
    const std::string& fn = FontName;
    const std::string& fs = FontSize;
    const std::string& tc = TextColor;
    const std::string& bc = BackColor;
    const std::string& ls = LineSpacing;
    return {
        "BODY{FONT-SIZE:" + fs + ";COLOR:" + tc + ";background-color:" + bc + ";LINE-HEIGHT:" + ls +
            "%; font-family:" + fn + ",serif;margin:10px;  WORD-BREAK:break-all;}",
        "img{vertical-align:middle;border:none;}",
        "A{TEXT-DECORATION:none;}",
        "A:link{COLOR:#000000;TEXT-DECORATION:none;}",
        "A:visited{COLOR:#83006f;TEXT-DECORATION:none;}",
        "A:hover{COLOR:#bc2931;}",
        "A:active{COLOR:#bc2931;}",
        "INPUT{cursor:hand;}",
        "LABEL{cursor:hand;}",
        ".MainBody{cursor:default;background:url(../images/MainBackground.gif);}",
        ".TestInfoBody{background-color:" + bc + ";color:" + tc + ";font-size:" + fs + ";font-family:\"" +
            fn + "\",serif;LINE-HEIGHT:" + ls + "%;}",
        ".TestResultBody{background-color:" + bc + ";color:" + tc + ";font-size:14px;font-family:\"" + fn +
            "\",serif;LINE-HEIGHT:" + ls + "%;}",
        ".TestResultTitle{font-weight:bold;font-size:18pt;margin-top:10px;margin-bottom:16px;font-family:\"" +
            fn + "\", serif;color:" + tc + ";line-height:" + ls + "%;}",
        ".SoftTitle{font-weight:bold;font-size:" + fs + ";margin-top:10px;margin-bottom:16px;font-family:\"" +
            fn + "\", serif;color:" + tc + ";line-height:" + ls + "%;}",
        ".MenuTitle{font-weight:bold;font-size:18pt;margin:0px;}",
        ".TestCaption{font-weight:bold;font-size:" + fs + ";font-family:\"" + fn +
            "\", serif;LINE-HEIGHT:" + ls + "%;text-align:center;margin-top:4px;margin-bottom:8px;}",
        ".TestStyleExplain{font-family:\"" + fn + "\";FONT-SIZE:" + fs + ";}",
        ".TestBody{background-color:" + bc + ";color:" + tc + ";FONT-SIZE:" + fs + ";font-family:\"" + fn +
            "\",serif;LINE-HEIGHT:" + ls + "%;}",
        ".TestMainTitle{font-family:\"" + fn + "\";FONT-SIZE:" + fs + ";}",
        ".TestContent{font-family:\"" + fn + "\";FONT-SIZE:" + fs + ";LINE-HEIGHT:" + ls + "%;}",
        ".TestFG{background:url(../images/dot.gif) "
        "repeat-x;margin-top:0px;margin-bottom:8px;height:1px;clear:both;"
        "font-size:1px;text-align:center;}",
        ".TestToolBar{font-family:\"" + fn + "\";font-size:" + fs + ";font-size:" + ToolbarFontSize +
            ";text-align:right;}",
        ".ShowAnswer{font-family:\"" + fn + "\";color:#1F3A87;cursor:hand;font-size:12px;}",
        ".HideAnswer{}",
        ".FlatInput{color:#0560A6;border:#7F9DB9 1px solid;cursor:hand;}",
        ".table1{background-color:#eff8ff;color:#000000;border-left:#7F9DB9 1px solid;border-right:#7F9DB9 "
        "1px "
        "solid;border-bottom:#7F9DB9 1px solid;cursor:hand;}",
        ".table2{background-color:#eff8ff;color:#000000;border-bottom:#7F9DB9 1px solid;border-left:#7F9DB9 "
        "1px "
        "solid;cursor:hand;}",
        ".table3{font-weight:bold;background-color:#c9e9f9;color:#000000;border:#7F9DB9 1px "
        "solid;cursor:hand;}",
        ".table4{font-weight:bold;background-color:#c9e9f9;color:#000000;border-bottom:#7F9DB9 1px "
        "solid;border-top:#7F9DB9 1px solid;border-left:#7F9DB9 1px solid;cursor:hand;}",
        ".AnswerTable{font-size:" + fs + ";}",
    };
}

void WriteMainCss() {
    GbkTextFile file(AppFolder(), "css/Main.css");
    for (const std::string& line : MainCssLines())
        file.Writeln(line);
    file.Close();
}

void WritePreviewStyle(LineSink& document) {
    const std::vector<std::string> lines = MainCssLines();
    document.Writeln("<STYLE TYPE=\"text/css\">");
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        document.Writeln(lines[i]);
    document.Writeln("</STYLE>");
}
