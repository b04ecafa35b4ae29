// Whatever bytes a CSV template or a text file holds, the readers and the
// check keep their promises: every planned key names options the question
// has, in order, and every planned text is already what the sanitizer makes.
#include "FuzzRecords.h"
#include "exchange/Csv.h"
#include "exchange/ImportPlan.h"
#include "exchange/PlainText.h"
#include "exchange/Sanitizer.h"
#include "exchange/Template.h"

#include <QStringList>
#include <cstdint>

namespace {
void checkPlan(exchange::ParsedFile file, int lines) {
    exchange::BankFacts bank;
    bank.types =
        QStringList{QStringLiteral("单项选择题"), QStringLiteral("多项选择题"), QStringLiteral("判断题")};
    exchange::ImportOptions options;
    options.newTypes = true;
    const exchange::ImportPlan plan = exchange::PlanImport(std::move(file), bank, options);
    for (const exchange::Problem& p : plan.problems)
        FUZZ_CHECK(p.line >= 0 && p.line <= lines, "problem on line %d of %d", p.line, lines);
    for (const exchange::PlannedQuestion& q : plan.questions) {
        FUZZ_CHECK(q.options.size() <= 8, "%lld options", static_cast<long long>(q.options.size()));
        for (qsizetype i = 0; i < q.key.size(); ++i) {
            FUZZ_CHECK(q.key[i] >= u'A' && q.key[i].unicode() < u'A' + q.options.size(), "key %s",
                       qPrintable(q.key));
            FUZZ_CHECK(i == 0 || q.key[i - 1] < q.key[i], "key %s out of order", qPrintable(q.key));
        }
        FUZZ_CHECK(exchange::SanitizeHtml(q.stem, plan.pictures) == q.stem, "stem not sanitized: %s",
                   qPrintable(q.stem.left(200)));
        for (const QString& o : q.options)
            FUZZ_CHECK(exchange::SanitizeHtml(o, plan.pictures) == o, "option not sanitized: %s",
                       qPrintable(o.left(200)));
        for (const QString& part : q.path)
            FUZZ_CHECK(!part.isEmpty() && !part.contains(u'/'), "path part");
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const exchange::Limits limits = FuzzLimits();
    const QString text = exchange::DecodeSpreadsheetText(bytes);
    const int lines = static_cast<int>(text.count(u'\n') + text.count(u'\r')) + 1;

    exchange::ParsedFile csv;
    exchange::TemplateRows rows(csv, QStringLiteral("/nonexistent-folder"), limits);
    exchange::ReadCsvRows(text, [&](int row, const QStringList& cells) { return rows.Row(row, cells); });
    rows.Finish();
    checkPlan(std::move(csv), lines);

    std::vector<exchange::Text> textLines;
    for (const QString& l : text.split(u'\n'))
        textLines.push_back({l, false});
    checkPlan(exchange::ReadQuestionLines(textLines, limits), lines);
    return 0;
}
