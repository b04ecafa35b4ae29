#include "exchange/Aiken.h"

#include "exchange/LmsSupport.h"

#include <QRegularExpression>

namespace exchange {

ParsedFile ReadAiken(const QByteArray& bytes, const Limits& limits) {
    ParsedFile out;
    QString text;
    if (!DecodeUtf8File(bytes, limits, text, out)) return out;
    const QStringList lines = TextLines(text);

    static const QRegularExpression optionLine(QStringLiteral("\\A([A-Z])[.)]\\s+(.*)\\z"));
    static const QRegularExpression answerLine(QStringLiteral("\\AANSWER\\s*[:：]\\s*(.*)\\z"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression separators(QStringLiteral("[\\s,，、]"));
    struct Pending {
        int line = 0; // 0 = no question begun
        QStringList stem;
        std::vector<Text> options;
        bool broken = false; // reported; skipped up to its end
    } q;
    auto note = [&](int line, const QString& problem) { out.problems.push_back({line, {}, problem, false}); };
    auto unanswered = [&] {
        if (q.line != 0 && !q.broken) note(q.line, QStringLiteral("缺少 ANSWER 行，已跳过"));
        q = {};
    };

    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty()) {
            unanswered();
            continue;
        }
        if (const QRegularExpressionMatch m = answerLine.match(line); m.hasMatch()) {
            if (q.line == 0) {
                note(n, QStringLiteral("ANSWER 行前面没有题目"));
                continue;
            }
            if (!q.broken) {
                QString key = m.captured(1).toUpper();
                key.remove(separators);
                bool known = !key.isEmpty();
                for (const QChar c : key)
                    known = known && c >= u'A' && c.unicode() < u'A' + q.options.size();
                if (q.options.empty()) {
                    note(q.line, QStringLiteral("题目没有选项，已跳过"));
                } else if (!known) {
                    note(q.line, key.isEmpty() ? QStringLiteral("ANSWER 行没有给出答案，已跳过")
                                               : QStringLiteral("答案 %1 不在选项中，已跳过").arg(key));
                } else {
                    Record record;
                    record.line = q.line;
                    record.stem = Text{q.stem.join(QLatin1Char('\n')), false};
                    record.options = std::move(q.options);
                    record.key = key;
                    if (!AddRecord(out, std::move(record), limits)) return out;
                }
            }
            q = {};
            continue;
        }
        if (q.broken) continue;
        if (q.line == 0) q.line = n;
        if (const QRegularExpressionMatch m = optionLine.match(line); m.hasMatch() && !q.stem.isEmpty()) {
            const QChar expected(u'A' + static_cast<char16_t>(q.options.size()));
            if (m.captured(1) != expected) {
                note(n, QStringLiteral("这里应是选项 %1，已跳过这道题").arg(expected));
                q.broken = true;
                continue;
            }
            q.options.push_back(Text{m.captured(2).trimmed(), false});
            continue;
        }
        if (!q.options.empty()) {
            note(n, QStringLiteral("选项后面应是 ANSWER 行，已跳过这道题"));
            q.broken = true;
            continue;
        }
        q.stem += line;
    }
    unanswered();
    return out;
}

} // namespace exchange
