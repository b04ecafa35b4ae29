// The history writes and looks up its times as Jet date literals. Any text
// must come through without a crash; text without a literal must come through
// unchanged; a literal built from the input must become the stored form of a
// real calendar day, or be left alone when it names none.
#include "FuzzSupport.h"
#include "store/SqlText.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {
bool isLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysIn(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

// Every quoted 'yyyy-MM-dd HH:mm:ss' the translation wrote names a real time.
void checkStoredTimes(const std::string& out) {
    for (size_t p = out.find('\''); p != std::string::npos; p = out.find('\'', p + 1)) {
        if (p + 20 >= out.size() || out[p + 20] != '\'') continue;
        int y, mo, d, h, mi, s;
        char tail;
        if (std::sscanf(out.c_str() + p, "'%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) !=
                7 ||
            tail != '\'')
            continue;
        FUZZ_CHECK(mo >= 1 && mo <= 12 && d >= 1 && d <= daysIn(y, mo) && h < 24 && mi < 60 && s < 60, "%s",
                   out.c_str());
    }
}

// Input bytes as a little literal generator: numbers, then the blanks between them.
struct Reader {
    const std::uint8_t* p;
    size_t left;
    unsigned next() {
        if (left == 0) return 0;
        --left;
        return *p++;
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string out = TranslateJetDates(text);
    if (text.find('#') == std::string_view::npos) FUZZ_CHECK(out == text, "%s", out.c_str());
    checkStoredTimes(out);

    Reader r{data, size};
    const int month = static_cast<int>(r.next() % 14);
    const int day = static_cast<int>(r.next() % 33);
    const int year = 1990 + static_cast<int>(r.next() % 120);
    const int hour = static_cast<int>(r.next() % 25);
    const int minute = static_cast<int>(r.next() % 61);
    const int second = static_cast<int>(r.next() % 61);
    const unsigned shape = r.next();
    static const char* const blanks[] = {"", " ", "\n", "\r\n ", "\t"};
    auto blank = [&] { return std::string(blanks[r.next() % 5]); };

    std::string literal =
        blank() + std::to_string(month) + "/" + std::to_string(day) + "/" + std::to_string(year);
    const bool withTime = shape & 1;
    if (withTime)
        literal += blank() + " " + std::to_string(hour) + ":" + std::to_string(minute) + ":" +
                   std::to_string(second);
    literal += blank();
    const std::string sql = "SELECT * FROM 测试结果 WHERE 测试时间=#" + literal + "#";
    const std::string got = TranslateJetDates(sql);

    const bool valid = month >= 1 && month <= 12 && day >= 1 && day <= daysIn(year, month) &&
                       (!withTime || (hour < 24 && minute < 60 && second < 60));
    if (valid) {
        const std::string stored = withTime ? StoredDateTimeText(year, month, day, hour, minute, second)
                                            : StoredDateTimeText(year, month, day, 0, 0, 0);
        FUZZ_CHECK(got == "SELECT * FROM 测试结果 WHERE 测试时间='" + stored + "'", "%s", got.c_str());
    } else {
        FUZZ_CHECK(got == sql, "%s", got.c_str());
    }
    // Inside quoted text nothing is a literal.
    const std::string quoted = "x='#" + literal + "#'";
    FUZZ_CHECK(TranslateJetDates(quoted) == quoted, "%s", quoted.c_str());
    return 0;
}
