#include "platform/Gbk.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

TEST(GbkText, WritesLinesInGbkWithCrLfAndNoBom) {
    TestInstall dir({}, false);
    const std::string path = dir.Path("page.html");
    {
        GbkTextFile f(path);
        f.Writeln("<title>试题库</title>");
        f.Writeln("");
        f.Writeln("plain ascii");
        f.Close();
    }
    const std::string bytes = ReadFileBytes(path);
    // 试题库 in GBK is CA D4 CC E2 BF E2.
    EXPECT_EQ(bytes, "<title>\xCA\xD4\xCC\xE2\xBF\xE2</title>\r\n\r\nplain ascii\r\n");
    EXPECT_EQ(GbkToUtf8(bytes), "<title>试题库</title>\r\n\r\nplain ascii\r\n");
}

TEST(GbkText, CharactersGbkCannotHoldBecomeQuestionMarks) {
    // An emoji and a Korean syllable have no GBK form; the text around them survives.
    EXPECT_EQ(Utf8ToGbk("a😀b한c"), "a?b?c");
    EXPECT_EQ(GbkToUtf8(Utf8ToGbk("资料分析 — “引号”")), "资料分析 — “引号”");
    // A broken UTF-8 byte does not stop the conversion either.
    EXPECT_EQ(Utf8ToGbk(std::string("x\xFFy")), "x?y");
    // An overlong form of 一 or of 'A', or a lone surrogate, is no character:
    // one '?' per byte, never the character it would smuggle in.
    EXPECT_EQ(Utf8ToGbk(std::string("a\xF0\x84\xB8\x80"
                                    "b")),
              "a????b");
    EXPECT_EQ(Utf8ToGbk(std::string("\xE0\x81\x81|\xED\xA0\x80")), "???|???");
}

TEST(GbkText, LargeOutputIsFlushedCompletely) {
    TestInstall dir({}, false);
    const std::string path = dir.Path("big.txt");
    std::string expected;
    {
        GbkTextFile f(path);
        for (int i = 0; i < 20000; ++i) {
            f.Writeln("第" + std::to_string(i) + "行");
            expected += Utf8ToGbk("第" + std::to_string(i) + "行") + "\r\n";
        }
    } // the destructor closes
    EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST(GbkText, UnwritableFileIsAnError) {
    EXPECT_THROW(GbkTextFile("/nonexistent-folder/x.html"), std::runtime_error);
    TestInstall dir({}, false);
    GbkTextFile f(dir.Path("x.html"));
    f.Close();
    EXPECT_THROW(f.Writeln("after close"), std::runtime_error);
}
