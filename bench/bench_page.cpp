// Writing the question page for 1,000 and 10,000 questions of the 100,000-question
// bank, beside the floor: the same rows read by a bare SQLite loop with reused
// statements, and the same bytes written to a file.
#include "BenchBank.h"
#include "platform/AppFolder.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "render/QuestionPage.h"
#include "store/DataModule.h"
#include "store/EncryptionMDB.h"
#include "store/ExamDbFile.h"
#include "store/Statement.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <sqlite3.h>
#include <string>

namespace {
OpenLargeBank& installed() {
    static OpenLargeBank bank("page");
    return bank;
}
} // namespace

static void BM_BuildQuestionPage(benchmark::State& state) {
    installed();
    FillSpreadList(static_cast<int>(state.range(0)));
    for (auto _ : state)
        BuildQuestionPage("模拟考场");
    state.counters["questions"] = ShiTiList.Count();
}
BENCHMARK(BM_BuildQuestionPage)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The floor: one plain SQLite connection on an extracted image, statements
// prepared once and re-bound per row, every column read as text, and the page's
// bytes written out.
static void BM_Floor_ReadRowsWriteBytes(benchmark::State& state) {
    OpenLargeBank& inst = installed();
    FillSpreadList(static_cast<int>(state.range(0)));
    BuildQuestionPage("模拟考场");
    const std::string page = [&] {
        std::FILE* f = std::fopen((inst.folder + "css/Question.html").c_str(), "rb");
        std::string s;
        char buf[1 << 16];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            s.append(buf, n);
        std::fclose(f);
        return s;
    }();
    const std::string image = inst.folder + "plain.db";
    examdb::ExtractImage(inst.folder + "exam.db", image);
    sqlite3* db = nullptr;
    sqlite3_open_v2(image.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::string inList;
    for (int i = 0; i < XiaoTiList.Count(); ++i)
        inList += (i ? "," : "") + std::to_string(XiaoTiList[i]->Id);
    {
        store::Statement outer(db, "SELECT * FROM 小题 WHERE 小题号 IN(" + inList + ")");
        store::Statement type(db, "SELECT * FROM 类型说明 WHERE 题目类型=?");
        store::Statement group(db, "SELECT * FROM 小题 WHERE 大题号=?");
        store::Statement stem(db, "SELECT * FROM 大题 WHERE 大题号=?");
        store::Statement options(db, "SELECT * FROM 答案选项 WHERE 大题号=? AND 小题号=? ORDER BY 答案编号");
        auto drain = [](store::Statement& s) {
            size_t bytes = 0;
            int rows = 0;
            while (s.step()) {
                ++rows;
                for (int c = 0; c < s.columnCount(); ++c)
                    bytes += s.utf8(c).size();
            }
            s.reset();
            benchmark::DoNotOptimize(bytes);
            return rows;
        };
        for (auto _ : state) {
            std::string prevType;
            long long prevGroup = 0;
            while (outer.step()) {
                const long long id = outer.integer(0), grp = outer.integer(1);
                const std::string_view t = outer.utf8(3);
                for (int c = 0; c < outer.columnCount(); ++c)
                    outer.utf8(c);
                if (t.empty()) continue;
                if (prevType != t) {
                    prevType = t;
                    type.bind(1, t);
                    drain(type);
                }
                if (grp != prevGroup) {
                    group.bind(1, grp);
                    if (drain(group) >= 2) {
                        prevGroup = grp;
                        stem.bind(1, grp);
                        drain(stem);
                    }
                }
                options.bind(1, grp).bind(2, id);
                drain(options);
            }
            outer.reset();
            std::FILE* f = std::fopen((inst.folder + "css/floor.html").c_str(), "wb");
            std::fwrite(page.data(), 1, page.size(), f);
            std::fclose(f);
        }
    }
    sqlite3_close(db);
    state.counters["page_bytes"] = static_cast<double>(page.size());
}
BENCHMARK(BM_Floor_ReadRowsWriteBytes)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
