#include "render/QuestionPage.h"

#include "platform/AppFolder.h"
#include "platform/Gbk.h"
#include "render/Global.h"
#include "store/DataModule.h"
#include "store/SqlText.h"

#include <charconv>

namespace {

constexpr const char* kTable =
    "<table width=\"95%\" border=\"0\" align=\"center\" cellpadding=\"0\" cellspacing=\"3\">";

void writeScript(LineSink& out) {
    static const char* const kBefore[] = {
        "function showAnswer(){",
        "  var s=event.srcElement.id.substr(10);",
        "  if (event.srcElement.innerText=='显示答案')",
        "  {",
        "    document.getElementById('Answer'+s).style.display='';",
        "    event.srcElement.innerText='隐藏答案';",
        "  }",
        "  else",
        "  {",
        "    document.getElementById('Answer'+s).style.display='none';",
        "    event.srcElement.innerText='显示答案';",
        "  }}",
    };
    for (const char* line : kBefore)
        out.Writeln(line);
    WriteChangeFontScript(out);
    static const char* const kAfter[] = {
        "function scbt(id){",
        "  external.DoSeaarchData(id);}",
        "function showAllAnswer(mode){",
        "  var a=document.getElementsByTagName('span');",
        "  for(var i=0;i<a.length;i++)",
        "  {",
        "  \tif (a[i].id.indexOf('ShowButton')<0)continue;",
        "      if (mode)",
        "    \t{",
        "    \t\tif (a[i].innerText=='显示答案')a[i].click();",
        "  \t\t}",
        "  \t\telse",
        "  \t\t{",
        "        if (a[i].innerText=='隐藏答案')a[i].click();}}}",
    };
    for (const char* line : kAfter)
        out.Writeln(line);
    out.Writeln("var beforeColor=\"" + TextColor + "\";");
    static const char* const kTail[] = {
        "function answerAgain(){",
        "  showAllAnswer(false);",
        "  var a=document.getElementsByTagName('input');",
        "  for(var i=0;i<a.length;i++)",
        "  {",
        "    if (a[i].type=='radio')a[i].checked=false;",
        "    if (a[i].type=='checkbox')a[i].checked=false;",
        "  }",
        "  a=document.getElementsByTagName('span');",
        "  for(var i=0;i<a.length;i++)",
        "  {",
        "    if (a[i].id.indexOf('T')==0)a[i].style.color=beforeColor;}}",
        "</script>",
    };
    for (const char* line : kTail)
        out.Writeln(line);
}

void writeExplainBlock(LineSink& out, const std::string& text) {
    out.Writeln("<div class=\"MiddleFont\" id=\"zoom\">");
    out.Writeln(kTable);
    out.Writeln("<tr><td class=\"TestStyleExplain\">");
    out.Writeln(text);
    out.Writeln("</td></tr></table>");
}

void writePlainItem(LineSink& out, const AdoQuery& row, const std::string& id, const std::string& n) {
    out.Writeln("<div class=\"MiddleFont\" id=\"zoom\">");
    out.Writeln(kTable);
    out.Writeln("<tr><td class=\"TestMainTitle\">");
    out.Writeln("<span id=\"T" + id + "_" + id + "\" class=\"TestContent\">");
    out.Writeln(row.FieldByName("题目内容").AsString());
    out.Writeln("</span></td></tr></table>");
    out.Writeln("<table width=\"95%\" border=\"0\" align=\"center\" cellpadding=\"0\" cellspacing=\"3\" "
                "id=\"ToolBar1\" class=\"TestToolBar\">");
    out.Writeln("<tr><td><span id=\"ShowButton" + n +
                "\" onclick=\"showAnswer()\" class=\"ShowAnswer\">显示答案</span>&nbsp;");
    out.Writeln("<a href=\"#\" id=\"" + id + "\" mode=\"sc\" onclick=\"scbt('" + id + "');\">");
    out.Writeln("<span class=\"ShowAnswer\">收藏本题</span></a>&nbsp;</td></tr></table><span id=\"Answer" +
                n + "\" style=\"display: none\">");
    out.Writeln(
        "<table width=\"95%\" border=\"0\" align=\"center\" cellpadding=\"0\" cellspacing=\"3\"><tr><td>");
    out.Writeln(row.FieldByName("解释").AsString());
    out.Writeln("</td></tr></table><input id=\"" + id + "_" + id +
                "\" type=\"hidden\" name=\"da\" lx=\"\" value=\"\" /></span><hr size='1px'width='100%' />");
}

// Everything the builder tracks from one row to the next.
struct PageState {
    std::string previousType;
    long long previousGroup = 0;
    int groupCounter = 0;
    int position = 1;
    std::string line, scratch; // reused: a page has tens of thousands of lines
};

// The three lookups run for nearly every row: bound values on a prepared
// statement, not texts to scan. A group number that is no integer (a foreign
// bank's) goes into the text as written, as it always did.
void openGroupRows(AdoQuery& inner, const TField& group, const std::string& groupText) {
    if (group.IsInteger())
        inner.OpenBound("SELECT * FROM 小题 WHERE 大题号=?", {group.AsLargeInt()});
    else
        inner.OpenWith({"SELECT * FROM 小题", " WHERE 大题号=", groupText});
}

void openStem(AdoQuery& inner, const TField& group, const std::string& groupText) {
    if (group.IsInteger())
        inner.OpenBound("SELECT * FROM 大题 WHERE 大题号=?", {group.AsLargeInt()});
    else
        inner.OpenWith({"SELECT * FROM 大题 ", "WHERE 大题号=", groupText});
}

void openOptions(AdoQuery& inner, const TField& group, const std::string& groupText, const TField& idField,
                 const std::string& id) {
    if (group.IsInteger() && idField.IsInteger())
        inner.OpenBound("SELECT * FROM 答案选项 WHERE 大题号=? AND 小题号=? ORDER BY 答案编号",
                        {group.AsLargeInt(), idField.AsLargeInt()});
    else
        inner.OpenWith(
            {"SELECT * FROM 答案选项 ", "WHERE 大题号=", groupText, "AND 小题号=", id, " ORDER BY 答案编号"});
}

std::string_view decimal(char (&buf)[16], int v) {
    return {buf, static_cast<size_t>(std::to_chars(buf, buf + sizeof buf, v).ptr - buf)};
}

void writeAnswerable(LineSink& out, const AdoQuery& row, PageState& st, AdoQuery& inner) {
    const std::string type = row.FieldByName("题目类型").AsString();
    const TField idField = row.FieldByName("小题号");
    const TField groupField = row.FieldByName("大题号");
    const std::string id = idField.AsString();
    const std::string groupText = groupField.AsString();
    const long long group = groupField.AsLargeInt();
    char digits[16];
    const std::string_view n = decimal(digits, st.position);

    if (type != st.previousType) {
        st.previousType = type;
        inner.OpenBound("SELECT * FROM 类型说明 WHERE 题目类型=?", {std::string_view(type)});
        if (inner.RecordCount() > 0) writeExplainBlock(out, type + inner.FieldByName("类型说明").AsString());
    }
    if (group != st.previousGroup) {
        openGroupRows(inner, groupField, groupText);
        if (inner.RecordCount() >= 2) {
            st.previousGroup = group;
            ++st.groupCounter;
            openStem(inner, groupField, groupText);
            if (inner.RecordCount() > 0)
                writeExplainBlock(out, "（" + std::to_string(st.groupCounter) + "）" +
                                           inner.FieldByName("大题内容").AsString());
        }
    }

    auto record = std::make_unique<TShiTi>();
    record->Id = idField.AsInteger();
    record->TypeName = type;
    record->Answer = row.FieldByName("答案").AsString();
    record->Number = st.position;

    const std::string_view kind = row.FieldByName("是否单项").AsInteger() == 0 ? "Radio" : "CheckBox";
    const std::string& answer = record->Answer;
    std::string& line = st.line;
    out.Writeln(line.assign(" ").append(kTable));
    line.assign(" <tr><td class=\"TestMainTitle\"><span id=\"T").append(id).append("_").append(id);
    line.append("\" class=\"TestContent\">").append(n).append(". ");
    line.append(row.FieldByName("题目内容").Text(st.scratch)).append("</span></td></tr>");
    out.Writeln(line);

    openOptions(inner, groupField, groupText, idField, id);
    int j = 0;
    for (; !inner.Eof(); inner.Next(), ++j) {
        char optionDigits[16];
        const std::string_view jText = decimal(optionDigits, j);
        out.Writeln("<tr><td class=\"TestContent\">");
        line.assign("<input type=\"").append(kind).append("\" id=\"").append(id).append("/").append(jText);
        line.append("\" name=\"")
            .append(id)
            .append("_")
            .append(id)
            .append("\" value=\"")
            .append(OptionLetter(j));
        line.append("\" />   <label for=\"").append(id).append("/").append(jText).append("\">");
        line.append(inner.FieldByName("答题选项").Text(st.scratch)).append("</label><br /></td></tr>");
        out.Writeln(line);
    }
    record->OptionCount = j;
    ShiTiList.Add(std::move(record));

    out.Writeln("</table>");
    out.Writeln("<table width=\"95%\" border=\"0\" align=\"center\" cellpadding=\"0\" cellspacing=\"3\" "
                "id=\"ToolBar1\" class=\"TestToolBar\">");
    line.assign("<tr><td><span id=\"ShowButton").append(n);
    line.append("\" onclick=\"showAnswer()\" class=\"ShowAnswer\">显示答案</span>&nbsp;<a href=\"#\" id=\"");
    line.append(std::to_string(st.position - 1))
        .append("\" mode=\"sc\" onclick=\"scbt('")
        .append(id)
        .append("');\">");
    out.Writeln(line);
    out.Writeln("<span class=\"ShowAnswer\">收藏本题</span></a>&nbsp;</td></tr></table> ");
    out.Writeln(line.assign("<span id=\"Answer").append(n).append("\" style=\"display: none\"> "));
    out.Writeln("<table width=\"95%\" border=\"0\" align=\"center\" cellpadding=\"0\" cellspacing=\"3\" "
                "class=\"AnswerTable\"> ");
    line.assign("<tr><td>参考答案：").append(answer).append(row.FieldByName("解释").Text(st.scratch));
    out.Writeln(line.append("</td></tr></table>"));
    line.assign("<input id=\"")
        .append(id)
        .append("_")
        .append(id)
        .append("\" type=\"hidden\" name=\"da\" lx=\"");
    line.append(type)
        .append("\" value=\"")
        .append(answer)
        .append("\" /></span><hr size='1px' width='100%' />");
    out.Writeln(line);
    PaperLoaded = true;
}

} // namespace

void WriteChangeFontScript(LineSink& out) {
    static const char* const kLines[] = {
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
    };
    for (const char* line : kLines)
        out.Writeln(line);
}

std::string OptionLetter(int j) {
    const char32_t c = static_cast<char32_t>(65 + j);
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

void WritePageHeadLines(const std::string& title, LineSink& out) {
    out.Writeln("<html xmlns=\"http://www.w3.org/1999/xhtml\">");
    out.Writeln("<head>");
    out.Writeln("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />");
    out.Writeln("<META http-equiv=\"MSThemeCompatible\" content=\"yes\" >");
    out.Writeln("<title>" + title + "</title>");
}

void BuildQuestionPage(const std::string& title, const std::string& orderBy) {
    GbkTextFile out(AppFolder(), "css/Question.html");
    WritePageHeadLines(title, out);
    out.Writeln("<link href=\"main.css\" rel=\"stylesheet\" type=\"text/css\" />");
    out.Writeln("<script language=\"JavaScript\">");
    writeScript(out);
    out.Writeln("</head>");
    out.Writeln("<body oncontextmenu=\"self.event.returnValue=false\" onselectstart=\"return false\" "
                "class=\"TestBody\">");
    out.Writeln("<div>");
    out.Writeln(kTable);
    out.Writeln("<tr><td width=\"77%\" align=\"center\" class=\"TestCaption\">");

    const ReadTransaction reads(DataModule1->ADOConnection1);
    AdoQuery& rows = DataModule1->ADOQuery1;
    AdoQuery& inner = DataModule1->ADOQuery2;
    rows.Close();
    rows.SQL.Clear();
    rows.SQL.Add("SELECT * FROM 小题 WHERE 小题号 IN(");
    for (int i = 0; i < XiaoTiList.Count(); ++i)
        rows.SQL.Add(std::to_string(XiaoTiList[i]->Id) + (i + 1 < XiaoTiList.Count() ? "," : ")"));
    if (!orderBy.empty()) rows.SQL.Add(orderBy);
    rows.Open();

    ShiTiList.Clear();
    if (rows.RecordCount() > 0) {
        out.Writeln(title);
        out.Writeln("</td></tr></table>");
        PageState st;
        for (; !rows.Eof(); rows.Next()) {
            if (rows.FieldByName("题目类型").AsString().empty()) {
                const std::string id = rows.FieldByName("小题号").AsString();
                writePlainItem(out, rows, id, std::to_string(st.position));
                PaperLoaded = false;
            } else {
                writeAnswerable(out, rows, st, inner);
            }
            ++st.position;
        }
    }
    out.Writeln("</div> </div></body></html>");
    out.Close();
}
