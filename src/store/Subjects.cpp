#include "store/Subjects.h"

#include "store/AdoQuery.h"

TSubjectNames::TSubjectNames(AdoConnection& connection) {
    AdoQuery q(&connection);
    for (q.OpenBound("SELECT 编号,父级编号,名称 FROM 题目类别", {}); !q.Eof(); q.Next())
        categories_[q.Fields(0).AsInteger()] = {q.Fields(1).AsInteger(), q.Fields(2).AsString()};
}

const std::string& TSubjectNames::Of(int category) {
    auto [it, fresh] = known_.try_emplace(category);
    if (!fresh) return it->second;
    int at = category;
    for (int hops = 0; hops < 64; ++hops) { // a cycle in a foreign bank ends here
        const auto c = categories_.find(at);
        if (c == categories_.end()) break;
        const auto parent = categories_.find(c->second.first);
        if (parent == categories_.end()) break; // `at` is a source
        if (categories_.find(parent->second.first) == categories_.end()) {
            it->second = c->second.second;
            break;
        }
        at = c->second.first;
    }
    return it->second;
}
