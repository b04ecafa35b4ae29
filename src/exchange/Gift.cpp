#include "exchange/Gift.h"

#include "exchange/LmsSupport.h"

namespace exchange {
namespace {

bool IsEscapable(QChar c) {
    return QStringView(u"~=#{}:\\").contains(c);
}

// Where `what` starts at or after `from`, outside escapes ("\~"); -1 when nowhere.
qsizetype FindUnescaped(QStringView s, QStringView what, qsizetype from = 0) {
    for (qsizetype i = from; i < s.size(); ++i) {
        if (s[i] == u'\\') {
            ++i;
            continue;
        }
        if (s.sliced(i).startsWith(what)) return i;
    }
    return -1;
}

// The next answer's "=" or "~" at or after `from`; -1 when none.
qsizetype NextAnswer(QStringView s, qsizetype from) {
    for (qsizetype i = from; i < s.size(); ++i) {
        if (s[i] == u'\\')
            ++i;
        else if (s[i] == u'=' || s[i] == u'~')
            return i;
    }
    return -1;
}

QString Unescape(QStringView s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'\\' && i + 1 < s.size()) {
            if (s[i + 1] == u'n') {
                out += QLatin1Char('\n');
                ++i;
                continue;
            }
            if (IsEscapable(s[i + 1])) {
                out += s[++i];
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// Takes a "[html]", "[plain]", "[moodle]" or "[markdown]" before a text; without
// one the text keeps `html`, the format of the question it belongs to.
bool TakeFormat(QStringView& s, bool html) {
    struct Format {
        QStringView name;
        bool html;
    };
    static constexpr Format formats[] = {
        {u"[html]", true}, {u"[plain]", false}, {u"[moodle]", false}, {u"[markdown]", false}};
    s = s.trimmed();
    for (const Format& f : formats) {
        if (s.startsWith(f.name, Qt::CaseInsensitive)) {
            s = s.sliced(f.name.size()).trimmed();
            return f.html;
        }
    }
    return html;
}

Text MakeText(QStringView raw, bool html) {
    return Text{Unescape(raw).trimmed(), html};
}

class GiftReader {
public:
    GiftReader(const Limits& limits, ParsedFile& out) : limits_(limits), out_(out) {}
    // One block of lines between blank lines; false once the file cannot be read on.
    bool Block(QStringView block, int line);

private:
    bool Question(QStringView s, int line);
    bool Choices(Record& record, QStringView answers, bool html);
    void Note(int line, const QString& text) { out_.problems.push_back({line, {}, text, false}); }

    const Limits& limits_;
    ParsedFile& out_;
    QString category_;
};

bool GiftReader::Block(QStringView block, int line) {
    QStringView s = block.trimmed();
    if (s.startsWith(u"$CATEGORY:", Qt::CaseInsensitive)) {
        const qsizetype end = s.indexOf(u'\n');
        const qsizetype start = QStringView(u"$CATEGORY:").size();
        category_ = CategoryFromPath((end < 0 ? s.sliced(start) : s.sliced(start, end - start)).toString());
        if (end < 0) return true;
        // A question right under the line, without a blank line between.
        s = s.sliced(end + 1).trimmed();
        ++line;
    }
    return Question(s, line);
}

bool GiftReader::Question(QStringView s, int line) {
    Record record;
    record.line = line;
    record.category = category_;
    if (s.startsWith(u"::")) { // the title, which names the question in Moodle only
        const qsizetype end = FindUnescaped(s, u"::", 2);
        if (end < 0) {
            Note(line, QStringLiteral("题目名称缺少结尾的 ::，已跳过"));
            return true;
        }
        s = s.sliced(end + 2);
    }
    const bool html = TakeFormat(s, false);
    const qsizetype open = FindUnescaped(s, u"{");
    if (open < 0) {
        record.kind = Kind::Description;
        record.stem = MakeText(s, html);
        return AddRecord(out_, std::move(record), limits_);
    }
    const qsizetype close = FindUnescaped(s, u"}", open + 1);
    if (close < 0) {
        Note(line, QStringLiteral("缺少与 { 配对的 }，已跳过"));
        return true;
    }
    // Answers inside the sentence leave a gap in the stem.
    const QStringView before = s.first(open).trimmed();
    const QStringView after = s.sliced(close + 1).trimmed();
    record.stem = after.isEmpty()
                      ? MakeText(before, html)
                      : MakeText(before.toString() + QStringLiteral(" _____ ") + after.toString(), html);
    QStringView answers = s.sliced(open + 1, close - open - 1).trimmed();
    if (const qsizetype general = FindUnescaped(answers, u"####"); general >= 0) {
        QStringView feedback = answers.sliced(general + 4);
        const bool feedbackHtml = TakeFormat(feedback, html);
        record.explanation = MakeText(feedback, feedbackHtml);
        answers = answers.first(general).trimmed();
    }

    if (answers.isEmpty()) {
        record.kind = Kind::Essay;
        return AddRecord(out_, std::move(record), limits_);
    }
    if (answers.startsWith(u'#')) {
        Note(line, QStringLiteral("不支持的题型 数值题，已跳过"));
        return true;
    }
    if (FindUnescaped(answers, u"~") >= 0) return Choices(record, answers, html);
    if (FindUnescaped(answers, u"=") >= 0 && FindUnescaped(answers, u"->") >= 0) {
        Note(line, QStringLiteral("不支持的题型 匹配题，已跳过"));
        return true;
    }
    const qsizetype feedback = FindUnescaped(answers, u"#");
    const QString word = (feedback < 0 ? answers : answers.first(feedback)).trimmed().toString().toUpper();
    if (word == u"T" || word == u"TRUE" || word == u"F" || word == u"FALSE") {
        record.kind = Kind::TrueFalse;
        record.options = {Text{QStringLiteral("正确"), false}, Text{QStringLiteral("错误"), false}};
        record.key = word.startsWith(u'T') ? QStringLiteral("A") : QStringLiteral("B");
        return AddRecord(out_, std::move(record), limits_);
    }
    if (answers.startsWith(u'=')) {
        Note(line, QStringLiteral("不支持的题型 简答题，已跳过"));
        return true;
    }
    Note(line, QStringLiteral("看不懂花括号里的答案（应以 = 或 ~ 开头），已跳过"));
    return true;
}

// "=right ~wrong": one right answer; only "~%n%" weights: several.
bool GiftReader::Choices(Record& record, QStringView answers, bool html) {
    const bool single = FindUnescaped(answers, u"=") >= 0;
    std::vector<double> weights;
    for (qsizetype at = NextAnswer(answers, 0); at >= 0;) {
        const qsizetype end = NextAnswer(answers, at + 1);
        QStringView body = answers.sliced(at + 1, (end < 0 ? answers.size() : end) - at - 1).trimmed();
        double weight = answers[at] == u'=' ? 100 : 0;
        if (body.startsWith(u'%')) {
            const qsizetype percent = body.indexOf(u'%', 1);
            bool ok = false;
            if (percent > 0) weight = body.sliced(1, percent - 1).toDouble(&ok);
            if (!ok) {
                Note(record.line, QStringLiteral("答案的分值 %…% 写得不对，已跳过"));
                return true;
            }
            body = body.sliced(percent + 1);
        }
        if (const qsizetype feedback = FindUnescaped(body, u"#"); feedback >= 0) body = body.first(feedback);
        const bool answerHtml = TakeFormat(body, html);
        record.options.push_back(MakeText(body, answerHtml));
        weights.push_back(weight);
        if (record.options.size() > kMaxOptions) {
            Note(record.line, QStringLiteral("选项超过 %1 个，已跳过").arg(kMaxOptions));
            return true;
        }
        at = end;
    }
    record.type = single ? QStringLiteral("单项选择题") : QStringLiteral("多项选择题");
    record.key = ChoiceKey(weights, single);
    return AddRecord(out_, std::move(record), limits_);
}

} // namespace

ParsedFile ReadGift(const QByteArray& bytes, const Limits& limits) {
    ParsedFile out;
    QString text;
    if (!DecodeUtf8File(bytes, limits, text, out)) return out;
    const QStringList lines = TextLines(text);
    GiftReader reader(limits, out);
    QString block;
    int first = 0;
    for (qsizetype i = 0; i <= lines.size(); ++i) {
        const QStringView line = i < lines.size() ? QStringView(lines[i]) : QStringView();
        const QStringView trimmed = line.trimmed();
        if (trimmed.startsWith(u"//")) continue; // a comment line
        if (trimmed.isEmpty()) {
            if (!block.isEmpty() && !reader.Block(block, first)) return out;
            block.clear();
            continue;
        }
        if (block.isEmpty())
            first = static_cast<int>(i) + 1;
        else
            block += QLatin1Char('\n');
        block += line;
    }
    return out;
}

} // namespace exchange
