#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// A screen colour: red in the low byte, then green, then blue. A negative value
// names a system colour by the index in its low byte.
using TColor = std::int32_t;

// "#RRGGBB" with upper-case hexadecimal digits; a system colour gives its current value.
std::string ColorToHtml(TColor color);

// Never fails: unreadable parts of the text give 0.
TColor HtmlToColor(std::string_view text);
