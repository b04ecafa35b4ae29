#include "exchange/ImportPreview.h"

#include "exchange/Sanitizer.h"

#include <QImage>
#include <QUrl>

namespace {
QString letter(int i) {
    return QString(QChar(char16_t('A' + i)));
}
} // namespace

TImportPreview::TImportPreview(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
}

void TImportPreview::Show(const exchange::ImportPlan& plan, const exchange::ParsedFile& file) {
    pictures_ = plan.pictures;
    QString html = QStringLiteral("<html><body style=\"font-size:14px\">");
    int n = 0;
    int lastGroup = -1;
    for (const exchange::PlannedQuestion& q : plan.questions) {
        if (++n > kShown) break;
        if (q.group >= 0 && q.group != lastGroup)
            html += QStringLiteral("<p style=\"background:#F2F6FA\">%1</p>")
                        .arg(plan.groups[static_cast<size_t>(q.group)].material);
        lastGroup = q.group;
        html += QStringLiteral("<p><b>%1.</b> %2 <span style=\"color:#808080\">（%3 · %4）</span></p>")
                    .arg(n)
                    .arg(q.stem, q.type.isEmpty() ? QStringLiteral("不计分") : q.type, q.path[1]);
        for (int i = 0; i < q.options.size(); ++i)
            html += QStringLiteral("<p style=\"margin-left:20px\">%1. %2</p>").arg(letter(i), q.options[i]);
        if (!q.key.isEmpty())
            html += QStringLiteral("<p style=\"color:#1E559A\">参考答案：%1</p>").arg(q.key);
        if (!q.explanation.isEmpty())
            html += QStringLiteral("<p style=\"color:#505050\">%1</p>").arg(q.explanation);
        html += QStringLiteral("<hr>");
    }
    if (static_cast<int>(plan.questions.size()) > kShown)
        html +=
            QStringLiteral("<p>……共 %1 道题，只显示前 %2 道。</p>").arg(plan.questions.size()).arg(kShown);
    // The questions left out, each with what is wrong with it.
    bool heading = false;
    for (const exchange::Record& r : file.records) {
        if (!plan.badLines.contains(r.line)) continue;
        if (!heading) html += QStringLiteral("<h3 style=\"color:#C03030\">有问题、不会导入的题目</h3>");
        heading = true;
        QStringList why;
        for (const exchange::Problem& p : plan.problems)
            if (p.line == r.line) why << p.text.toHtmlEscaped();
        html += QStringLiteral("<p><span style=\"color:#C03030\">第 %1 行：%2</span><br>%3</p>")
                    .arg(r.line)
                    .arg(why.join(QStringLiteral("；")), exchange::ToBankHtml(r.stem, pictures_));
        for (size_t i = 0; i < r.options.size(); ++i)
            html += QStringLiteral("<p style=\"margin-left:20px\">%1. %2</p>")
                        .arg(letter(static_cast<int>(i)), exchange::ToBankHtml(r.options[i], pictures_));
        if (!r.key.isEmpty()) html += QStringLiteral("<p>答案：%1</p>").arg(r.key.toHtmlEscaped());
    }
    setHtml(html + QStringLiteral("</body></html>"));
}

QVariant TImportPreview::loadResource(int type, const QUrl& name) {
    if (type != QTextDocument::ImageResource) return {};
    const QString file = name.toString().section(u'/', -1);
    const auto it = pictures_.find(file.section(u'.', 0, 0));
    if (it == pictures_.end()) return {};
    return QImage::fromData(it->second.bytes);
}
