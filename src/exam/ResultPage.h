#pragma once
#include <string>
#include <vector>

// The sums over the tallies that the result page shows and the save stores.
// The marks add up in single precision, as the tallies hold them.
struct TResultTotals {
    int Count = 0;
    int Right = 0;
    float FullScore = 0;
    float Score = 0;
    // Share of the points scored: 0 when the test has no full marks.
    double Rate() const {
        return FullScore != 0 ? static_cast<double>(Score) / static_cast<double>(FullScore) : 0.0;
    }
};

// "0.00": two decimals, halves rounded away from zero.
std::string FormatFixed2(double value);

// The result page for TestList, line by line; `totals` is reset and summed.
std::vector<std::string> ResultPageLines(TResultTotals& totals);
