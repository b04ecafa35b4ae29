#pragma once
#include <string>
#include <vector>

// examdb import / export: the import dialog's checks and messages on the command line.
int ImportCommand(const std::vector<std::string>& args);
int ExportCommand(const std::vector<std::string>& args);
int SheetCommand(const std::vector<std::string>& args);
// examdb essay: an answer held against a task's 参考要点.
int EssayCommand(const std::vector<std::string>& args);
