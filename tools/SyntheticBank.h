#pragma once
#include <string>

namespace bank {

// A large bank in realistic proportions for benchmarks and load tests: four
// sources and a practice root, five subjects under each, questions spread over
// the level-2 sections, with single and multiple choice, true/false,
// data-analysis groups of 3-5 sharing a stem, and some plain items.
struct SynthOptions {
    int questions = 100000;
    int sections = 0; // level-2 categories; 0 picks one per 40 questions
    unsigned seed = 20261209;
    std::string schemaPath; // data/bank/schema.sql
};

struct SynthCounts {
    int questions = 0;
    int groups = 0;
    int options = 0;
    int categories = 0;
};

SynthCounts BuildSynthetic(const std::string& target, const SynthOptions& options);

} // namespace bank
