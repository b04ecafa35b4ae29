#pragma once
// Id lists in SQL text as the dialogs write them: one line per value, each
// followed by a line "," except the last, which is followed by `close`.
#include "store/AdoQuery.h"

#include <string>

template <class List, class IdOf>
void AddIdLines(TStrings& sql, const List& list, IdOf idOf, const char* close = ")") {
    const int n = list.Count();
    for (int i = 0; i < n; ++i) {
        sql.Add(static_cast<long long>(idOf(list[i])));
        if (i + 1 < n) sql.Add(std::string(","));
    }
    if (n > 0 && close) sql.Add(std::string(close));
}
