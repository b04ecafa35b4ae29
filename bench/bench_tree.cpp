// Loading the category tree of 10,000 and 100,000 categories into the real tree
// view, beside the floor: the same rows read by a bare SQLite loop.
#include "BenchBank.h"
#include "app/FrmMain.h"
#include "platform/AppFolder.h"
#include "store/DataModule.h"
#include "store/ExamDbFile.h"
#include "store/Statement.h"

#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {
struct TreeBank {
    std::string folder;
    TDataModule1 dm;
    explicit TreeBank(int sections)
        : folder(MakeBenchInstall("tree-" + std::to_string(sections), 2000, sections)) {
        if (!dm.GuardAndConnect(folder)) throw std::runtime_error("bank did not open");
    }
};
} // namespace

static void BM_LoadCategoryTree(benchmark::State& state) {
    TreeBank bank(static_cast<int>(state.range(0)));
    DataModule1 = &bank.dm;
    SetAppFolder(bank.folder);
    TFrmMain frm;
    for (auto _ : state)
        frm.ActShiTiKuExecute();
    state.counters["categories"] = frm.RootNodeInfos.Count() + frm.ChildNodeInfos.Count();
    DataModule1 = nullptr;
}
BENCHMARK(BM_LoadCategoryTree)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

static void BM_Floor_ReadCategories(benchmark::State& state) {
    TreeBank bank(static_cast<int>(state.range(0)));
    const std::string image = bank.folder + "plain.db";
    examdb::ExtractImage(bank.folder + "exam.db", image);
    sqlite3* db = nullptr;
    sqlite3_open_v2(image.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    {
        store::Statement s(db, "SELECT * FROM 题目类别");
        for (auto _ : state) {
            long long sum = 0;
            while (s.step()) {
                sum += s.integer(0) + s.integer(2);
                sum += static_cast<long long>(s.utf8(1).size());
            }
            s.reset();
            benchmark::DoNotOptimize(sum);
        }
    }
    sqlite3_close(db);
}
BENCHMARK(BM_Floor_ReadCategories)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The widget floor: as many bare items with their texts, added to a tree view.
static void BM_Floor_BareTreeItems(benchmark::State& state) {
    QTreeWidget tree;
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        tree.clear();
        QList<QTreeWidgetItem*> roots;
        QTreeWidgetItem* parent = nullptr;
        for (int i = 0; i < n; ++i) {
            auto* item = new QTreeWidgetItem;
            item->setText(0, QStringLiteral("第%1节").arg(i));
            if (i % 100 == 0) {
                roots.append(item);
                parent = item;
            } else {
                parent->addChild(item);
            }
        }
        tree.addTopLevelItems(roots);
    }
}
BENCHMARK(BM_Floor_BareTreeItems)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
