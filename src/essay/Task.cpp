#include "essay/Task.h"

#include <QRegularExpression>

namespace essay {
namespace {
double marksIn(const QString& s) {
    static const QRegularExpression re(QStringLiteral("[（(]\\s*(\\d{1,3}(?:\\.\\d)?)\\s*分\\s*[）)]"));
    QRegularExpressionMatchIterator it = re.globalMatch(s);
    double last = 0;
    while (it.hasNext())
        last = it.next().captured(1).toDouble();
    return last;
}
} // namespace

QString PlainText(const QString& html) {
    QString s = html;
    static const QRegularExpression breaks(QStringLiteral("<\\s*(br|/p|/div|/li|/tr|/h\\d)\\b[^>]*>"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    s.replace(breaks, QStringLiteral("\n"));
    s.remove(tags);
    s.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
    s.replace(QLatin1String("&lt;"), QLatin1String("<"));
    s.replace(QLatin1String("&gt;"), QLatin1String(">"));
    s.replace(QLatin1String("&quot;"), QLatin1String("\""));
    s.replace(QLatin1String("&amp;"), QLatin1String("&"));
    QStringList lines;
    for (const QString& line : s.split(u'\n')) {
        const QString t = line.trimmed();
        if (!t.isEmpty()) lines << t;
    }
    return lines.join(u'\n');
}

QString TaskKind(const QString& t, bool essay) {
    const auto any = [&](std::initializer_list<const char*> words) {
        for (const char* w : words)
            if (t.contains(QString::fromUtf8(w))) return true;
        return false;
    };
    if (essay) return QStringLiteral("文章论述");
    if (any({"假如你是", "假设你是", "写一份", "撰写", "起草", "拟写", "以…的身份"}))
        return QStringLiteral("贯彻执行");
    if (any({"对策", "建议", "措施", "怎么办"})) return QStringLiteral("提出对策");
    if (any({"理解", "分析", "评价", "谈谈", "看法", "启示", "谈谈你"})) return QStringLiteral("综合分析");
    return QStringLiteral("归纳概括");
}

Task ReadTask(int id, const QString& taskHtml, const QString& explanationHtml) {
    Task task;
    task.id = id;
    task.text = PlainText(taskHtml);
    task.limit = ParseLimit(task.text);
    task.marks = marksIn(task.text);

    static const QRegularExpression numbered(
        QStringLiteral("^\\s*(?:(\\d{1,2})\\s*[.．、]|[（(](\\d{1,2})[）)]|([①②③④⑤⑥⑦⑧⑨⑩]))\\s*(.+)$"));
    static const QRegularExpression points(
        QStringLiteral("[（(]\\s*(\\d{1,3}(?:\\.\\d)?)\\s*分\\s*[）)]\\s*[。；;]?\\s*$"));
    for (const QString& line : PlainText(explanationHtml).split(u'\n')) {
        if (line.startsWith(QLatin1String("评分"))) break;
        const QRegularExpressionMatch m = numbered.match(line);
        if (!m.hasMatch()) continue;
        KeyPoint p;
        p.number = static_cast<int>(task.points.size()) + 1;
        p.text = m.captured(4).trimmed();
        if (const QRegularExpressionMatch pm = points.match(p.text); pm.hasMatch()) {
            p.points = pm.captured(1).toDouble();
            p.text = p.text.left(pm.capturedStart()).trimmed();
        }
        if (!p.text.isEmpty()) task.points.push_back(p);
    }
    double given = 0;
    int without = 0;
    for (const KeyPoint& p : task.points) {
        given += p.points;
        if (p.points <= 0) ++without;
    }
    if (task.marks <= 0) task.marks = given > 0 && without == 0 ? given : 100;
    task.essay = task.limit.min >= 600 || task.text.contains(QLatin1String("文章")) ||
                 task.text.contains(QLatin1String("议论文"));
    // 要点 without points share what the given ones leave of the marks (for an
    // essay, the structure keeps its part when the 要点 give theirs).
    if (without > 0) {
        const double left =
            std::max(0.0, task.marks - given - (task.essay && given == 0 ? task.marks / 4 : 0));
        for (KeyPoint& p : task.points)
            if (p.points <= 0) p.points = left / without;
    }
    task.kind = TaskKind(task.text, task.essay);
    return task;
}

} // namespace essay
