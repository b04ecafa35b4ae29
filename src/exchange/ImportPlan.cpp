#include "exchange/ImportPlan.h"

#include "exchange/Sanitizer.h"
#include "platform/Gbk.h"

#include <QRegularExpression>
#include <algorithm>

namespace exchange {

namespace {
const QString kUnsorted = QStringLiteral("未分类");
constexpr int kMaxNewTypes = 4;

QString withoutBlanks(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (const QChar c : s)
        if (!c.isSpace() && c != QChar(0x3000) && c != QChar(0xA0)) out += c;
    out.replace(QStringLiteral("&nbsp;"), QString());
    out.replace(QStringLiteral("<br>"), QString());
    return out;
}

// "Ａ、c" → "AC": full-width letters, any separators, any order.
bool normaliseKey(const QString& raw, QString* key) {
    QString letters;
    for (const QChar c : raw.normalized(QString::NormalizationForm_KC)) {
        if (c.isSpace() || QStringLiteral(",，、;；/|").contains(c)) continue;
        const QChar u = c.toUpper();
        if (u < QLatin1Char('A') || u > QLatin1Char('Z')) return false;
        if (!letters.contains(u)) letters += u;
    }
    std::sort(letters.begin(), letters.end());
    *key = letters;
    return true;
}

// The key of a true/false item: A for true, B for false.
QString trueFalseKey(const QString& raw) {
    const QString k = raw.trimmed().normalized(QString::NormalizationForm_KC).toUpper();
    static const QStringList yes{QStringLiteral("A"),  QStringLiteral("正确"), QStringLiteral("对"),
                                 QStringLiteral("√"),  QStringLiteral("T"),    QStringLiteral("TRUE"),
                                 QStringLiteral("是"), QStringLiteral("✓")};
    static const QStringList no{QStringLiteral("B"),  QStringLiteral("错误"), QStringLiteral("错"),
                                QStringLiteral("×"),  QStringLiteral("F"),    QStringLiteral("FALSE"),
                                QStringLiteral("否"), QStringLiteral("X"),    QStringLiteral("✗")};
    if (yes.contains(k)) return QStringLiteral("A");
    if (no.contains(k)) return QStringLiteral("B");
    return {};
}

bool isTrueFalseWord(const QString& raw) {
    return !trueFalseKey(raw).isEmpty() && raw.trimmed().size() > 1;
}

// Characters of `text` that GBK cannot hold. Each character is converted
// once per run: a large file repeats the same few thousand.
QString notInGbk(const QString& text) {
    static QHash<char32_t, bool> showable;
    QString bad;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80) continue;
        const qsizetype len = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const char32_t code = len == 2 ? QChar::surrogateToUcs4(c, text[i + 1]) : c.unicode();
        auto it = showable.find(code);
        if (it == showable.end()) {
            const std::string u = text.mid(i, len).toStdString();
            it = showable.insert(code, GbkToUtf8(Utf8ToGbk(u)) == u);
        }
        if (!*it && !bad.contains(text.mid(i, len))) bad += text.mid(i, len);
        i += len - 1;
    }
    return bad;
}

class Planner {
public:
    Planner(ParsedFile& file, const BankFacts& bank, const ImportOptions& options)
        : file_(file), bank_(bank), options_(options) {
        plan_.pictures = std::move(file.pictures);
        plan_.problems = std::move(file.problems);
        for (const Problem& p : plan_.problems)
            if (p.fatal) plan_.fatal = true;
        seen_ = bank.known;
    }

    ImportPlan Run() {
        for (Record& r : file_.records)
            record(r);
        groups();
        std::stable_sort(plan_.problems.begin(), plan_.problems.end(),
                         [](const Problem& a, const Problem& b) { return a.line < b.line; });
        return std::move(plan_);
    }

private:
    void problem(const Record& r, const QString& column, const QString& text) {
        plan_.problems.push_back({r.line, column, text, false});
        plan_.badLines.insert(r.line);
    }

    QString html(const Text& t) {
        const QString h = ToBankHtml(t, plan_.pictures);
        const QString bad = notInGbk(h);
        if (!bad.isEmpty()) {
            ++plan_.notGbk;
            for (const QChar c : bad)
                if (!plan_.notGbkChars.contains(c) && plan_.notGbkChars.size() < 20) plan_.notGbkChars += c;
        }
        return h;
    }

    bool path(const Record& r, std::array<QString, 3>& out) {
        QStringList parts;
        for (const QString& p : r.category.split(QLatin1Char('/'), Qt::SkipEmptyParts))
            if (!p.trimmed().isEmpty()) parts << p.trimmed();
        // A paper's part heading is its subject and its section (the page's
        // title) under the file's source.
        const bool bySection = parts.isEmpty() && !r.section.trimmed().isEmpty();
        if (bySection) parts << r.section.trimmed() << r.section.trimmed();
        // The chosen place replaces the file's own top levels: a source, or a
        // source and a subject.
        const QStringList under = options_.under.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (!under.isEmpty() && under.size() <= 3) {
            if (parts.size() + under.size() > 3) parts = parts.mid(parts.size() + under.size() - 3);
            parts = under + parts;
        } else if ((parts.isEmpty() || bySection) && !options_.fallbackSource.isEmpty()) {
            parts.prepend(options_.fallbackSource);
        }
        if (parts.size() > 3) {
            problem(r, QStringLiteral("分类"),
                    QStringLiteral("分类“%1”超过三级（来源/科目/专项）").arg(r.category));
            return false;
        }
        for (const QString& p : parts)
            if (p.size() > 50) {
                problem(r, QStringLiteral("分类"),
                        QStringLiteral("分类名称“%1…”太长（最多 50 个字）").arg(p.left(10)));
                return false;
            }
        while (parts.size() < 3)
            parts << kUnsorted;
        for (int i = 0; i < 3; ++i)
            out[static_cast<size_t>(i)] = parts[i];
        return true;
    }

    void record(Record& r) {
        PlannedQuestion q;
        q.line = r.line;
        if (!path(r, q.path)) return;
        q.stem = html(r.stem);
        q.explanation = html(r.explanation);
        for (const Text& o : r.options)
            q.options << html(o);
        while (!q.options.isEmpty() && q.options.back().isEmpty())
            q.options.removeLast();
        for (const QString& o : q.options)
            if (o.isEmpty()) {
                problem(r, QStringLiteral("选项"), QStringLiteral("选项中间有空的选项"));
                return;
            }
        if (q.options.size() > 8) {
            problem(r, QStringLiteral("选项"), QStringLiteral("选项超过 8 个（A～H）"));
            return;
        }
        if (q.stem.isEmpty() && r.kind != Kind::Description) {
            problem(r, QStringLiteral("题干"), QStringLiteral("题干是空的"));
            return;
        }
        if (!type(r, q)) return;
        if (q.type.isEmpty()) {
            // A plain item (a note or a description) is shown, never graded.
            q.key.clear();
        }
        if (!q.type.isEmpty() && !bank_.types.contains(q.type) && !newType(r, q.type)) return;
        const QString print = Fingerprint(q.stem, q.options);
        if (seen_.contains(print)) {
            ++plan_.duplicates;
            return;
        }
        seen_.insert(print);
        q.group = groupOf(r);
        if (q.group >= 0) {
            PlannedGroup& g = plan_.groups[static_cast<size_t>(q.group)];
            if (g.material.isEmpty() && !r.material.isEmpty()) g.material = html(r.material);
            g.questions.push_back(plan_.questions.size());
        }
        plan_.questions.push_back(std::move(q));
    }

    // The type, the key and the options' shape.
    bool type(const Record& r, PlannedQuestion& q) {
        QString type = r.type.trimmed();
        // A part named as one of the bank's types ("第一部分 常识判断") gives that type.
        if (type.isEmpty() && bank_.types.contains(r.section.trimmed())) type = r.section.trimmed();
        const bool trueFalse =
            r.kind == Kind::TrueFalse || type == u"判断题" || (q.options.isEmpty() && isTrueFalseWord(r.key));
        if (trueFalse) {
            q.key = trueFalseKey(r.key);
            if (q.key.isEmpty()) {
                problem(r, QStringLiteral("答案"),
                        QStringLiteral("判断题的答案“%1”应是“正确”或“错误”").arg(r.key));
                return false;
            }
            if (q.options.isEmpty()) q.options = QStringList{QStringLiteral("正确"), QStringLiteral("错误")};
            q.type = type.isEmpty() ? QStringLiteral("判断题") : type;
            q.single = 0;
            return checkKeyInOptions(r, q);
        }
        if (r.kind == Kind::Description) {
            q.type.clear();
            return true;
        }
        if (r.kind == Kind::Essay || (q.options.isEmpty() && r.key.trimmed().isEmpty())) {
            if (type.isEmpty()) type = r.kind == Kind::Essay ? options_.essayType : QString();
            q.type = type;
            if (r.kind == Kind::Essay && q.type.isEmpty()) {
                problem(r, QStringLiteral("题型"), QStringLiteral("简答题需要指定一个题型"));
                return false;
            }
            q.key.clear();
            return true;
        }
        if (!normaliseKey(r.key, &q.key)) {
            problem(r, QStringLiteral("答案"),
                    QStringLiteral("答案“%1”应是选项字母（如 A 或 ABD）").arg(r.key));
            return false;
        }
        if (q.key.isEmpty()) {
            problem(r, QStringLiteral("答案"), QStringLiteral("缺少答案"));
            return false;
        }
        if (q.options.isEmpty()) {
            problem(r, QStringLiteral("选项"), QStringLiteral("有答案但没有选项"));
            return false;
        }
        if (type.isEmpty())
            type = q.key.size() > 1 ? QStringLiteral("多项选择题") : QStringLiteral("单项选择题");
        q.type = type;
        q.single = q.key.size() > 1 || type.contains(u"多项") || type.contains(u"多选") ? 1 : 0;
        return checkKeyInOptions(r, q);
    }

    bool checkKeyInOptions(const Record& r, const PlannedQuestion& q) {
        for (const QChar c : q.key)
            if (c.unicode() - 'A' >= q.options.size()) {
                problem(r, QStringLiteral("答案"), QStringLiteral("答案“%1”不在选项中").arg(c));
                return false;
            }
        return true;
    }

    bool newType(const Record& r, const QString& type) {
        if (type.size() > 20) {
            problem(r, QStringLiteral("题型"),
                    QStringLiteral("题型名称“%1…”太长（最多 20 个字）").arg(type.left(10)));
            return false;
        }
        if (auto note = options_.typeNotes.find(type); note != options_.typeNotes.end()) {
            plan_.notedTypes.insert(*note);
            return true;
        }
        if (!plan_.newTypes.contains(type)) {
            if (plan_.newTypes.size() >= kMaxNewTypes) {
                problem(r, QStringLiteral("题型"),
                        QStringLiteral("题型“%1”：一个文件最多新建 %2 个题型").arg(type).arg(kMaxNewTypes));
                return false;
            }
            plan_.newTypes << type;
        }
        if (!options_.newTypes) {
            problem(r, QStringLiteral("题型"),
                    QStringLiteral("题库中没有题型“%1”（确认后可以新建）").arg(type));
            return false;
        }
        return true;
    }

    int groupOf(const Record& r) {
        if (r.groupId.isEmpty()) return -1;
        auto it = groupIndex_.find(r.groupId);
        if (it != groupIndex_.end()) return *it;
        plan_.groups.push_back({});
        groupIndex_.insert(r.groupId, static_cast<int>(plan_.groups.size() - 1));
        return static_cast<int>(plan_.groups.size() - 1);
    }

    // A material with one question is folded into it: the page prints a
    // shared stem only for a group. A group's questions share its first one's section.
    void groups() {
        for (PlannedGroup& g : plan_.groups) {
            if (g.questions.empty()) continue;
            PlannedQuestion& first = plan_.questions[g.questions.front()];
            for (size_t i : g.questions)
                plan_.questions[i].path = first.path;
            if (g.questions.size() == 1) {
                if (!g.material.isEmpty()) first.stem = g.material + QStringLiteral("<br>") + first.stem;
                first.group = -1;
                g.questions.clear();
            }
        }
        sections();
    }

    void sections() {
        QHash<QString, size_t> at;
        for (const PlannedQuestion& q : plan_.questions) {
            const QString name = q.path[0] + QLatin1Char('/') + q.path[1] + QLatin1Char('/') + q.path[2];
            auto it = at.find(name);
            if (it == at.end()) {
                at.insert(name, plan_.sections.size());
                plan_.sections.push_back({name, 1});
            } else {
                ++plan_.sections[*it].second;
            }
        }
    }

    ParsedFile& file_;
    const BankFacts& bank_;
    const ImportOptions& options_;
    ImportPlan plan_;
    QSet<QString> seen_;
    QHash<QString, int> groupIndex_;
};
} // namespace

QString Fingerprint(const QString& stemHtml, const QStringList& optionsHtml) {
    QString s = withoutBlanks(stemHtml);
    for (const QString& o : optionsHtml)
        s += QChar(0x1f) + withoutBlanks(o);
    return s;
}

ImportPlan PlanImport(ParsedFile file, const BankFacts& bank, const ImportOptions& options) {
    return Planner(file, bank, options).Run();
}

QString DescribeProblem(const Problem& p) {
    return p.line > 0 ? QStringLiteral("第 %1 行：%2").arg(p.line).arg(p.text) : p.text;
}

} // namespace exchange
