#include "exam/ResultPage.h"

#include "render/Global.h"
#include "render/QuestionPage.h"

#include <cmath>
#include <cstdio>

std::string FormatFixed2(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", std::round(value * 100.0) / 100.0);
    return std::string(buf) == "-0.00" ? "0.00" : buf;
}

namespace {
const char* kCell1 = "<td width=\"28%\" align=\"center\" class=\"table1\">";
const char* kCell15 = "<td width=\"15%\" align=\"center\" class=\"table1\">";
const char* kCell12 = "<td width=\"12%\" align=\"center\" class=\"table1\">";

void row(std::vector<std::string>& out, const std::string& type, int total, int right, double full,
         double score, double ratePercent) {
    out.push_back(std::string("<tr>") + kCell1 + type + "</td>");
    out.push_back(kCell15 + std::to_string(total) + "</td>");
    out.push_back(kCell12 + std::to_string(right) + "</td>");
    out.push_back(kCell15 + FormatFixed2(full) + "</td>");
    out.push_back(kCell15 + FormatFixed2(score) + "</td>");
    out.push_back(kCell15 + FormatFixed2(ratePercent) + "%</td></tr>");
}
} // namespace

std::vector<std::string> ResultPageLines(TResultTotals& totals) {
    LineCollector head;
    WritePageHeadLines("测试结果", head);
    std::vector<std::string> out = std::move(head.Lines);
    out.insert(
        out.end(),
        {
            "<style type=\"text/css\">",
            ".TestBody{background-color:#EFF8FF;color:Red;FONT-SIZE:28px;font-family:宋体,宋体;LINE-HEIGHT:"
            "140%;}",
            ".TestCaption{font-weight:bold;font-size:18px;font-family:宋体, "
            "serif;LINE-HEIGHT:140%;text-align:center;"
            "margin-top:4px;margin-bottom:8px;}",
            ".table3{font-weight:bold;background-color:#c9e9f9;color:#000000;border:#7F9DB9 1px "
            "solid;cursor:hand;}",
            ".table4{font-weight:bold;background-color:#c9e9f9;color:#000000;border-bottom:#7F9DB9 1px "
            "solid;border-top:#7F9DB9 1px solid;border-left:#7F9DB9 1px solid;cursor:hand;}",
            ".table1{background-color:#eff8ff;color:#000000;border-left:#7F9DB9 1px "
            "solid;border-right:#7F9DB9 1px "
            "solid;border-bottom:#7F9DB9 1px solid;cursor:hand;}",
            "</style>",
            "</head>",
            "<body class=\"TestBody\">",
            "<div align=\"center\"><span class=\"TestCaption\">本次测试结果</span></div></div>",
            "<table width=\"532\" align=\"center\" cellspacing=\"0\">",
            "<tr>",
            "<td width=\"28%\" align=\"center\" class=\"table4\">题型</td>",
            "<td width=\"15%\" align=\"center\" class=\"table4\">试题数</td>",
            "<td width=\"12%\" align=\"center\" class=\"table4\">答对</td>",
            "<td width=\"15%\" align=\"center\" class=\"table4\">总分</td>",
            "<td width=\"15%\" align=\"center\" class=\"table4\">得分</td>",
            "<td width=\"15%\" align=\"center\" class=\"table3\">正确率</td>",
            "</tr>",
        });
    totals = TResultTotals{};
    for (const TTest* t : TestList) {
        row(out, t->TypeName, t->Total, t->RightCount, t->FullScore, t->Score,
            static_cast<double>(t->RightRate) * 100);
        totals.Count += t->Total;
        totals.Right += t->RightCount;
        totals.FullScore += t->FullScore;
        totals.Score += t->Score;
    }
    row(out, "合计", totals.Count, totals.Right, totals.FullScore, totals.Score, totals.Rate() * 100);
    out.push_back("</table></body></html>");
    return out;
}
