#include "SyntheticBank.h"

#include "BankBuilder.h"
#include "store/Statement.h"

#include <algorithm>
#include <random>
#include <vector>

namespace bank {
namespace {

const char* const kSubjects[] = {"言语理解与表达", "数量关系", "判断推理", "资料分析", "常识判断"};
const char* const kPhrases[] = {
    "根据材料", "下列说法", "正确的是", "某市",     "统计数据显示", "同比增长", "环比下降", "政府工作报告",
    "公共服务", "基层治理", "数字经济", "乡村振兴", "生态保护",     "城市更新", "社会保障", "科技创新",
    "营商环境", "人口结构", "产业升级", "文化传承", "以下推理",     "最能削弱", "最能支持", "由此可以推出",
    "一项工程", "甲乙两人", "合作完成", "所需天数", "概率为",       "平均值",   "比重约为", "增速最快的是",
};

struct Generator {
    std::mt19937 rng;
    std::string text(int minPieces, int maxPieces) {
        std::uniform_int_distribution<int> count(minPieces, maxPieces);
        std::uniform_int_distribution<size_t> pick(0, std::size(kPhrases) - 1);
        std::string s;
        for (int i = count(rng); i > 0; --i) {
            s += kPhrases[pick(rng)];
            s += i % 5 == 0 ? "。" : "，";
        }
        return s;
    }
    int roll(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
};

} // namespace

SynthCounts BuildSynthetic(const std::string& target, const SynthOptions& opt) {
    SynthCounts counts;
    const std::string schema = ReadTextFile(opt.schemaPath);
    BuildWith(target, [&](sqlite3* db) {
        ExecScript(db, schema);
        Generator g{std::mt19937(opt.seed)};
        store::Statement cat(db, "INSERT INTO 题目类别(编号,名称,父级编号,属性) VALUES(?,?,?,?)");
        const int nSources = 4, nRoots = 5, nSubjects = static_cast<int>(std::size(kSubjects));
        std::vector<long long> subjectIds;
        for (int r = 1; r <= nRoots; ++r) {
            const bool source = r <= nSources;
            cat.bind(1, static_cast<long long>(r))
                .bind(2, std::string(source ? "模拟题库" : "专项训练") + std::to_string(r))
                .bind(3, 0LL)
                .bind(4, std::string(source ? "0" : "1"))
                .run();
            for (int s = 0; s < nSubjects; ++s) {
                long long id = 100 + r * 10 + s;
                cat.bind(1, id)
                    .bind(2, std::string(kSubjects[s]))
                    .bind(3, static_cast<long long>(r))
                    .bind(4, std::string())
                    .run();
                subjectIds.push_back(id);
            }
        }
        const int nSections = opt.sections > 0 ? opt.sections : std::max(8, opt.questions / 40);
        for (int i = 0; i < nSections; ++i)
            cat.bind(1, 1000LL + i)
                .bind(2, "第" + std::to_string(i / subjectIds.size() + 1) + "节")
                .bind(3, subjectIds[static_cast<size_t>(i) % subjectIds.size()])
                .bind(4, std::string())
                .run();
        counts.categories = nRoots + nRoots * nSubjects + nSections;

        ExecScript(
            db, "INSERT INTO 类型说明 VALUES('单项选择题','每题给出的四个选项中，只有一项最符合题意。',0.8);"
                "INSERT INTO 类型说明 VALUES('多项选择题','每题给出的选项中，至少有两项符合题意。',1.0);"
                "INSERT INTO 类型说明 VALUES('判断题','判断下列说法是否正确。',0.5);"
                "INSERT INTO 类型说明 VALUES('资料分析题','根据所给材料回答问题。',1.0);");

        store::Statement item(
            db, "INSERT INTO 小题(小题号,大题号,所属编号,题目类型,题目内容,答案,解释,是否单项,是否收藏) "
                "VALUES(?,?,?,?,?,?,?,?,0)");
        store::Statement group(db, "INSERT INTO 大题(大题号,大题内容) VALUES(?,?)");
        store::Statement option(db, "INSERT INTO 答案选项(大题号,小题号,答案编号,答题选项) VALUES(?,?,?,?)");
        auto addOptions = [&](long long head, long long id, int n) {
            for (int k = 0; k < n; ++k)
                option.bind(1, head)
                    .bind(2, id)
                    .bind(3, static_cast<long long>(k + 1))
                    .bind(4, g.text(1, 3))
                    .run();
            counts.options += n;
        };
        long long id = 1;
        while (id <= opt.questions) {
            const long long section = 1000 + (id - 1) * nSections / opt.questions;
            const int kind = g.roll(100);
            if (kind < 10 && id + 2 <= opt.questions) {
                const long long head = id;
                const int size = std::min<long long>(3 + g.roll(3), opt.questions - id + 1);
                group.bind(1, head).bind(2, "<p>" + g.text(20, 40) + "</p>").run();
                ++counts.groups;
                for (int k = 0; k < size; ++k, ++id) {
                    item.bind(1, id)
                        .bind(2, head)
                        .bind(3, section)
                        .bind(4, std::string("资料分析题"))
                        .bind(5, g.text(4, 8))
                        .bind(6, std::string(1, static_cast<char>('A' + g.roll(4))))
                        .bind(7, g.text(3, 6))
                        .bind(8, 0LL)
                        .run();
                    addOptions(head, id, 4);
                }
                continue;
            }
            std::string type, answer;
            int nOptions = 4;
            long long multi = 0;
            if (kind < 55) {
                type = "单项选择题";
                answer = std::string(1, static_cast<char>('A' + g.roll(4)));
            } else if (kind < 77) {
                type = "多项选择题";
                multi = 1;
                for (int k = 0; k < 4; ++k)
                    if (g.roll(2)) answer += static_cast<char>('A' + k);
                if (answer.size() < 2) answer = "AC";
            } else if (kind < 95) {
                type = "判断题";
                nOptions = 2;
                answer = g.roll(2) ? "A" : "B";
            } else {
                nOptions = 0; // a plain item: content and explanation only
            }
            item.bind(1, id)
                .bind(2, id)
                .bind(3, section)
                .bind(4, type)
                .bind(5, g.text(6, 14))
                .bind(6, answer)
                .bind(7, g.text(3, 6))
                .bind(8, multi)
                .run();
            addOptions(id, id, nOptions);
            ++id;
        }
        counts.questions = opt.questions;

        ExecScript(
            db,
            "INSERT INTO 试题技巧 VALUES(1,'行测技巧',0);INSERT INTO 试题技巧 VALUES(2,'言语理解',1);"
            "INSERT INTO 技巧说明 VALUES(2,'<p>先读问题，再读材料。</p>');"
            "INSERT INTO 系统参数 VALUES('字体','宋体');INSERT INTO 系统参数 VALUES('字号','14px');"
            "INSERT INTO 系统参数 VALUES('工具栏字号','12px');INSERT INTO 系统参数 VALUES('颜色','#000000');"
            "INSERT INTO 系统参数 VALUES('背景色','#EFF8FF');INSERT INTO 系统参数 VALUES('行间距','140');"
            "INSERT INTO 系统参数 VALUES('软件品牌','启思');INSERT INTO 系统参数 VALUES('软件区域','全国版');"
            "INSERT INTO 系统参数 VALUES('资源信息','http://127.0.0.1:8901/qlr/article/resource.html');"
            "INSERT INTO 系统参数 VALUES('广告位1','http://127.0.0.1:8901/qlr/ad/banner1.html');"
            "INSERT INTO 系统参数 VALUES('广告位2','http://127.0.0.1:8901/qlr/ad/banner2.html');"
            "INSERT INTO 系统参数 VALUES('广告位3','http://127.0.0.1:8901/qlr/ad/slot3.html');"
            "INSERT INTO 系统参数 VALUES('招考信息','http://127.0.0.1:8901/qlr/article/news.html');"
            "INSERT INTO 系统参数 VALUES('职位查询','http://127.0.0.1:8901/qlr/jobs/search.html');"
            "INSERT INTO 系统参数 VALUES('讨论区','http://127.0.0.1:8901/qlr/forum/index.html');"
            "INSERT INTO 系统参数 VALUES('考试网站','http://127.0.0.1:8901/qlr/exam/index.html');");
    });
    return counts;
}

} // namespace bank
