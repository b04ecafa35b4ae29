#pragma once
#include <string>

// The executable's folder with a trailing '/', where exam.db, css/ and images/
// live. Tests point it at a temporary installation.
const std::string& AppFolder();
void SetAppFolder(const std::string& folder);
