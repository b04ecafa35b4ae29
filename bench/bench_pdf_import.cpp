// Reading a 100-page PDF paper of about 1,300 questions with 150 figures (made
// once by LibreOffice from generated HTML, kept in bench/data/pdf/) to the
// checked import plan, beside the floor: Poppler's own text of every page.
#include "BenchBank.h"
#include "exchange/ImportFile.h"
#include "exchange/ImportPlan.h"
#include "exchange/OfficeConvert.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <poppler-qt6.h>

namespace {
constexpr int kQuestions = 1300;
constexpr int kFigureEvery = 9; // about 150 figures

QString figure(int i) {
    QImage image(240, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(Qt::black, 2));
    p.drawEllipse(15 + i % 20, 15, 50, 50);
    p.drawRect(95, 15 + i % 10, 50, 50);
    p.drawLine(175, 65, 200 + i % 30, 15);
    for (int bit = 0; bit < 11; ++bit) // each figure its own: i in binary along the foot
        if ((i >> bit) & 1) p.fillRect(10 + bit * 20, 70, 8, 8, Qt::black);
    p.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QString::fromLatin1(png.toBase64());
}

// The paper, made when missing: LibreOffice lays it out as any writer would.
QString paper() {
    const QString dir = QStringLiteral(QUILLORA_BENCH_DATA "/pdf/");
    const QString pdf = dir + QStringLiteral("paper.pdf");
    if (QFile::exists(pdf)) return pdf;
    QDir().mkpath(dir);
    QString html = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>"
                                  "body{font-size:9pt} p{margin:0}</style></head><body>");
    for (int i = 1; i <= kQuestions; ++i) {
        if (i % 100 == 1) html += QStringLiteral("<p>第%1部分 常识判断</p>").arg(i / 100 + 1);
        html +=
            QStringLiteral(
                "<p>%1. 某单位今年的支出比去年增长了百分之%2，按照有关规定和实际情况，下列说法中正确的是（  "
                "）</p>")
                .arg(i)
                .arg(i % 97);
        if (i % kFigureEvery == 0)
            html +=
                QStringLiteral("<p><img src=\"data:image/png;base64,%1\" width=\"240\" height=\"80\"></p>")
                    .arg(figure(i));
        html += QStringLiteral("<p>A. 甲方案%1&nbsp;&nbsp;&nbsp;&nbsp;B. 乙方案%1&nbsp;&nbsp;&nbsp;&nbsp;C. "
                               "丙方案%1&nbsp;&nbsp;&nbsp;&nbsp;"
                               "D. 丁方案%1</p>")
                    .arg(i);
    }
    html += QStringLiteral("<p>参考答案</p>");
    for (int i = 1; i <= kQuestions; ++i)
        html += QStringLiteral("<p>%1．【答案】%2【解析】略。</p>").arg(i).arg(QChar(u'A' + i % 4));
    html += QStringLiteral("</body></html>");
    QFile f(dir + QStringLiteral("paper.html"));
    if (!f.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write the paper's HTML");
    f.write(html.toUtf8());
    f.close();
    QProcess office;
    office.start(exchange::OfficeProgram(),
                 {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                  QStringLiteral("--infilter=HTML (StarWriter)"), QStringLiteral("--convert-to"),
                  QStringLiteral("pdf:writer_pdf_Export"), QStringLiteral("--outdir"), dir, f.fileName()});
    if (!office.waitForFinished(600000) || !QFile::exists(pdf))
        throw std::runtime_error("LibreOffice did not make the benchmark's PDF");
    return pdf;
}

void BM_ReadPdfPaperToPlan(benchmark::State& state) {
    const QString pdf = paper();
    size_t questions = 0, pictures = 0;
    for (auto _ : state) {
        exchange::ParsedFile parsed = exchange::ReadImportFile(pdf);
        pictures = parsed.pictures.size();
        exchange::BankFacts bank;
        bank.types << QStringLiteral("常识判断");
        exchange::ImportOptions options;
        options.fallbackSource = QStringLiteral("paper");
        const exchange::ImportPlan plan = exchange::PlanImport(std::move(parsed), bank, options);
        questions = plan.questions.size();
    }
    state.counters["questions"] = static_cast<double>(questions);
    state.counters["pictures"] = static_cast<double>(pictures);
}
BENCHMARK(BM_ReadPdfPaperToPlan)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PopplerTextOfEveryPage(benchmark::State& state) {
    const QString pdf = paper();
    int pages = 0;
    for (auto _ : state) {
        const auto doc = Poppler::Document::load(pdf);
        pages = doc->numPages();
        for (int i = 0; i < pages; ++i)
            benchmark::DoNotOptimize(doc->page(i)->textList().size());
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_PopplerTextOfEveryPage)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

BENCHMARK_MAIN();
