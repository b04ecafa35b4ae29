#include "render/Colors.h"

#include "platform/SysColor.h"

#include <QString>
#include <cstdio>

std::string ColorToHtml(TColor color) {
    std::uint32_t rgb = color < 0 ? SysColorToRgb(color & 0xFF) : static_cast<std::uint32_t>(color);
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%.2X%.2X%.2X", rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
    return buf;
}

namespace {
int hexPiece(const QString& piece) {
    if (piece.isEmpty()) return 0;
    int v = 0;
    for (QChar c : piece) {
        int d;
        if (c >= u'0' && c <= u'9')
            d = c.unicode() - u'0';
        else if (c >= u'a' && c <= u'f')
            d = c.unicode() - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            d = c.unicode() - u'A' + 10;
        else
            return 0;
        v = v * 16 + d;
    }
    return v & 0xFF;
}
} // namespace

TColor HtmlToColor(std::string_view text) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.remove(u'#');
    s.replace(QStringLiteral("   "), QString());
    s.remove(u'"');
    const int r = hexPiece(s.mid(0, 2));
    const int g = hexPiece(s.mid(2, 2));
    const int b = hexPiece(s.mid(4, 2));
    return static_cast<TColor>(r | g << 8 | b << 16);
}
