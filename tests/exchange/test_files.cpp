// Files saved by the programs people use (tests/exchange/files, remade by its
// make.sh): each reads to the questions and keys it holds.
#include "exchange/ImportFile.h"

#include <QFile>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace exchange;

namespace {
QString filesDir() {
    return QStringLiteral(QUILLORA_SOURCE_DIR "/tests/exchange/files/");
}

struct Expected {
    const char* file;
    const char* keys;     // the records' keys in order, one letter string each, joined by spaces
    const char* sections; // the records' sections, joined by spaces ("" when none)
    int options;          // the first record's options
    int pictures;         // pictures the file brings
};

const Expected kFiles[] = {
    {"sheet.xlsx", "B B A C A", "", 4, 0},
    {"sheet.xls", "B B A C A", "", 4, 0},
    {"sheet.ods", "B B A C A", "", 4, 0},
    {"sheet.csv", "B B A C A", "", 4, 0},
    {"numbered.docx", "B B C", "", 4, 0},
    {"numbered.doc", "B B C", "", 4, 0}, // through LibreOffice
    {"paper.docx", "B C C B C", "常识判断 判断推理 资料分析 资料分析 资料分析", 4, 1},
    {"paper.pdf", "B C C B C", "常识判断 判断推理 资料分析 资料分析 资料分析", 4, 1},
    {"twocol.pdf", "B C A D A B C D A B B C A D A B C D A B B C A D A B C D A B", "", 4, 0},
    {"photo.pdf", "A", "", 2, 1},
    {"marks.docx", "B", "", 4, 0},
};
} // namespace

TEST(RealFiles, EachReadsToItsQuestionsAndKeys) {
    for (const Expected& e : kFiles) {
        SCOPED_TRACE(e.file);
        const ParsedFile f = ReadImportFile(filesDir() + QString::fromUtf8(e.file));
        for (const Problem& p : f.problems)
            EXPECT_FALSE(p.fatal) << p.text.toStdString();
        QStringList keys, sections;
        for (const Record& r : f.records) {
            keys << r.key;
            if (!r.section.isEmpty()) sections << r.section;
        }
        EXPECT_EQ(keys.join(u' ').toStdString(), e.keys);
        EXPECT_EQ(sections.join(u' ').toStdString(), e.sections);
        ASSERT_FALSE(f.records.empty());
        EXPECT_EQ(f.records[0].options.size(), static_cast<size_t>(e.options));
        EXPECT_EQ(f.pictures.size(), static_cast<size_t>(e.pictures));
        if (QString::fromUtf8(e.file) == u"twocol.pdf") {
            // Read column by column, the running head and page numbers gone, a
            // stem that wraps in its column joined.
            for (size_t i = 0; i < f.records.size(); ++i)
                EXPECT_EQ(f.records[i].number, static_cast<int>(i) + 1);
            for (const Record& r : f.records)
                EXPECT_FALSE(r.stem.value.contains(u"模拟卷") || r.options.back().value.contains(u"页"));
            EXPECT_EQ(f.records[9].stem.value.toStdString(),
                      "下列关于第10个问题的说法中，正确的一项是哪一个选项呢，请仔细阅读后作答（）");
        }
        if (QString::fromUtf8(e.file) == u"marks.docx") {
            // What the page shows: a field's result, not its code; no deleted text; a
            // no-break hyphen as one; a tab and a line break between options.
            EXPECT_EQ(f.records[0].stem.value.toStdString(), "2024-2025 学年第 1 页：下列说法正确的是（）");
            QStringList options;
            for (const Text& o : f.records[0].options)
                options << o.value;
            EXPECT_EQ(options.join(u'|').toStdString(), "甲说|乙说|丙说|丁说");
        }
        if (QString::fromUtf8(e.file) == u"photo.pdf") {
            // The JPEG the PDF embeds, as it is (1,697 bytes, as pdfimages -j writes it), not a rendering.
            ASSERT_EQ(f.pictures.begin()->second.ext, "jpg");
            EXPECT_TRUE(f.records[0].stem.value.contains(f.pictures.begin()->first));
            EXPECT_EQ(f.pictures.begin()->second.bytes.size(), 1697);
        }
        if (QString::fromUtf8(e.file) == u"paper.pdf") {
            // The embedded grey figure at its own 240 by 80 pixels, not rendered at twice the page's size.
            const QImage figure = QImage::fromData(f.pictures.begin()->second.bytes);
            EXPECT_EQ(figure.size(), QSize(240, 80));
        }
        if (QString::fromUtf8(e.file).startsWith(u"paper")) {
            // The figure where it stood, in the stem of question 2; 3 to 5 share their material.
            EXPECT_TRUE(f.records[1].stem.value.contains(u"<img")) << f.records[1].stem.value.toStdString();
            EXPECT_TRUE(f.records[1].options.size() == 4 && !f.records[1].options[3].value.contains(u"<img"));
            EXPECT_FALSE(f.records[2].groupId.isEmpty());
            EXPECT_EQ(f.records[4].groupId, f.records[2].groupId);
            EXPECT_TRUE(f.records[2].material.value.contains(u"1200亿元"))
                << f.records[2].material.value.toStdString();
            EXPECT_TRUE(f.records[0].explanation.value.contains(u"青海湖"));
        }
    }
}

TEST(RealFiles, WhatCannotBeReadSaysWhy) {
    const auto why = [](const QString& file) {
        const ParsedFile f = ReadImportFile(filesDir() + file);
        for (const Problem& p : f.problems)
            if (p.fatal) return p.text;
        return QString();
    };
    EXPECT_TRUE(why(QStringLiteral("scan.pdf")).contains(u"没有文字"))
        << why(QStringLiteral("scan.pdf")).toStdString();
    qputenv("QUILLORA_SOFFICE", "/nonexistent/soffice");
    const QString doc = why(QStringLiteral("numbered.doc"));
    qunsetenv("QUILLORA_SOFFICE");
    EXPECT_TRUE(doc.contains(u"另存为 .docx") && doc.contains(u"LibreOffice")) << doc.toStdString();
    // A sheet whose header names no stem: what was looked for and what the first row holds.
    QTemporaryDir dir;
    QFile csv(dir.filePath(QStringLiteral("题.csv")));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("序号,内容,答案\n1,天是蓝的,A\n");
    csv.close();
    const ParsedFile f = ReadImportFile(csv.fileName());
    ASSERT_FALSE(f.problems.empty());
    EXPECT_TRUE(f.problems.back().fatal);
    EXPECT_TRUE(f.problems.back().text.contains(u"题干") &&
                f.problems.back().text.contains(u"序号、内容、答案"))
        << f.problems.back().text.toStdString();
    // Read with the user's word on its columns (the dialog's choice, examdb's --columns).
    ColumnChoice choice;
    QString error;
    ASSERT_TRUE(ParseColumnChoice(QStringLiteral("题干=内容，不导入=序号"), choice, &error))
        << error.toStdString();
    const ParsedFile chosen = ReadImportFile(csv.fileName(), {}, choice);
    ASSERT_EQ(chosen.records.size(), 1u);
    EXPECT_EQ(chosen.records[0].stem.value, "天是蓝的");
    EXPECT_EQ(chosen.records[0].key, "A");
    EXPECT_TRUE(chosen.problems.empty());
    EXPECT_FALSE(ParseColumnChoice(QStringLiteral("题目=内容"), choice, &error));
}
