#include "platform/SysColor.h"

#include <QGuiApplication>
#include <QPalette>

namespace {
std::uint32_t pack(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
           static_cast<std::uint32_t>(c.blue()) << 16;
}

QPalette::ColorRole roleOf(int index, bool& known) {
    known = true;
    switch (index) {
    case 5:
        return QPalette::Base; // COLOR_WINDOW
    case 8:
        return QPalette::Text; // COLOR_WINDOWTEXT
    case 13:
        return QPalette::Highlight; // COLOR_HIGHLIGHT
    case 14:
        return QPalette::HighlightedText; // COLOR_HIGHLIGHTTEXT
    case 15:
        return QPalette::Button; // COLOR_BTNFACE
    case 16:
        return QPalette::Mid; // COLOR_BTNSHADOW
    case 18:
        return QPalette::ButtonText; // COLOR_BTNTEXT
    case 20:
        return QPalette::Light; // COLOR_BTNHIGHLIGHT
    case 21:
        return QPalette::Shadow; // COLOR_3DDKSHADOW
    case 23:
        return QPalette::ToolTipText; // COLOR_INFOTEXT
    case 24:
        return QPalette::ToolTipBase; // COLOR_INFOBK
    case 26:
        return QPalette::Link; // COLOR_HOTLIGHT
    default:
        known = false;
        return QPalette::Window;
    }
}
} // namespace

std::uint32_t SysColorToRgb(int index) {
    bool known = false;
    QPalette::ColorRole role = roleOf(index, known);
    QPalette palette = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                           ? QGuiApplication::palette()
                           : QPalette(Qt::lightGray);
    if (!known) role = QPalette::Window;
    return pack(palette.color(QPalette::Active, role));
}
