#include "store/SqlText.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <vector>

std::string QuotedStr(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 2);
    out += '\'';
    for (char c : value) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

std::string SqlNumber(double value) {
    // %g would follow LC_NUMERIC, which Qt sets from the environment: under a
    // comma locale "4,5" would split one value into two.
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return std::string(buf, r.ptr);
}

std::string LikeContains(std::string_view text) {
    std::string pattern;
    pattern.reserve(text.size() + 8);
    pattern += '%';
    for (char c : text) {
        if (c == '%' || c == '_' || c == '\\') pattern += '\\';
        pattern += c;
    }
    pattern += '%';
    return QuotedStr(pattern) + " ESCAPE '\\'";
}

std::string StoredDateTimeText(int year, int month, int day, int hour, int minute, int second) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
    return buf;
}

namespace {
// Parses "m/d/yyyy[ h:m[:s]]" with any whitespace (line breaks included) around
// the parts. Returns false unless the whole text is such a date.
bool parseJetDate(std::string_view s, std::string& out) {
    std::vector<int> nums;
    std::vector<char> seps;
    size_t i = 0;
    auto skipSpace = [&] {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
            ++i;
    };
    skipSpace();
    while (i < s.size()) {
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
        int v = 0, digits = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            if (++digits > 4) return false;
            v = v * 10 + (s[i++] - '0');
        }
        nums.push_back(v);
        size_t before = i;
        skipSpace();
        if (i >= s.size()) break;
        if (s[i] == '/' || s[i] == ':') {
            seps.push_back(s[i++]);
            skipSpace();
        } else if (i > before) {
            seps.push_back(' ');
        } else {
            return false;
        }
    }
    const std::string shape(seps.begin(), seps.end());
    if (shape != "//" && shape != "// :" && shape != "// ::") return false;
    if (nums.size() != seps.size() + 1) return false; // "1/2/" ends in a separator: no year
    int month = nums[0], day = nums[1], year = nums[2];
    int hour = nums.size() > 3 ? nums[3] : 0, minute = nums.size() > 4 ? nums[4] : 0;
    int second = nums.size() > 5 ? nums[5] : 0;
    if (month < 1 || month > 12 || year < 100 || hour > 23 || minute > 59 || second > 59) return false;
    // A day the month does not have would be stored as a time that never was.
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day < 1 || day > (month == 2 && leap ? 29 : kDays[month - 1])) return false;
    out = StoredDateTimeText(year, month, day, hour, minute, second);
    return true;
}
} // namespace

std::string TranslateJetDates(std::string_view sql) {
    if (sql.find('#') == std::string_view::npos) return std::string(sql);
    std::string out;
    out.reserve(sql.size() + 8);
    bool inQuote = false;
    for (size_t i = 0; i < sql.size(); ++i) {
        char c = sql[i];
        if (c == '\'') inQuote = !inQuote;
        if (c == '#' && !inQuote) {
            size_t close = sql.find('#', i + 1);
            std::string text;
            if (close != std::string_view::npos && parseJetDate(sql.substr(i + 1, close - i - 1), text)) {
                out += QuotedStr(text);
                i = close;
                continue;
            }
        }
        out += c;
    }
    return out;
}
