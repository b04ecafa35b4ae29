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

#include <benchmark/benchmark.h>
#include <cstdio>
#include <sqlite3.h>
#include <string>

namespace {
OpenLargeBank& installed() {
    static OpenLargeBank bank("page");
    return bank;
}
}  // namespace

static void BM_BuildQuestionPage(benchmark::State& state) {
    installed();
    FillSpreadList(static_cast<int>(state.range(0)));
    for (auto _ : state) BuildQuestionPage("模拟考场");
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
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
        std::fclose(f);
        return s;
    }();
    const std::string image = inst.folder + "plain.db";
    examdb::ExtractImage(inst.folder + "exam.db", image);
    sqlite3* db = nullptr;
    sqlite3_open_v2(image.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::string inList;
    for (int i = 0; i < XiaoTiList.Count(); ++i) inList += (i ? "," : "") + std::to_string(XiaoTiList[i]->Id);
    sqlite3_stmt *outer, *type, *group, *stem, *options;
    sqlite3_prepare_v2(db, ("SELECT * FROM 小题 WHERE 小题号 IN(" + inList + ")").c_str(), -1, &outer, nullptr);
    sqlite3_prepare_v2(db, "SELECT * FROM 类型说明 WHERE 题目类型=?", -1, &type, nullptr);
    sqlite3_prepare_v2(db, "SELECT * FROM 小题 WHERE 大题号=?", -1, &group, nullptr);
    sqlite3_prepare_v2(db, "SELECT * FROM 大题 WHERE 大题号=?", -1, &stem, nullptr);
    sqlite3_prepare_v2(db, "SELECT * FROM 答案选项 WHERE 大题号=? AND 小题号=? ORDER BY 答案编号", -1, &options, nullptr);
    auto drain = [](sqlite3_stmt* s) {
        size_t bytes = 0;
        int rows = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            ++rows;
            for (int c = 0; c < sqlite3_column_count(s); ++c) {
                sqlite3_column_text(s, c);
                bytes += static_cast<size_t>(sqlite3_column_bytes(s, c));
            }
        }
        sqlite3_reset(s);
        benchmark::DoNotOptimize(bytes);
        return rows;
    };
    for (auto _ : state) {
        std::string prevType;
        long long prevGroup = 0;
        while (sqlite3_step(outer) == SQLITE_ROW) {
            const long long id = sqlite3_column_int64(outer, 0), grp = sqlite3_column_int64(outer, 1);
            const char* t = reinterpret_cast<const char*>(sqlite3_column_text(outer, 3));
            for (int c = 0; c < sqlite3_column_count(outer); ++c) sqlite3_column_text(outer, c);
            if (!t || !*t) continue;
            if (prevType != t) {
                prevType = t;
                sqlite3_bind_text(type, 1, t, -1, SQLITE_TRANSIENT);
                drain(type);
            }
            if (grp != prevGroup) {
                sqlite3_bind_int64(group, 1, grp);
                if (drain(group) >= 2) {
                    prevGroup = grp;
                    sqlite3_bind_int64(stem, 1, grp);
                    drain(stem);
                }
            }
            sqlite3_bind_int64(options, 1, grp);
            sqlite3_bind_int64(options, 2, id);
            drain(options);
        }
        sqlite3_reset(outer);
        std::FILE* f = std::fopen((inst.folder + "css/floor.html").c_str(), "wb");
        std::fwrite(page.data(), 1, page.size(), f);
        std::fclose(f);
    }
    for (sqlite3_stmt* s : {outer, type, group, stem, options}) sqlite3_finalize(s);
    sqlite3_close(db);
    state.counters["page_bytes"] = static_cast<double>(page.size());
}
BENCHMARK(BM_Floor_ReadRowsWriteBytes)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
