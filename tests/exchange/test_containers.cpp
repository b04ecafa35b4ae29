// XLSX and DOCX read from containers the tests write themselves, and the
// limits that refuse a hostile container.
#include "exchange/Docx.h"
#include "exchange/ImportFile.h"
#include "exchange/Xlsx.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <utility>
#include <vector>

using namespace exchange;

namespace {

using Entries = std::vector<std::pair<QString, QByteArray>>;

class Containers : public ::testing::Test {
protected:
    QString Write(const QString& name, const Entries& entries) {
        const QString path = dir_.filePath(name);
        QuaZip zip(path);
        EXPECT_TRUE(zip.open(QuaZip::mdCreate));
        for (const auto& [entry, bytes] : entries) {
            QuaZipFile file(&zip);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly, QuaZipNewInfo(entry)));
            file.write(bytes);
            file.close();
        }
        zip.close();
        return path;
    }
    QTemporaryDir dir_;
};

struct Row {
    int row;
    QStringList cells;
    bool operator==(const Row&) const = default;
};

std::vector<Row> ReadRows(const QString& path, const Limits& limits, QString* error, int stopAfter = -1) {
    std::vector<Row> rows;
    ReadXlsxRows(
        path, limits,
        [&](int row, const QStringList& cells) {
            rows.push_back({row, cells});
            return int(rows.size()) != stopAfter;
        },
        error);
    return rows;
}

} // namespace
// Messages read as text when a check fails.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
namespace {

void PrintTo(const Row& r, std::ostream* os) {
    *os << r.row << ": " << r.cells.join(u'|').toStdString();
}

QByteArray Sheet(const QByteArray& rows) {
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" +
           rows + "</sheetData></worksheet>";
}

// A workbook whose first sheet is not sheet1.xml: the reader must follow the relationships.
Entries Workbook(const QByteArray& sheetRows, const QByteArray& sharedStrings = {}) {
    Entries e{
        {"_rels/.rels",
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>)"},
        {"xl/workbook.xml",
         R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"
 xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets><sheet name="题目" sheetId="2" r:id="rId7"/><sheet name="旧" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
        {"xl/_rels/workbook.xml.rels",
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/questions.xml"/>
</Relationships>)"},
        {"xl/worksheets/sheet1.xml",
         Sheet(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>旧表</t></is></c></row>)")},
        {"xl/worksheets/questions.xml", Sheet(sheetRows)},
    };
    if (!sharedStrings.isEmpty()) e.emplace_back("xl/sharedStrings.xml", sharedStrings);
    return e;
}

TEST_F(Containers, XlsxRowsPlaceCellsByReference) {
    const QByteArray shared =
        R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="3">
<si><t>题干</t></si>
<si><r><rPr><b/></rPr><t>第一行</t></r><r><t xml:space="preserve">
第二行</t></r></si>
<si><t>東京</t><rPh sb="0" eb="2"><t>トウキョウ</t></rPh></si></sst>)";
    const QString path = Write("q.xlsx", Workbook(R"(
<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="inlineStr"><is><t>选项 A</t></is></c><c r="D1"><v>1</v></c></row>
<row r="2"><c r="A2" s="3"/></row>
<row r="4"><c r="B4"><v>0.5</v></c><c r="C4" t="s"><v>1</v></c><c r="E4" t="b"><v>1</v></c><c r="F4" t="s"><v>2</v></c></row>
<row r="5"><c r="XFD5" t="str"><f>A1</f><v>最后一列</v></c></row>)",
                                                  shared));
    QString error;
    const std::vector<Row> rows = ReadRows(path, Limits{}, &error);
    EXPECT_EQ(error, QString());
    QStringList last(16384);
    last.back() = "最后一列";
    const std::vector<Row> expected{
        {1, {"题干", "选项 A", "", "1"}},
        {4, {"", "0.5", "第一行\n第二行", "", "TRUE", "東京"}},
        {5, last},
    };
    EXPECT_EQ(rows, expected);

    // onRow answering false stops the reading, without an error.
    error.clear();
    EXPECT_EQ(ReadRows(path, Limits{}, &error, 1).size(), 1u);
    EXPECT_EQ(error, QString());
}

TEST_F(Containers, XlsxRefusedWithAReason) {
    QString error;
    const QString big =
        Write("big.xlsx", Workbook(QByteArray(100000, ' ') + R"(<row r="1"><c r="A1"><v>1</v></c></row>)"));
    Limits tiny;
    tiny.maxEntryBytes = 10000;
    EXPECT_TRUE(ReadRows(big, tiny, &error).empty());
    EXPECT_EQ(error, "文件太大或解压后过大，已拒绝（一个部件解压后最多 9 KB，全部最多 256 MB）");

    // Each entry under its limit, together over the total.
    const QString shared =
        R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>x</t></si>)" +
        QString(6000, ' ') + "</sst>";
    const QString two =
        Write("two.xlsx", Workbook(R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)" + QByteArray(6000, ' '),
                                   shared.toUtf8()));
    error.clear();
    EXPECT_EQ(ReadRows(two, Limits{}, &error).size(), 1u);
    tiny.maxTotalBytes = 10000;
    EXPECT_TRUE(ReadRows(two, tiny, &error).empty());
    EXPECT_TRUE(error.startsWith("文件太大或解压后过大，已拒绝")) << error.toStdString();

    // A short text shared by many rows counts at every use: refused at once, with the limit named.
    QByteArray rows = R"(<row r="1"><c r="A1" t="inlineStr"><is><t>题干</t></is></c></row>)";
    for (int r = 2; r <= 60; ++r)
        rows += QStringLiteral(R"(<row r="%1"><c r="A%1" t="s"><v>0</v></c></row>)").arg(r).toUtf8();
    const QString amplified = Write(
        "shared.xlsx",
        Workbook(rows, R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>)" +
                           QByteArray(30000, 'x') + "</t></si></sst>"));
    Limits budget;
    budget.maxTotalChars = 1000000;
    QElapsedTimer clock;
    clock.start();
    const ParsedFile f = ReadImportFile(amplified, budget);
    EXPECT_LT(clock.elapsed(), 1000);
    ASSERT_FALSE(f.problems.empty());
    EXPECT_TRUE(f.problems.back().fatal);
    EXPECT_EQ(f.problems.back().text, "表格中的文字超过 100 万字，文件太大，未读入");
    EXPECT_LT(f.records.size(), 40u);

    Limits fewEntries;
    fewEntries.maxEntries = 3;
    EXPECT_TRUE(ReadRows(two, fewEntries, &error).empty());
    EXPECT_EQ(error, "文件中的条目太多（超过 3 个），已拒绝");

    const QString notZip = dir_.filePath("junk.xlsx");
    QFile junk(notZip);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("题目,答案\n1,A\n");
    junk.close();
    EXPECT_FALSE(ReadXlsxRows(
        notZip, Limits{}, [](int, const QStringList&) { return true; }, &error));
    EXPECT_EQ(error, "文件不是有效的 Excel 工作簿（.xlsx）");

    const QString noSheets = Write("empty.xlsx", {{"xl/workbook.xml", "<workbook><sheets/></workbook>"}});
    EXPECT_TRUE(ReadRows(noSheets, Limits{}, &error).empty());
    EXPECT_EQ(error, "工作簿中没有工作表");

    const QString dtd = Write("dtd.xlsx", {{"xl/worksheets/sheet1.xml",
                                            R"(<?xml version="1.0"?><!DOCTYPE worksheet [<!ENTITY a "aaaa">]>
<worksheet><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>&a;</t></is></c></row></sheetData></worksheet>)"}});
    EXPECT_TRUE(ReadRows(dtd, Limits{}, &error).empty());
    EXPECT_EQ(error, "文件不是有效的 Excel 工作簿（.xlsx）：含有 DTD，已拒绝");

    Limits shallow;
    shallow.maxXmlDepth = 4; // worksheet, sheetData, row, c: <v> is one too deep
    EXPECT_TRUE(ReadRows(big, shallow, &error).empty());
    EXPECT_EQ(error, "文件不是有效的 Excel 工作簿（.xlsx）：XML 嵌套过深");

    EXPECT_FALSE(ReadXlsxRows(
        dir_.filePath("none.xlsx"), Limits{}, [](int, const QStringList&) { return true; }, &error));
    EXPECT_TRUE(error.startsWith("找不到文件")) << error.toStdString();
}

const char kPng[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0\x1f\x15\xc4\x89"
                    "\0\0\0\nIDATx\x9c"
                    "c\0\x01\0\0\x05\0\x01\r\n-\xb4\0\0\0\0IEND\xae\x42`\x82";

QByteArray Para(const QByteArray& numbering, const QByteArray& runs) {
    const QByteArray pPr = numbering.isEmpty()
                               ? QByteArray()
                               : "<w:pPr><w:pStyle w:val=\"a\"/><w:numPr>" + numbering + "</w:numPr></w:pPr>";
    return "<w:p>" + pPr + runs + "</w:p>";
}
QByteArray Num(int numId, int ilvl) {
    return "<w:ilvl w:val=\"" + QByteArray::number(ilvl) + "\"/><w:numId w:val=\"" +
           QByteArray::number(numId) + "\"/>";
}
QByteArray R(const QByteArray& text, const QByteArray& rPr = {}) {
    return "<w:r>" + (rPr.isEmpty() ? QByteArray() : "<w:rPr>" + rPr + "</w:rPr>") +
           "<w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
}
QByteArray Picture(const QByteArray& id) {
    return R"(<w:r><w:drawing><wp:inline><wp:docPr id="1" name="图片 1"/><a:graphic><a:graphicData><pic:pic>
<pic:blipFill><a:blip r:embed=")" +
           id + R"("/></pic:blipFill></pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>)";
}

TEST_F(Containers, DocxLinesKeepNumberingFormatAndPictures) {
    const QByteArray body =
        Para(Num(1, 0), R("水的化学式是 H") + R("2", "<w:vertAlign w:val=\"subscript\"/>") +
                            R("O，面积单位 m") + R("2", "<w:vertAlign w:val=\"superscript\"/>")) +
        Para(Num(1, 1), R("正确", "<w:b/>") + R(" 选项 &amp; &lt;x&gt; \"", "<w:b w:val=\"0\"/>")) +
        Para(Num(1, 1), R("错误")) + Para({}, {}) +
        Para(Num(1, 0), "<w:r><w:t>看图</w:t><w:tab/><w:t>作答</w:t><w:br/><w:t>第二行</w:t></w:r>" +
                            Picture("rIdPic")) +
        Para(Num(1, 1), R("甲")) + Para(Num(2, 0), R("坏图") + Picture("rIdBad")) + "<w:tbl><w:tr><w:tc>" +
        Para({}, R("格一")) + "</w:tc><w:tc>" + Para({}, R("格二")) + "</w:tc></w:tr></w:tbl>";
    const QByteArray document =
        R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"
 xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"
 xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"
 xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main"
 xmlns:pic="http://schemas.openxmlformats.org/drawingml/2006/picture"><w:body>)" +
        body + "</w:body></w:document>";
    const QByteArray numbering =
        R"(<w:numbering xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">
<w:abstractNum w:abstractNumId="0">
 <w:lvl w:ilvl="0"><w:start w:val="1"/><w:numFmt w:val="decimal"/><w:lvlText w:val="%1."/></w:lvl>
 <w:lvl w:ilvl="1"><w:start w:val="1"/><w:numFmt w:val="upperLetter"/><w:lvlText w:val="%2."/></w:lvl>
</w:abstractNum>
<w:abstractNum w:abstractNumId="1">
 <w:lvl w:ilvl="0"><w:start w:val="5"/><w:numFmt w:val="decimal"/><w:lvlText w:val="%1、"/><w:suff w:val="nothing"/></w:lvl>
</w:abstractNum>
<w:num w:numId="1"><w:abstractNumId w:val="0"/></w:num>
<w:num w:numId="2"><w:abstractNumId w:val="1"/></w:num>
</w:numbering>)";
    const QByteArray rels =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rIdPic" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/image" Target="media/image1.png"/>
<Relationship Id="rIdBad" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/image" Target="media/image2.png"/>
</Relationships>)";
    const QByteArray png(kPng, sizeof kPng - 1);
    const QString path = Write("q.docx", {{"word/document.xml", document},
                                          {"word/numbering.xml", numbering},
                                          {"word/_rels/document.xml.rels", rels},
                                          {"word/media/image1.png", png},
                                          {"word/media/image2.png", "不是图片"}});
    std::vector<Text> lines;
    Pictures pictures;
    QString error;
    int leftOut = -1;
    ASSERT_TRUE(ReadDocxLines(path, Limits{}, lines, pictures, &error, &leftOut)) << error.toStdString();
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures.begin()->second.bytes, png);
    const QString src = "../images/bank/" + pictures.begin()->first + ".png";
    QStringList got;
    for (const Text& t : lines) {
        EXPECT_TRUE(t.html);
        got.append(t.value);
    }
    const QStringList expected{
        "1. 水的化学式是 H<sub>2</sub>O，面积单位 m<sup>2</sup>",
        "A. <b>正确</b> 选项 &amp; &lt;x&gt; &quot;",
        "B. 错误",
        "",
        "2. 看图 作答<br>第二行<img src=\"" + src + "\">",
        "A. 甲",
        "5、坏图",
        "格一",
        "格二",
    };
    EXPECT_EQ(got, expected);
    EXPECT_EQ(leftOut, 1);
}

TEST_F(Containers, DocxRefusedWithAReason) {
    std::vector<Text> lines;
    Pictures pictures;
    QString error;
    const QString notZip = dir_.filePath("junk.docx");
    QFile junk(notZip);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("PK\x03\x04 but nothing after");
    junk.close();
    EXPECT_FALSE(ReadDocxLines(notZip, Limits{}, lines, pictures, &error));
    EXPECT_EQ(error, "文件不是有效的 Word 文档（.docx）");

    // A workbook is a valid container, but no document.
    const QString workbook = Write("q.xlsx", Workbook(R"(<row r="1"><c r="A1"><v>1</v></c></row>)"));
    EXPECT_FALSE(ReadDocxLines(workbook, Limits{}, lines, pictures, &error));
    EXPECT_EQ(error, "文件不是有效的 Word 文档（.docx）");

    // Entry names are exact: a document under another case is not the document.
    const QString wrongCase = Write("case.docx", {{"Word/Document.xml", "<w:document/>"}});
    EXPECT_FALSE(ReadDocxLines(wrongCase, Limits{}, lines, pictures, &error));
    EXPECT_EQ(error, "文件不是有效的 Word 文档（.docx）");

    const QString bomb =
        Write("bomb.docx", {{"word/document.xml", "<document>" + QByteArray(1 << 20, ' ') + "</document>"}});
    Limits tiny;
    tiny.maxEntryBytes = 1 << 16;
    EXPECT_FALSE(ReadDocxLines(bomb, tiny, lines, pictures, &error));
    EXPECT_EQ(error, "文件太大或解压后过大，已拒绝（一个部件解压后最多 64 KB，全部最多 256 MB）");
    EXPECT_TRUE(lines.empty());
}

} // namespace
