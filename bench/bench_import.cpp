// Importing 100,000 questions from the template (CSV and XLSX) into an empty
// bank, and exporting them again, beside the floor: bare SQLite inserts of the
// same rows in one transaction. Memory is the process's peak (ru_maxrss).
#include "BankBuilder.h"
#include "BenchBank.h"
#include "exchange/BankImport.h"
#include "exchange/Export.h"
#include "exchange/ImportFile.h"
#include "platform/Files.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <QDir>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {
constexpr int kQuestions = 100000;

std::vector<exchange::ExportedQuestion> generated() {
    std::vector<exchange::ExportedQuestion> out;
    out.reserve(kQuestions);
    for (int i = 0; i < kQuestions; ++i) {
        exchange::ExportedQuestion q;
        q.id = i + 1;
        q.path = {QStringLiteral("导入试卷"), QStringLiteral("科目%1").arg(i % 5),
                  QStringLiteral("专项%1").arg(i % 50)};
        q.type = i % 3 == 0 ? QStringLiteral("多项选择题") : QStringLiteral("单项选择题");
        q.stem = QStringLiteral("第 %1 题：某单位今年的支出比去年增长了百分之%2，下列说法<b>正确</b>的是：")
                     .arg(i)
                     .arg(i % 97);
        for (int k = 0; k < 4; ++k)
            q.options << QStringLiteral("选项%1之%2").arg(QChar(u'A' + k)).arg(i);
        q.key = i % 3 == 0 ? QStringLiteral("AC") : QStringLiteral("B");
        q.explanation = QStringLiteral("解析：本题考查增长率的计算，第 %1 题。").arg(i);
        out.push_back(std::move(q));
    }
    return out;
}

struct Files {
    std::string dir = std::string(QUILLORA_BENCH_DATA) + "/import/";
    QString xlsx = QString::fromStdString(dir + "import.xlsx");
    QString csv = QString::fromStdString(dir + "import.csv");
    std::vector<exchange::ExportedQuestion> questions = generated();
    Files() {
        std::filesystem::create_directories(dir);
        QString error;
        if (!exchange::WriteTemplateXlsx(xlsx, questions, {}, &error))
            throw std::runtime_error(error.toStdString());
        std::ofstream f(csv.toStdString(), std::ios::binary);
        f << "分类,题型,题干,选项A,选项B,选项C,选项D,答案,解析\n";
        for (const auto& q : questions) {
            f << (q.path[0] + u'/' + q.path[1] + u'/' + q.path[2]).toStdString() << ','
              << q.type.toStdString() << ',' << q.stem.toStdString();
            for (const QString& o : q.options)
                f << ',' << o.toStdString();
            f << ',' << q.key.toStdString() << ',' << q.explanation.toStdString() << '\n';
        }
    }
};
Files& files() {
    static Files f;
    return f;
}

// An empty bank with the shipped types, so every row lands.
std::string emptyInstall() {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "quillora-bench-import";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "css");
    bank::BuildFromSql({bank::ReadTextFile(std::string(QUILLORA_SOURCE_DIR) + "/data/bank/schema.sql"),
                        bank::ReadTextFile(std::string(QUILLORA_SOURCE_DIR) + "/data/bank/30_types.sql")},
                       (dir / "exam.db").string());
    return dir.string() + "/";
}

void reportMemory(benchmark::State& state) {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    state.counters["peak_MB"] = static_cast<double>(u.ru_maxrss) / 1024.0;
}

void importFile(benchmark::State& state, const QString& path) {
    for (auto _ : state) {
        state.PauseTiming();
        const std::string folder = emptyInstall();
        auto dm = std::make_unique<TDataModule1>();
        if (!dm->GuardAndConnect(folder)) throw std::runtime_error("bank did not open");
        state.ResumeTiming();
        // Each step's share, so a slow import says where its time went.
        QElapsedTimer t;
        t.start();
        exchange::ParsedFile parsed = exchange::ReadImportFile(path);
        state.counters["read_s"] = t.restart() / 1000.0;
        exchange::ImportOptions options;
        const exchange::ImportPlan plan =
            exchange::PlanImport(std::move(parsed), exchange::ReadBankFacts(dm->ADOConnection1), options);
        state.counters["check_s"] = t.restart() / 1000.0;
        const exchange::ImportResult r = exchange::WritePlan(dm->ADOConnection1, plan);
        state.counters["write_s"] = t.restart() / 1000.0;
        if (r.questions != kQuestions) throw std::runtime_error("imported " + std::to_string(r.questions));
    }
    reportMemory(state);
}

void BM_ImportCsv(benchmark::State& state) {
    importFile(state, files().csv);
}
void BM_ImportXlsx(benchmark::State& state) {
    importFile(state, files().xlsx);
}

void BM_ExportXlsx(benchmark::State& state) {
    const std::string folder = MakeBenchInstall("export", kQuestions);
    TDataModule1 dm;
    if (!dm.GuardAndConnect(folder)) throw std::runtime_error("bank did not open");
    for (auto _ : state) {
        // Category 0: every source.
        const auto all = exchange::ReadForExport(dm.ADOConnection1, {exchange::Selection::Kind::Category, 0});
        QString error;
        if (!exchange::WriteTemplateXlsx(QString::fromStdString(folder + "out.xlsx"), all, {}, &error))
            throw std::runtime_error(error.toStdString());
        state.counters["questions"] = static_cast<double>(all.size());
    }
    reportMemory(state);
}

// The floor: the same rows as bare inserts, one transaction, prepared statements.
void BM_FloorBareInserts(benchmark::State& state) {
    const auto& qs = files().questions;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = std::string(QUILLORA_BENCH_DATA) + "/import/floor.db";
        std::filesystem::remove(path);
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db,
                     "CREATE TABLE 小题(小题号 INTEGER PRIMARY KEY, 大题号, 所属编号, 题目类型, 题目内容, "
                     "答案, 解释, 是否单项, 是否收藏);"
                     "CREATE TABLE 答案选项(大题号, 小题号, 答案编号, 答题选项);"
                     "CREATE INDEX a ON 小题(大题号);CREATE INDEX b ON 小题(所属编号);CREATE INDEX c ON "
                     "答案选项(大题号,小题号,答案编号);",
                     nullptr, nullptr, nullptr);
        state.ResumeTiming();
        {
            store::WriteTransaction transaction(db, store::WriteTransaction::Begin::Deferred);
            store::Statement q(db, "INSERT INTO 小题 VALUES(?,?,?,?,?,?,?,?,0)");
            store::Statement o(db, "INSERT INTO 答案选项 VALUES(?,?,?,?)");
            for (const auto& e : qs) {
                q.bind(1, e.id).bind(2, e.id).bind(3, 101).bind(4, e.type).bind(5, e.stem).bind(6, e.key);
                q.bind(7, e.explanation).bind(8, 0).run();
                for (int i = 0; i < e.options.size(); ++i)
                    o.bind(1, e.id).bind(2, e.id).bind(3, i + 1).bind(4, e.options[i]).run();
            }
            transaction.commit();
        }
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
}
} // namespace

BENCHMARK(BM_FloorBareInserts)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ImportXlsx)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ExportXlsx)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
