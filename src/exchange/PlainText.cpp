#include "exchange/PlainText.h"

#include "exchange/Csv.h"

#include <QFile>
#include <QRegularExpression>

namespace exchange {

namespace {
// A line as the patterns see it: its characters without markup. For a Word
// line the markup stays in `value`; `dropPrefix` cuts what a pattern matched.
struct Line {
    Text text;
    QString plain;
};

// Walks an HTML line: tags take no room, an entity takes one character.
QString plainOf(const QString& html) {
    QString out;
    for (qsizetype i = 0; i < html.size(); ++i) {
        const QChar c = html[i];
        if (c == QLatin1Char('<')) {
            const qsizetype end = html.indexOf(QLatin1Char('>'), i);
            if (end < 0) break;
            if (QStringView(html).mid(i, end - i + 1).startsWith(u"<br")) out += QLatin1Char('\n');
            i = end;
        } else if (c == QLatin1Char('&')) {
            const qsizetype end = html.indexOf(QLatin1Char(';'), i);
            const QStringView name = QStringView(html).mid(i + 1, end - i - 1);
            if (end < 0 || end - i > 10) {
                out += c;
                continue;
            }
            out += name == u"lt" ? QLatin1Char('<') : name == u"gt" ? QLatin1Char('>') : name == u"quot" ? QLatin1Char('"')
                   : name == u"amp" ? QLatin1Char('&') : QLatin1Char(' ');
            i = end;
        } else {
            out += c;
        }
    }
    return out;
}

// Walks `count` plain characters of an HTML line from `from`. Answers the
// index reached (closing tags right after included) and, in `open`, the
// elements opened on the way and not yet closed.
qsizetype walk(const QString& h, qsizetype from, qsizetype count, QStringList* open) {
    qsizetype i = from;
    auto tagEnd = [&](qsizetype at) { return h.indexOf(QLatin1Char('>'), at); };
    while (i < h.size()) {
        if (h[i] == QLatin1Char('<')) {
            const qsizetype end = tagEnd(i);
            if (end < 0) break;
            const QStringView tag = QStringView(h).mid(i, end - i + 1);
            if (count == 0 && !tag.startsWith(u"</")) break;
            if (tag.startsWith(u"<br")) {
                if (count == 0) break;
                --count;
            } else if (tag.startsWith(u"</")) {
                if (open && !open->isEmpty()) open->removeLast();
            } else if (open && !tag.startsWith(u"<img") && !tag.endsWith(u"/>")) {
                open->append(tag.toString());
            }
            i = end + 1;
            continue;
        }
        if (count == 0) break;
        const qsizetype semi = h[i] == QLatin1Char('&') ? h.indexOf(QLatin1Char(';'), i) : -1;
        i = semi > i && semi - i <= 10 ? semi + 1 : i + 1;
        --count;
    }
    return i;
}

// The line without its first `count` plain characters; elements opened
// before the cut stay open, so markup stays balanced.
Text dropPrefix(const Text& t, qsizetype count) {
    if (!t.html) return {t.value.mid(count), false};
    QStringList open;
    const qsizetype at = walk(t.value, 0, count, &open);
    return {open.join(QString()) + t.value.mid(at), true};
}

// Plain characters `from` to `to` of a line.
Text slice(const Text& t, qsizetype from, qsizetype to) {
    if (!t.html) return {t.value.mid(from, to - from), false};
    QStringList open;
    const qsizetype a = walk(t.value, 0, from, &open);
    const qsizetype b = walk(t.value, a, to - from, nullptr);
    return {open.join(QString()) + t.value.mid(a, b - a), true};
}

void append(Text& field, const Text& more) {
    if (more.isEmpty()) return;
    if (!field.isEmpty()) field.value += field.html ? QStringLiteral("<br>") : QStringLiteral("\n");
    field.value += more.value;
    field.html = field.html || more.html;
}

Text trimmed(Text t) {
    t.value = t.value.trimmed();
    return t;
}

const QRegularExpression& re(const char16_t* pattern) {
    // Each pattern is compiled once; the table is small and fixed.
    static std::map<const char16_t*, QRegularExpression> cache;
    auto it = cache.find(pattern);
    if (it == cache.end()) it = cache.emplace(pattern, QRegularExpression(QString::fromUtf16(pattern))).first;
    return it->second;
}

const char16_t kCategory[] = u"^\\s*(?:#+\\s*|【分类】\\s*|分类\\s*[：:]\\s*)(\\S.*)$";
const char16_t kMaterial[] = u"^\\s*(?:【材料】|【资料】|材料\\s*[：:])\\s*";
const char16_t kTypeHeading[] = u"^\\s*[一二三四五六七八九十]{1,3}\\s*[、.．]\\s*([^\\s（(，,。]{2,20})\\s*(?:[（(].*[)）])?\\s*$";
const char16_t kQuestion[] = u"^\\s*(?:第\\s*)?(\\d{1,5})\\s*(?:题\\s*)?[.．、）)]\\s*(?!\\d)";
const char16_t kOption[] = u"^\\s*([A-Ha-h])\\s*[.．、）):：]\\s*";
const char16_t kAnswer[] = u"^\\s*(?:【(?:参考)?答案】|(?:正确|参考)?答案\\s*[：:])\\s*";
const char16_t kExplanation[] = u"^\\s*(?:【(?:答案)?解析】|(?:答案)?解析\\s*[：:])\\s*";

class Reader {
public:
    Reader(ParsedFile& out, const Limits& limits) : out_(out), limits_(limits) {}

    bool line(int number, const Text& text) {
        const QString plain = text.html ? plainOf(text.value) : text.value;
        if (plain.trimmed().isEmpty()) return true;
        QRegularExpressionMatch m;
        if ((m = re(kCategory).match(plain)).hasMatch()) {
            finish();
            group_.clear();
            category_ = m.captured(1).trimmed();
            return true;
        }
        if ((m = re(kMaterial).match(plain)).hasMatch()) {
            finish();
            group_ = QStringLiteral("行%1").arg(number);
            material_ = trimmed(dropPrefix(text, m.capturedEnd()));
            state_ = State::Material;
            return true;
        }
        if ((m = re(kQuestion).match(plain)).hasMatch()) {
            finish();
            if (static_cast<int>(out_.records.size()) >= limits_.maxRecords) {
                out_.problems.push_back({number, {}, QStringLiteral("题目超过 %1 道，文件太大").arg(limits_.maxRecords), true});
                return false;
            }
            cur_ = Record{};
            cur_.line = number;
            cur_.category = category_;
            cur_.type = type_;
            cur_.groupId = group_;
            cur_.stem = trimmed(dropPrefix(text, m.capturedEnd()));
            cur_.stem.html = text.html;
            open_ = true;
            state_ = State::Stem;
            return true;
        }
        if (open_ && (m = re(kAnswer).match(plain)).hasMatch()) {
            cur_.key = dropPrefix(Text{plain, false}, m.capturedEnd()).value.trimmed();
            state_ = State::Answer;
            return true;
        }
        if (open_ && (m = re(kExplanation).match(plain)).hasMatch()) {
            cur_.explanation = trimmed(dropPrefix(text, m.capturedEnd()));
            cur_.explanation.html = text.html;
            state_ = State::Explanation;
            return true;
        }
        if (state_ != State::Material && (m = re(kTypeHeading).match(plain)).hasMatch()) {
            finish();
            group_.clear();
            type_ = m.captured(1);
            return true;
        }
        if (open_ && (state_ == State::Stem || state_ == State::Options) && options(text, plain)) return true;
        switch (state_) {
        case State::Material: append(material_, trimmed(text)); return true;
        case State::Stem: append(cur_.stem, trimmed(text)); return true;
        case State::Options: append(cur_.options.back(), trimmed(text)); return true;
        case State::Explanation: append(cur_.explanation, trimmed(text)); return true;
        case State::Answer:
        case State::None: break;
        }
        out_.problems.push_back({number, {}, QStringLiteral("看不出这一行属于哪道题，已忽略"), false});
        return true;
    }

    void finish() {
        if (open_) {
            if (!group_.isEmpty()) cur_.material = material_;
            out_.records.push_back(std::move(cur_));
        }
        open_ = false;
        state_ = State::None;
    }

private:
    // One or more options on the line, each starting with the letter after
    // the last one ("A. 甲  B. 乙"). Answers false when the line has none.
    bool options(const Text& text, const QString& plain) {
        const QRegularExpressionMatch first = re(kOption).match(plain);
        if (!first.hasMatch()) return false;
        const QChar letter = first.captured(1)[0].toUpper();
        if (letter.unicode() - 'A' != static_cast<int>(cur_.options.size())) return false;
        // Where the following letters start, in order.
        std::vector<std::pair<qsizetype, qsizetype>> parts;  // (marker start, content start)
        parts.push_back({first.capturedStart(1), first.capturedEnd()});
        char16_t next = static_cast<char16_t>(letter.unicode() + 1);
        static const QRegularExpression inner(QStringLiteral("\\s([A-Ha-h])\\s*[.．、）):：]\\s*"));
        qsizetype from = first.capturedEnd();
        for (auto it = inner.globalMatch(plain, from); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (m.captured(1)[0].toUpper().unicode() != next) continue;
            parts.push_back({m.capturedStart(0), m.capturedEnd()});
            ++next;
        }
        for (size_t i = 0; i < parts.size(); ++i) {
            const qsizetype end = i + 1 < parts.size() ? parts[i + 1].first : plain.size();
            Text option = trimmed(slice(text, parts[i].second, end));
            option.html = text.html;
            cur_.options.push_back(option);
        }
        state_ = State::Options;
        return true;
    }

    enum class State { None, Material, Stem, Options, Answer, Explanation };
    ParsedFile& out_;
    const Limits& limits_;
    QString category_, type_, group_;
    Text material_;
    Record cur_;
    bool open_ = false;
    State state_ = State::None;
};
}  // namespace

ParsedFile ReadQuestionLines(const std::vector<Text>& lines, const Limits& limits) {
    ParsedFile out;
    Reader reader(out, limits);
    int number = 0;
    for (const Text& t : lines)
        if (!reader.line(++number, t)) return out;
    reader.finish();
    if (out.records.empty() && out.problems.empty())
        out.problems.push_back({0, {}, QStringLiteral("文件中没有找到题目（题目应以“1.”这样的题号开始）"), true});
    return out;
}

ParsedFile ReadPlainText(const QString& text, const Limits& limits) {
    std::vector<Text> lines;
    for (const QStringView l : QStringView(text).split(QLatin1Char('\n')))
        lines.push_back({l.endsWith(QLatin1Char('\r')) ? l.chopped(1).toString() : l.toString(), false});
    return ReadQuestionLines(lines, limits);
}

}  // namespace exchange
