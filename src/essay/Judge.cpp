#include "essay/Judge.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

namespace essay {
namespace {
// Words that tell nothing about which 要点 an answer makes.
const QSet<QString>& commonWords() {
    static const QSet<QString> words = [] {
        QSet<QString> s;
        for (const char* w :
             {"我们", "他们", "你们", "自己", "进行", "一个", "一些", "这些", "那些", "以及", "并且",
              "而且", "或者", "因为", "所以", "但是", "如果", "可以", "能够", "需要", "应该", "通过",
              "对于", "关于", "其中", "同时", "方面", "问题", "情况", "工作", "有关", "相关", "主要",
              "加以", "已经", "没有", "就是", "还是", "这样", "那样", "什么", "怎么", "如何", "为了",
              "由于", "不仅", "而是", "一定", "更加", "非常", "比较", "部分", "存在", "实际", "作用",
              "资料", "给定", "材料", "要求", "根据", "以上", "以下", "之间", "等等", "其他", "各种"})
            s.insert(QString::fromUtf8(w));
        return s;
    }();
    return words;
}

// Words that stand for one another in 申论 answers.
const QHash<QString, int>& synonymGroups() {
    static const QHash<QString, int> groups = [] {
        QHash<QString, int> h;
        const std::vector<std::vector<const char*>> lists{
            {"不足", "短缺", "缺乏", "缺少", "匮乏", "欠缺", "不够", "紧缺"},
            {"加强", "强化", "增强", "加大"},
            {"完善", "健全", "改进", "优化", "改善"},
            {"建立", "建设", "构建", "搭建", "打造", "组建"},
            {"推动", "推进", "促进", "带动"},
            {"提高", "提升", "增加", "增长"},
            {"资金", "经费", "投入", "财政"},
            {"人才", "人员", "队伍", "骨干"},
            {"群众", "百姓", "居民", "村民"},
            {"老人", "老年人", "长者"},
            {"闲置", "不用", "空置", "用不起来", "锁门", "离线"},
            {"培训", "培养", "教育"},
            {"监管", "监督", "督查"},
            {"宣传", "引导", "普及"},
            {"保障", "支持", "扶持", "保证"},
            {"需求", "需要", "诉求"},
            {"考核", "评价", "评估", "考评"},
            {"激励", "奖励", "补贴", "奖补"},
            {"收入", "待遇", "薪酬", "工资"},
            {"流失", "离职", "流走"},
            {"渠道", "途径", "路径"},
            {"标准", "规范", "章法"},
            {"错位", "脱节", "不匹配", "不对路"},
            {"形式主义", "走过场", "装样子"},
        };
        int n = 0;
        for (const auto& list : lists) {
            for (const char* w : list)
                h.insert(QString::fromUtf8(w), n);
            ++n;
        }
        return h;
    }();
    return groups;
}

QStringList alternativesOf(const QString& word) {
    const auto& groups = synonymGroups();
    const auto it = groups.find(word);
    if (it == groups.end()) return {word};
    QStringList out{word};
    for (auto g = groups.begin(); g != groups.end(); ++g)
        if (g.value() == it.value() && g.key() != word) out << g.key();
    return out;
}

bool worthLooking(const QString& w) {
    if (w.size() < 2 || commonWords().contains(w)) return false;
    for (QChar c : w)
        if (c.isDigit() || c.isPunct() || c.isSpace()) return false;
    return true;
}

QStringList segment(const QString& text) {
    UErrorCode status = U_ZERO_ERROR;
    static std::unique_ptr<icu::BreakIterator> words(
        icu::BreakIterator::createWordInstance(icu::Locale::getChinese(), status));
    QStringList out;
    if (!words || U_FAILURE(status)) return out;
    const icu::UnicodeString u(reinterpret_cast<const UChar*>(text.utf16()),
                               static_cast<int32_t>(text.size()));
    words->setText(u);
    int32_t start = words->first();
    for (int32_t end = words->next(); end != icu::BreakIterator::DONE; start = end, end = words->next()) {
        if (words->getRuleStatus() == UBRK_WORD_NONE) continue;
        out << text.mid(start, end - start);
    }
    return out;
}

struct Hit {
    int at, length, word;
};
} // namespace

QString CoverageName(Coverage c) {
    switch (c) {
    case Coverage::Covered:
        return QStringLiteral("覆盖");
    case Coverage::Partial:
        return QStringLiteral("部分覆盖");
    case Coverage::Missed:
        break;
    }
    return QStringLiteral("未覆盖");
}

QStringList KeyWords(const QString& pointText, QStringList* headline) {
    static const QRegularExpression firstSentence(QStringLiteral("^[^。；;！？!?]+"));
    const QString head = firstSentence.match(pointText).captured(0);
    QStringList out;
    if (headline) headline->clear();
    for (const QString& w : segment(pointText)) {
        if (!worthLooking(w) || out.contains(w)) continue;
        out << w;
    }
    if (headline)
        for (const QString& w : segment(head))
            if (worthLooking(w) && !headline->contains(w)) *headline << w;
    return out;
}

Judgement Judge(const Task& task, const QString& whole) {
    Judgement j;
    j.marks = task.marks;
    const Sheet sheet = LayOut(whole);
    j.count = sheet.cells;
    // What stands past the limit is not scored.
    const int scored = task.limit.max > 0 && j.count > task.limit.max
                           ? FittingPrefix(whole, sheet, task.limit.max)
                           : static_cast<int>(whole.size());
    j.scoredChars = scored;
    const QString answer = whole.left(scored);
    constexpr int kWindow = 100; // characters within which a 要点's words must stand

    double pointsTotal = 0;
    for (const KeyPoint& point : task.points) {
        pointsTotal += point.points;
        PointResult r;
        QStringList head;
        r.keyWords = KeyWords(point.text, &head);
        std::vector<Hit> hits;
        std::vector<int> weight;
        for (int w = 0; w < r.keyWords.size(); ++w) {
            weight.push_back(head.contains(r.keyWords[w]) ? 2 : 1);
            for (const QString& alt : alternativesOf(r.keyWords[w]))
                for (qsizetype at = answer.indexOf(alt); at >= 0; at = answer.indexOf(alt, at + alt.size()))
                    hits.push_back({static_cast<int>(at), static_cast<int>(alt.size()), w});
        }
        std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.at < b.at; });
        const int total = std::accumulate(weight.begin(), weight.end(), 0);
        // The window of the answer where the most of the 要点's words stand.
        int best = 0, bestFrom = 0, bestTo = 0;
        std::vector<int> inWindow(static_cast<size_t>(r.keyWords.size()), 0);
        int distinctWeight = 0;
        for (size_t from = 0, to = 0; to < hits.size(); ++to) {
            if (inWindow[static_cast<size_t>(hits[to].word)]++ == 0)
                distinctWeight += weight[static_cast<size_t>(hits[to].word)];
            while (hits[to].at + hits[to].length - hits[from].at > kWindow) {
                if (--inWindow[static_cast<size_t>(hits[from].word)] == 0)
                    distinctWeight -= weight[static_cast<size_t>(hits[from].word)];
                ++from;
            }
            if (distinctWeight > best) {
                best = distinctWeight;
                bestFrom = static_cast<int>(from);
                bestTo = static_cast<int>(to);
            }
        }
        int foundWords = 0;
        if (best > 0) {
            QSet<int> seen;
            for (int h = bestFrom; h <= bestTo; ++h) {
                const Hit& hit = hits[static_cast<size_t>(h)];
                j.highlights.push_back({hit.at, hit.length, point.number});
                if (!seen.contains(hit.word)) {
                    seen.insert(hit.word);
                    r.found << answer.mid(hit.at, hit.length);
                }
            }
            foundWords = static_cast<int>(seen.size());
        }
        const double share = total > 0 ? static_cast<double>(best) / total : 0;
        if (share >= 0.55 && foundWords >= std::min<int>(2, static_cast<int>(r.keyWords.size())))
            r.coverage = Coverage::Covered;
        else if (share >= 0.25 && foundWords >= std::min<int>(2, static_cast<int>(r.keyWords.size())))
            r.coverage = Coverage::Partial;
        r.score = r.coverage == Coverage::Covered   ? point.points
                  : r.coverage == Coverage::Partial ? point.points / 2
                                                    : 0;
        j.score += r.score;
        j.points.push_back(r);
    }

    if (task.essay) {
        const double structureMarks = std::max(0.0, task.marks - pointsTotal);
        const QStringList paragraphs = answer.split(u'\n', Qt::SkipEmptyParts);
        const bool titled = !paragraphs.isEmpty() && sheet.rows.front().title;
        const int body = static_cast<int>(paragraphs.size()) - (titled ? 1 : 0);
        bool opening = false;
        if (body > 0 && !task.points.empty()) {
            const QString first = paragraphs.at(titled ? 1 : 0);
            for (const QString& w : KeyWords(task.points.front().text))
                for (const QString& alt : alternativesOf(w))
                    opening = opening || first.contains(alt);
        }
        const bool inRange = (task.limit.min == 0 || j.count >= task.limit.min) &&
                             (task.limit.max == 0 || j.count <= task.limit.max);
        const std::vector<std::pair<const char*, bool>> checks{{"标题", titled},
                                                               {"开头点题", opening},
                                                               {"主体分段", body >= 4},
                                                               {"结尾", body >= 3},
                                                               {"字数", inRange}};
        for (const auto& [name, met] : checks) {
            StructureCheck c{QString::fromUtf8(name), met, met ? structureMarks / checks.size() : 0};
            j.score += c.score;
            j.structure.push_back(c);
        }
    }
    j.score = std::min(j.score, j.marks);
    j.score = std::round(j.score * 2) / 2;

    j.how =
        QStringLiteral(
            "估分（仅供参考）：按参考要点的关键词在作答中出现的情况估计。一个要点的关键词（含常见同义说法）"
            "大多出现在相近位置（%1字以内）记为覆盖，得该要点全部分数；出现一部分记为部分覆盖，得一半；"
            "其余记为未覆盖，不得分。")
            .arg(kWindow);
    if (scored < whole.size())
        j.how += QStringLiteral("作答超出%1字的限制，超出部分不计分。").arg(task.limit.max);
    if (task.essay)
        j.how +=
            QStringLiteral("文章另按结构估分：标题、开头点题、主体分段、结尾、字数在要求范围内，各占%1分。")
                .arg(std::max(0.0, task.marks - pointsTotal) / 5, 0, 'g', 3);
    return j;
}

} // namespace essay
