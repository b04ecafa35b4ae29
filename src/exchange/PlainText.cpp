#include "exchange/PlainText.h"

#include "exchange/Csv.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <map>

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
            out += name == u"lt"     ? QLatin1Char('<')
                   : name == u"gt"   ? QLatin1Char('>')
                   : name == u"quot" ? QLatin1Char('"')
                   : name == u"amp"  ? QLatin1Char('&')
                                     : QLatin1Char(' ');
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
const char16_t kTypeHeading[] =
    u"^\\s*[一二三四五六七八九十]{1,3}\\s*[、.．]\\s*([^\\s（(，,。]{2,20})\\s*(?:[（(].*[)）])?\\s*$";
// 第一部分 常识判断 (the name may follow on the line or be left out).
const char16_t kPartHeading[] =
    u"^\\s*第\\s*[一二三四五六七八九十\\d]{1,3}\\s*部分\\s*[：:、.．]?\\s*([^\\s（(，,。]{0,20})";
// 1. 1、 1． 1) 第1题 第1题．
const char16_t kQuestion[] =
    u"^\\s*(?:第\\s*(\\d{1,5})\\s*题\\s*[.．、:：）)]?|(\\d{1,5})\\s*[.．、）)])\\s*(?!\\d)";
// (1) （1）: only as the next number, since explanations use them too.
const char16_t kBracketQuestion[] = u"^\\s*[（(]\\s*(\\d{1,5})\\s*[)）]\\s*";
const char16_t kOption[] = u"^\\s*[（(]?\\s*([A-Ha-hＡ-Ｈ])\\s*[.．、）):：]\\s*";
const char16_t kAnswer[] = u"^\\s*(?:【(?:参考)?答案】|(?:正确|参考|标准)?答案\\s*[：:])\\s*";
const char16_t kLetterRow[] = u"^\\s*(?:[A-HＡ-Ｈ][.．、]?\\s*){2,8}$";
const char16_t kExplanation[] = u"^\\s*(?:【(?:答案)?解析】|(?:答案)?解析\\s*[：:])\\s*";
const char16_t kExplanationInside[] = u"\\s*(?:【(?:答案)?解析】|(?:答案)?解析\\s*[：:])\\s*";
// A heading over the answers collected at the end of a paper.
const char16_t kAnswerHeading[] = u"^\\s*(?:[一二三四五六七八九十]{1,3}\\s*[、.．]\\s*)?(?:参考答案|答案)(?:["
                                  u"及与和]\\s*(?:试题)?解析|解析)?\\s*[：:]?\\s*$";
// 根据以下资料，回答101～105题 (the group's last number is the second).
const char16_t kGroupIntro[] = u"^\\s*(?:根据|阅读)[^，,。]{0,20}(?:资料|材料|图|表|文字)[^0-9]{0,12}?(\\d{1,"
                               u"5})\\s*[～~〜\\-—–至到]+\\s*(\\d{1,5})\\s*题";
// （一） alone or before a material: a group until the next one or a heading.
const char16_t kGroupMark[] = u"^\\s*[（(]\\s*[一二三四五六七八九十]{1,3}\\s*[)）]\\s*";

int optionIndex(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'Ａ' && u <= u'Ｈ') return u - u'Ａ';
    return c.toUpper().unicode() - 'A';
}

// The letters of a key as written ("B", "A C", "A、C", "ＡＣ").
QString keyLetters(const QString& text) {
    QString out;
    for (const QChar c : text) {
        const int i = optionIndex(c);
        if (i >= 0 && i < 8)
            out += QChar(char16_t('A' + i));
        else if (!c.isSpace() && c != u',' && c != u'，' && c != u'、')
            return {};
    }
    return out;
}

// What the answers at the end of a paper say, by part and number.
struct Answer {
    QString key;
    Text explanation;
};
using AnswerKey = std::pair<int, int>; // (part, number)

class Reader {
public:
    Reader(ParsedFile& out, const Limits& limits) : out_(out), limits_(limits) {}

    bool line(int number, const Text& text) {
        const QString plain = text.html ? plainOf(text.value) : text.value;
        // A picture alone on its line (a figure between a stem and its options) belongs where it stands.
        const bool picture = text.html && text.value.contains(QLatin1String("<img"), Qt::CaseInsensitive);
        if (plain.trimmed().isEmpty() && !picture) return true;
        if (answers_) return answerLine(text, plain);
        if (plain.trimmed().isEmpty()) {
            switch (state_) {
            case State::Material:
                append(material_, text);
                break;
            case State::Stem:
                append(cur_.stem, text);
                break;
            case State::Options:
                append(cur_.options.back(), text);
                break;
            case State::Explanation:
                append(cur_.explanation, text);
                break;
            case State::Answer:
            case State::None:
                break;
            }
            return true;
        }
        QRegularExpressionMatch m;
        if (re(kAnswerHeading).match(plain).hasMatch() && state_ != State::Stem) {
            answersStart();
            return true;
        }
        if ((m = re(kCategory).match(plain)).hasMatch()) {
            finish();
            group_.clear();
            category_ = m.captured(1).trimmed();
            return true;
        }
        if ((m = re(kMaterial).match(plain)).hasMatch()) {
            startGroup(number, trimmed(dropPrefix(text, m.capturedEnd())), 0);
            return true;
        }
        if ((m = re(kGroupIntro).match(plain)).hasMatch()) {
            startGroup(number, trimmed(text), m.captured(2).toInt());
            return true;
        }
        if ((m = re(kGroupMark).match(plain)).hasMatch() && state_ != State::Explanation) {
            startGroup(number, trimmed(dropPrefix(text, m.capturedEnd())), 0);
            return true;
        }
        if ((m = re(kPartHeading).match(plain)).hasMatch()) {
            finish();
            group_.clear();
            ++part_;
            section_ = m.captured(1);
            type_.clear();
            return true;
        }
        int shown = 0;
        if ((m = re(kQuestion).match(plain)).hasMatch())
            shown = (m.captured(1).isEmpty() ? m.captured(2) : m.captured(1)).toInt();
        else if ((m = re(kBracketQuestion).match(plain)).hasMatch() &&
                 (m.captured(1).toInt() == lastNumber_ + 1 || m.captured(1).toInt() == 1))
            shown = m.captured(1).toInt();
        if (shown > 0) {
            finish();
            if (static_cast<int>(out_.records.size()) >= limits_.maxRecords) {
                out_.problems.push_back(
                    {number, {}, QStringLiteral("题目超过 %1 道，文件太大").arg(limits_.maxRecords), true});
                return false;
            }
            if (groupEnd_ > 0 && shown > groupEnd_) endGroup();
            cur_ = Record{};
            cur_.line = number;
            cur_.category = category_;
            cur_.type = type_;
            cur_.section = section_;
            cur_.part = part_;
            cur_.number = shown;
            cur_.groupId = group_;
            cur_.stem = trimmed(dropPrefix(text, m.capturedEnd()));
            cur_.stem.html = text.html;
            lastNumber_ = shown;
            open_ = true;
            state_ = State::Stem;
            return true;
        }
        if (open_ && (m = re(kAnswer).match(plain)).hasMatch()) {
            // 【答案】B【解析】… on one line.
            const QString rest = plain.mid(m.capturedEnd());
            const QRegularExpressionMatch e = re(kExplanationInside).match(rest);
            cur_.key = (e.hasMatch() ? rest.left(e.capturedStart()) : rest).trimmed();
            state_ = State::Answer;
            if (e.hasMatch()) {
                cur_.explanation = trimmed(dropPrefix(text, m.capturedEnd() + e.capturedEnd()));
                cur_.explanation.html = text.html;
                state_ = State::Explanation;
            }
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
        // "A  B  C  D" under a figure of four: the options are the figure's parts, named by their letters.
        if (open_ && state_ == State::Stem && cur_.options.empty() && cur_.stem.value.contains(u"<img") &&
            (m = re(kLetterRow).match(plain)).hasMatch()) {
            static const QRegularExpression marks(QStringLiteral("[.．、]"));
            const QString letters = keyLetters(QString(plain).remove(marks));
            bool inOrder = letters.size() >= 2;
            for (int i = 0; i < letters.size(); ++i)
                inOrder = inOrder && letters[i] == QChar(char16_t('A' + i));
            if (inOrder) {
                for (const QChar c : letters)
                    cur_.options.push_back({QString(c), false});
                state_ = State::Options;
                return true;
            }
        }
        if (open_ && (state_ == State::Stem || state_ == State::Options) && options(text, plain)) return true;
        switch (state_) {
        case State::Material:
            append(material_, trimmed(text));
            return true;
        case State::Stem:
            append(cur_.stem, trimmed(text));
            return true;
        case State::Options:
            append(cur_.options.back(), trimmed(text));
            return true;
        case State::Explanation:
            append(cur_.explanation, trimmed(text));
            return true;
        case State::Answer:
        case State::None:
            break;
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

    // After the last line: questions without a key take theirs from the
    // answers at the end, by part and number, or by number alone when the
    // answers are not given per part.
    void end() {
        finish();
        if (collected_.empty()) return;
        std::map<int, int> partsOfNumber;
        for (const auto& [at, answer] : collected_)
            ++partsOfNumber[at.second];
        for (Record& r : out_.records) {
            if (!r.key.trimmed().isEmpty() || r.number == 0) continue;
            auto it = collected_.find({r.part, r.number});
            if (it == collected_.end() && partsOfNumber[r.number] == 1)
                it = std::find_if(collected_.begin(), collected_.end(),
                                  [&](const auto& a) { return a.first.second == r.number; });
            if (it == collected_.end()) continue;
            r.key = it->second.key;
            if (r.explanation.isEmpty()) r.explanation = it->second.explanation;
        }
    }

private:
    void startGroup(int number, const Text& material, int lastQuestion) {
        finish();
        group_ = QStringLiteral("行%1").arg(number);
        material_ = material;
        groupEnd_ = lastQuestion;
        state_ = State::Material;
    }
    void endGroup() {
        group_.clear();
        groupEnd_ = 0;
    }

    void answersStart() {
        finish();
        endGroup();
        answers_ = true;
        answerPart_ = 0;
    }

    // A line among the answers at the end: "1．【答案】B【解析】…", "1.B 2.C 3.A",
    // "1-5 BCADA", a part heading, a table's cells one a line, or more of
    // the explanation before.
    bool answerLine(const Text& text, const QString& plain) {
        QRegularExpressionMatch m;
        if ((m = re(kPartHeading).match(plain)).hasMatch()) {
            ++answerPart_;
            lastAnswer_ = nullptr;
            return true;
        }
        const int part = answerPart_ > 0 ? answerPart_ : 0;
        static const QRegularExpression range(
            QStringLiteral("(\\d{1,5})\\s*[～~〜\\-—–至到]+\\s*(\\d{1,5})\\s*[.．、:：]?\\s*([A-Ha-hＡ-Ｈ\\s]"
                           "+?)(?=\\s*(?:\\d|$))"));
        static const QRegularExpression one(
            QStringLiteral("(\\d{1,5})\\s*[.．、:：)）]\\s*([A-Ha-hＡ-Ｈ]{1,8})(?![A-Za-z])"));
        static const QRegularExpression bareNumber(QStringLiteral("^\\s*(\\d{1,5})\\s*$"));
        static const QRegularExpression bareKey(QStringLiteral("^\\s*([A-Ha-hＡ-Ｈ]{1,8})\\s*$"));
        // 1．【答案】B【解析】… and 1．答案：B
        static const QRegularExpression full(QStringLiteral(
            "^\\s*(\\d{1,5})\\s*[.．、:：)）]\\s*(?:【(?:参考)?答案】|(?:正确|参考)?答案\\s*[：:])\\s*"));
        if ((m = full.match(plain)).hasMatch()) {
            const QString rest = plain.mid(m.capturedEnd());
            const QRegularExpressionMatch e = re(kExplanationInside).match(rest);
            Answer& a = collected_[{part, m.captured(1).toInt()}];
            a.key = (e.hasMatch() ? rest.left(e.capturedStart()) : rest).trimmed();
            a.explanation = {};
            if (e.hasMatch()) {
                a.explanation = trimmed(dropPrefix(text, m.capturedEnd() + e.capturedEnd()));
                a.explanation.html = text.html;
            }
            lastAnswer_ = &a;
            return true;
        }
        if ((m = re(kExplanation).match(plain)).hasMatch() && lastAnswer_) {
            append(lastAnswer_->explanation, trimmed(dropPrefix(text, m.capturedEnd())));
            return true;
        }
        if ((m = bareNumber.match(plain)).hasMatch()) {
            tableNumbers_.push_back(m.captured(1).toInt());
            return true;
        }
        if ((m = bareKey.match(plain)).hasMatch() && tableAt_ < tableNumbers_.size()) {
            collected_[{part, tableNumbers_[tableAt_++]}] = {keyLetters(m.captured(1)), {}};
            if (tableAt_ == tableNumbers_.size()) {
                tableNumbers_.clear();
                tableAt_ = 0;
            }
            return true;
        }
        bool found = false;
        for (auto it = range.globalMatch(plain); it.hasNext();) {
            const QRegularExpressionMatch r = it.next();
            const QString letters = keyLetters(r.captured(3));
            const int from = r.captured(1).toInt(), to = r.captured(2).toInt();
            if (to < from || to - from + 1 != letters.size()) continue;
            for (int n = from; n <= to; ++n)
                collected_[{part, n}] = {QString(letters[n - from]), {}};
            found = true;
        }
        if (!found)
            for (auto it = one.globalMatch(plain); it.hasNext();) {
                const QRegularExpressionMatch r = it.next();
                collected_[{part, r.captured(1).toInt()}] = {keyLetters(r.captured(2)), {}};
                found = true;
            }
        if (found) {
            lastAnswer_ = nullptr;
            return true;
        }
        // More of the explanation before; anything else (题号, 答案 over a table) says nothing.
        if (lastAnswer_) append(lastAnswer_->explanation, trimmed(text));
        return true;
    }

    // One or more options on the line, each starting with the letter after
    // the last one ("A. 甲  B. 乙"). Answers false when the line has none.
    bool options(const Text& text, const QString& plain) {
        const QRegularExpressionMatch first = re(kOption).match(plain);
        if (!first.hasMatch()) return false;
        const int letter = optionIndex(first.captured(1)[0]);
        if (letter != static_cast<int>(cur_.options.size())) return false;
        // Where the following letters start, in order.
        std::vector<std::pair<qsizetype, qsizetype>> parts; // (marker start, content start)
        parts.push_back({first.capturedStart(1), first.capturedEnd()});
        int next = letter + 1;
        static const QRegularExpression inner(
            QStringLiteral("\\s[（(]?\\s*([A-Ha-hＡ-Ｈ])\\s*[.．、）):：]\\s*"));
        qsizetype from = first.capturedEnd();
        for (auto it = inner.globalMatch(plain, from); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (optionIndex(m.captured(1)[0]) != next) continue;
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
    QString category_, type_, group_, section_;
    Text material_;
    Record cur_;
    bool open_ = false;
    State state_ = State::None;
    int part_ = 0, lastNumber_ = 0, groupEnd_ = 0;
    bool answers_ = false;
    int answerPart_ = 0;
    std::map<AnswerKey, Answer> collected_;
    Answer* lastAnswer_ = nullptr;
    std::vector<int> tableNumbers_;
    size_t tableAt_ = 0;
};
} // namespace

ParsedFile ReadQuestionLines(const std::vector<Text>& lines, const Limits& limits) {
    ParsedFile out;
    Reader reader(out, limits);
    int number = 0;
    for (const Text& t : lines)
        if (!reader.line(++number, t)) return out;
    reader.end();
    if (out.records.empty()) {
        // What was looked for, and what the file begins with instead.
        QString first;
        for (const Text& t : lines)
            if (first.isEmpty()) first = (t.html ? plainOf(t.value) : t.value).trimmed().left(30);
        out.problems.push_back(
            {0,
             {},
             QStringLiteral("文件中没有找到题目：题目应以“1.”“1、”“（1）”或“第1题”这样的题号开始，"
                            "选项以“A.”这样的字母开始。%1")
                 .arg(first.isEmpty() ? QStringLiteral("文件中没有文字。")
                                      : QStringLiteral("文件的第一行是“%1”。").arg(first)),
             true});
    }
    return out;
}

ParsedFile ReadPlainText(const QString& text, const Limits& limits) {
    std::vector<Text> lines;
    for (const QStringView l : QStringView(text).split(QLatin1Char('\n')))
        lines.push_back({l.endsWith(QLatin1Char('\r')) ? l.chopped(1).toString() : l.toString(), false});
    return ReadQuestionLines(lines, limits);
}

} // namespace exchange
