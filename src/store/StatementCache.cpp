#include "store/StatementCache.h"

#include "store/AdoConnection.h"
#include "store/DatabaseError.h"

#include <algorithm>
#include <cctype>
#include <sqlite3.h>

namespace {
constexpr size_t kCapacity = 48;
constexpr size_t kMaxLiterals = 64; // long IN lists are one-off texts: not worth a parameter each
constexpr size_t kMaxCachedText = 4096;

bool identChar(unsigned char c) {
    return std::isalnum(c) || c == '_' || c >= 0x80;
}

bool wordAt(std::string_view s, size_t i, std::string_view word) {
    if (i + word.size() > s.size() || (i > 0 && identChar(static_cast<unsigned char>(s[i - 1]))))
        return false;
    for (size_t k = 0; k < word.size(); ++k)
        if (std::toupper(static_cast<unsigned char>(s[i + k])) != word[k]) return false;
    return i + word.size() == s.size() || !identChar(static_cast<unsigned char>(s[i + word.size()]));
}

// The last word before position i, upper-cased (skipping blanks).
std::string previousWord(std::string_view s, size_t i) {
    while (i > 0 && std::isspace(static_cast<unsigned char>(s[i - 1])))
        --i;
    size_t end = i;
    while (i > 0 && identChar(static_cast<unsigned char>(s[i - 1])))
        --i;
    std::string w(s.substr(i, end - i));
    for (char& c : w)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return w;
}

// The character before position i, skipping blanks; 0 at the start.
char previousChar(std::string_view s, size_t i) {
    while (i > 0 && std::isspace(static_cast<unsigned char>(s[i - 1])))
        --i;
    return i > 0 ? s[i - 1] : '\0';
}

bool isDigit(std::string_view s, size_t i) {
    return i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]));
}

// End of the numeric token that starts at i, as the SQL tokenizer reads it:
// digits, a fraction, an exponent. Only a plain integer may become a parameter.
size_t numberEnd(std::string_view s, size_t i, bool& plainInteger) {
    size_t j = i;
    while (isDigit(s, j))
        ++j;
    const size_t digits = j - i;
    bool plain = true;
    if (j < s.size() && s[j] == '.') {
        plain = false;
        for (++j; isDigit(s, j);)
            ++j;
    }
    if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
        size_t k = j + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
        if (isDigit(s, k)) {
            plain = false;
            for (j = k; isDigit(s, j);)
                ++j;
        }
    }
    plainInteger = plain && digits <= 18 && (j == s.size() || !identChar(static_cast<unsigned char>(s[j])));
    return j;
}

// Whether the '(' at i follows "AS name", as the size of a type does.
bool typeNameBefore(std::string_view s, size_t i) {
    while (i > 0 && std::isspace(static_cast<unsigned char>(s[i - 1])))
        --i;
    const size_t end = i;
    while (i > 0 && identChar(static_cast<unsigned char>(s[i - 1])))
        --i;
    return i < end && previousWord(s, i) == "AS";
}

// Whether text at i names something instead of being a value: after AS, or
// straight after a name ("FROM t 'x'" is an alias, as SQL allows).
bool aliasPosition(std::string_view s, size_t i) {
    const char before = previousChar(s, i);
    if (before == '"' || before == ']' || before == '`') return true;
    if (!identChar(static_cast<unsigned char>(before))) return false;
    static const char* const kBeforeValues[] = {
        "AND",   "OR",   "NOT",    "LIKE",    "GLOB",   "REGEXP", "MATCH",     "IN",     "IS",       "THEN",
        "ELSE",  "WHEN", "CASE",   "BETWEEN", "ESCAPE", "LIMIT",  "OFFSET",    "SELECT", "DISTINCT", "ALL",
        "WHERE", "ON",   "HAVING", "BY",      "VALUES", "SET",    "RETURNING", "DEFAULT"};
    const std::string w = previousWord(s, i);
    return std::none_of(std::begin(kBeforeValues), std::end(kBeforeValues),
                        [&](const char* k) { return w == k; });
}

// End of a comment that starts at i, or i when none starts there.
size_t commentEnd(std::string_view s, size_t i) {
    if (s.compare(i, 2, "--") == 0) {
        const size_t nl = s.find('\n', i);
        return nl == std::string_view::npos ? s.size() : nl;
    }
    if (s.compare(i, 2, "/*") == 0) {
        const size_t close = s.find("*/", i + 2);
        return close == std::string_view::npos ? s.size() : close + 2;
    }
    return i;
}
} // namespace

NormalizedSql NormalizeLiterals(std::string_view sql) {
    NormalizedSql out;
    out.text.reserve(sql.size());
    size_t first = 0;
    while (first < sql.size() && std::isspace(static_cast<unsigned char>(sql[first])))
        ++first;
    bool gate = false;
    const bool pragma = wordAt(sql, first, "PRAGMA");
    // Places where a number is not a value: the terms of ORDER BY / GROUP BY
    // (a column position) and the size of a type in CAST(x AS VARCHAR(10)).
    int depth = 0, byListDepth = -1, typeDepth = -1;
    for (size_t i = 0; i < sql.size();) {
        const char c = sql[i];
        if (const size_t end = commentEnd(sql, i); end != i) { // a quote in a comment starts no text
            out.text.append(sql.substr(i, end - i));
            i = end;
            continue;
        }
        if (c == '"' || c == '[' || c == '`') { // quoted identifiers stay as they are
            const char close = c == '[' ? ']' : c;
            size_t end = sql.find(close, i + 1);
            end = end == std::string_view::npos ? sql.size() : end + 1;
            out.text.append(sql.substr(i, end - i));
            i = end;
            continue;
        }
        if (c == '\'') {
            std::string value;
            size_t j = i + 1;
            bool closed = false;
            while (j < sql.size()) {
                if (sql[j] == '\'') {
                    if (j + 1 < sql.size() && sql[j + 1] == '\'') {
                        value += '\'';
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                value += sql[j++];
            }
            const bool blob = i > 0 && (sql[i - 1] == 'x' || sql[i - 1] == 'X');
            const bool alias = aliasPosition(sql, i);
            if (gate && closed && !blob && !pragma && !alias) {
                if (out.literals.size() == kMaxLiterals) return {std::string(sql), {}};
                out.text += '?';
                out.literals.emplace_back(std::move(value));
            } else {
                out.text.append(sql.substr(i, j - i));
            }
            i = j;
            continue;
        }
        // The text has parameters of its own: numbering ours after them would
        // bind values to the wrong places, so leave the whole text alone.
        if (c == '?' || ((c == ':' || c == '@' || c == '$' || c == '#') && i + 1 < sql.size() &&
                         identChar(static_cast<unsigned char>(sql[i + 1]))))
            return {std::string(sql), {}};
        const bool numberStart =
            std::isdigit(static_cast<unsigned char>(c)) || (c == '.' && isDigit(sql, i + 1));
        if (numberStart && (i == 0 || !identChar(static_cast<unsigned char>(sql[i - 1]))) &&
            (i == 0 || sql[i - 1] != '.')) {
            bool plainInteger = false;
            const size_t j = numberEnd(sql, i, plainInteger);
            const bool position =
                byListDepth == depth && (previousWord(sql, i) == "BY" || previousChar(sql, i) == ',');
            if (gate && plainInteger && !pragma && !position && typeDepth != depth) {
                if (out.literals.size() == kMaxLiterals) return {std::string(sql), {}};
                out.text += '?';
                out.literals.emplace_back(std::stoll(std::string(sql.substr(i, j - i))));
            } else {
                out.text.append(sql.substr(i, j - i));
            }
            i = j;
            continue;
        }
        if (c == '(') {
            ++depth;
            if (typeNameBefore(sql, i)) typeDepth = depth;
        } else if (c == ')') {
            if (typeDepth == depth) typeDepth = -1;
            if (byListDepth == depth) byListDepth = -1;
            --depth;
        } else if (c == ';') {
            byListDepth = -1;
        } else if (wordAt(sql, i, "BY")) {
            byListDepth = depth;
        } else if (byListDepth == depth &&
                   (wordAt(sql, i, "LIMIT") || wordAt(sql, i, "HAVING") || wordAt(sql, i, "WINDOW") ||
                    wordAt(sql, i, "UNION") || wordAt(sql, i, "EXCEPT") || wordAt(sql, i, "INTERSECT"))) {
            byListDepth = -1;
        }
        if (!gate && (wordAt(sql, i, "FROM") || wordAt(sql, i, "SET") || wordAt(sql, i, "VALUES") ||
                      wordAt(sql, i, "WHERE")))
            gate = true;
        out.text += c;
        ++i;
    }
    return out;
}

StatementCache::~StatementCache() {
    for (Entry& e : entries_)
        sqlite3_finalize(e.stmt);
    for (sqlite3_stmt* s : uncached_)
        sqlite3_finalize(s);
}

sqlite3_stmt* StatementCache::prepare(std::string_view text) {
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v3(db_, text.data(), static_cast<int>(text.size()), SQLITE_PREPARE_PERSISTENT, &stmt,
                           &tail) != SQLITE_OK)
        ThrowSqliteError(db_);
    if (!stmt) throw EDatabaseError("命令文本为空。");
    for (const char* end = text.data() + text.size(); tail && tail < end && *tail; ++tail)
        if (!std::isspace(static_cast<unsigned char>(*tail)) && *tail != ';') {
            sqlite3_finalize(stmt);
            throw EDatabaseError("SQL 语句之后找到字符。");
        }
    return stmt;
}

sqlite3_stmt* StatementCache::AcquirePrepared(std::string_view text) {
    sqlite3_stmt* stmt = nullptr;
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.key == text; });
    if (it != entries_.end() && !it->inUse) {
        entries_.splice(entries_.begin(), entries_, it);
        stmt = it->stmt;
        it->inUse = true;
    } else if (it == entries_.end() && text.size() <= kMaxCachedText) {
        stmt = prepare(text);
        entries_.push_front({std::string(text), stmt, true});
        if (entries_.size() > kCapacity) {
            auto last =
                std::find_if(entries_.rbegin(), entries_.rend(), [](const Entry& e) { return !e.inUse; });
            if (last != entries_.rend()) {
                sqlite3_finalize(last->stmt);
                entries_.erase(std::next(last).base());
            }
        }
    } else {
        stmt = prepare(text);
        uncached_.push_back(stmt);
    }
    return stmt;
}

sqlite3_stmt* StatementCache::Acquire(const std::string& sql) {
    const NormalizedSql n = NormalizeLiterals(sql);
    sqlite3_stmt* stmt = AcquirePrepared(n.text);
    for (size_t k = 0; k < n.literals.size(); ++k) {
        const int index = static_cast<int>(k + 1);
        if (auto v = std::get_if<long long>(&n.literals[k]))
            sqlite3_bind_int64(stmt, index, *v);
        else {
            const std::string& s = std::get<std::string>(n.literals[k]);
            sqlite3_bind_text(stmt, index, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        }
    }
    return stmt;
}

void StatementCache::Release(sqlite3_stmt* stmt) {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.stmt == stmt; });
    if (it != entries_.end()) {
        it->inUse = false;
        return;
    }
    auto u = std::find(uncached_.begin(), uncached_.end(), stmt);
    if (u != uncached_.end()) uncached_.erase(u);
    sqlite3_finalize(stmt);
}
