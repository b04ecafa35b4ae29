#pragma once
#include <string>

// The 100,000-question synthetic bank, made once into bench/data/ and reused.
// Returns its path (closed state, as shipped).
const std::string& LargeBankPath(int questions = 100000);

// A fresh installation folder (trailing '/') holding a copy of the large bank.
std::string MakeBenchInstall(const std::string& name, int questions = 100000);
