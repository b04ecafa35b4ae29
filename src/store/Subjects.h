#pragma once
// The subject of a category, as the statistics and the notebook name it: the
// category below a source (a top-level category) on the way up the tree.
#include <string>
#include <unordered_map>

class AdoConnection;

class TSubjectNames {
public:
    // Reads the whole category table once.
    explicit TSubjectNames(AdoConnection& connection);
    // "" for a source itself or a category outside the tree.
    const std::string& Of(int category);

private:
    std::unordered_map<int, std::pair<int, std::string>> categories_;
    std::unordered_map<int, std::string> known_;
};
