// Colour texts come from the settings table, which users and old versions
// have edited by hand: any text must give a plain RGB value, and the text the
// program writes must read back as the same colour.
#include "FuzzSupport.h"
#include "render/Colors.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TColor c = HtmlToColor(text);
    FUZZ_CHECK(c >= 0 && c <= 0xFFFFFF, "%.*s gave %d", static_cast<int>(size), text.data(), c);

    // A colour read from any text writes out as the text that reads back as it.
    const std::string html = ColorToHtml(c);
    FUZZ_CHECK(HtmlToColor(html) == c, "%s", html.c_str());

    // The first three bytes as a colour: the written form survives the quoting
    // and padding the settings files carry.
    if (size >= 3) {
        const TColor rgb = data[0] | data[1] << 8 | data[2] << 16;
        const std::string written = ColorToHtml(rgb);
        FUZZ_CHECK(HtmlToColor(written) == rgb, "%s", written.c_str());
        FUZZ_CHECK(HtmlToColor("\"" + written + "\"") == rgb, "%s", written.c_str());
    }
    return 0;
}
