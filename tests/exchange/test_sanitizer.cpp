// Imported texts are rebuilt from an allow-list: what is not on it leaves at
// most its text behind, and the bank's own markup comes through unchanged.
#include "exchange/Pictures.h"
#include "exchange/Sanitizer.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <ostream>

// Found by gtest through QString's namespace, so that failures read as text.
void PrintTo(const QString& s, std::ostream* os) {
    *os << s.toStdString();
}

using namespace exchange;
using namespace Qt::StringLiterals;

namespace {

struct SanitizerTest : ::testing::Test {
    SanitizerTest() {
        src =
            AddPicture(pictures, QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(64, 'p'), Limits{}, nullptr);
    }
    Pictures pictures;
    QString src; // the one picture this import brought in
};

TEST_F(SanitizerTest, HostileMarkupLeavesOnlyItsText) {
    const QString unknown = "../images/bank/" + QString(64, QChar(u'a')) + ".png";
    const QString hostile =
        "<p onclick=\"steal()\">题干<script>alert(1)</script><img src=x onerror=\"alert(2)\">"
        "<a href=\"javascript:alert(3)\">链接</a><iframe src=\"http://evil/\">框</iframe>"
        "<style>p{background:url(http://evil/)}</style><img src=\"http://evil/a.png\">"
        "<img src=\"" +
        unknown + "\"><img src=\"data:image/png;base64,iVBO\"><img src=\"" +
        QString(src).replace(".png", ".gif") + "\"><img src=\"" + src +
        "\" onload=\"alert(4)\" style=\"x\"></p>"
        "<form action=\"http://evil/\"><input value=\"v\">表单<button>按</button></form><!-- 注释 -->"
        "<svg><text>s</text></svg><div id=\"d\" class=\"c\"><font color=\"red\">尾</font></div>"
        "<span style=\"color:red\" class=\"k\">!</span>";
    EXPECT_EQ(SanitizeHtml(hostile, pictures), "<p>题干链接<img src=\"" + src + "\"></p>尾<span>!</span>");
    // Text comes out escaped, entities as characters; outer whitespace goes.
    EXPECT_EQ(SanitizeHtml(u" \n a &amp; b &lt;script&gt; \"q\"&nbsp;c \n"_s, pictures),
              "a &amp; b &lt;script&gt; &quot;q&quot;\u00a0c");
    EXPECT_EQ(SanitizeHtml(u"<script>x</script><!-- y -->"_s, pictures), QString());
}

TEST_F(SanitizerTest, BankMarkupSurvives) {
    const QString bank = "光速约为3×10<sup>8</sup>米/秒，H<sub>2</sub>O<br><b>注意</b><i>斜</i><p>段</p>"
                         "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\"><tbody><tr><th>行业</th>"
                         "<th colspan=\"2\">收入</th></tr><tr><td rowspan=\"2\"><span>电子</span></td>"
                         "<td>1420</td><td>12.4</td></tr></tbody></table><ul><li>一</li><li>二</li></ul>"
                         "<img src=\"" +
                         src + "\" width=\"120\" height=\"80\">";
    EXPECT_EQ(SanitizeHtml(bank, pictures), bank);
    // Attribute values out of range go; a table without tbody gets one.
    EXPECT_EQ(SanitizeHtml("<table border=\"999\" cellpadding=\"4\"><tr><td colspan=\"0\" rowspan=\"x\">1"
                           "</td></tr></table><img src=\"" +
                               src + "\" width=\"100%\">",
                           pictures),
              "<table cellpadding=\"4\"><tbody><tr><td>1</td></tr></tbody></table><img src=\"" + src + "\">");
}

TEST_F(SanitizerTest, PlainTextIsEscapedWithItsLineBreaks) {
    EXPECT_EQ(PlainToHtml(u"a<b> & \"c\"\r\nd\re\nf\n\ng"_s),
              "a&lt;b&gt; &amp; &quot;c&quot;<br>d<br>e<br>f<br><br>g");
    EXPECT_EQ(ToBankHtml(Text{u"<b>x</b>\n"_s, false}, pictures), "&lt;b&gt;x&lt;/b&gt;<br>");
    EXPECT_EQ(ToBankHtml(Text{u"<b onclick=\"y()\">x</b>\n"_s, true}, pictures), "<b>x</b>");
}

TEST_F(SanitizerTest, DeepNestingBecomesText) {
    QString deep = u"<b>"_s.repeated(100000) + "深";
    const QString bs = SanitizeHtml(deep, pictures);
    EXPECT_EQ(bs.count(u"<b>"_s), 100);
    EXPECT_EQ(bs.count(u"</b>"_s), 100);
    EXPECT_TRUE(bs.contains(u"深"_s));
    // Blocks nested this deep cost the parser time in the square of their
    // number unless it is handed only so many tags.
    QElapsedTimer timer;
    timer.start();
    const QString divs = SanitizeHtml(u"<div>"_s.repeated(100000) + "<b>深</b>", pictures);
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(divs, "深");
}

} // namespace
