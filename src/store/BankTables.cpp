#include "store/BankTables.h"

#include "store/OwnTables.h"

namespace banktables {

const std::vector<std::string_view>& Described() {
    static const std::vector<std::string_view> tables{"题目类别", "类型说明", "大题",     "小题",
                                                      "答案选项", "试题技巧", "技巧说明", "测试结果",
                                                      "测试题目", "系统参数"};
    return tables;
}

const std::vector<Table>& IdColumns() {
    static const std::vector<Table> tables{
        {"题目类别", {"编号", "父级编号"}},
        {"大题", {"大题号"}},
        {"小题", {"小题号", "大题号", "所属编号"}},
        {"答案选项", {"大题号", "小题号", "答案编号"}},
        {"试题技巧", {"编号", "父级编号"}},
        {"技巧说明", {"所属编号"}},
        {"测试结果", {"编号"}},
        {"测试题目", {"测试编号", "小题号"}},
        {"测试计时", {"测试编号"}},
        {"测试作答", {"测试编号", "小题号"}},
        {"复习卡片", {"小题号"}},
        {"复习记录", {"记录编号", "小题号"}},
        {"测试汇总", {"测试编号"}},
        {"错题汇总", {"小题号"}},
        {"练习记录", {"小题号"}},
        {"申论作答", {"作答编号", "小题号"}},
    };
    return tables;
}

const std::vector<Table>& Reserved() {
    static const std::vector<Table> tables = [] {
        std::vector<Table> reserved;
        for (const owntables::Table& own : owntables::All()) {
            Table& t = reserved.emplace_back(Table{own.name, {}});
            for (const owntables::Column& c : own.columns)
                t.columns.push_back(c.name);
        }
        return reserved;
    }();
    return tables;
}

const std::vector<std::string_view>& Trees() {
    static const std::vector<std::string_view> tables{"题目类别", "试题技巧"};
    return tables;
}

} // namespace banktables
