#pragma once
#include <string>
#include <string_view>
#include <vector>

// Where generated pages go, one line at a time (UTF-8 text): a file on disk or
// the document of a browser control.
class LineSink {
public:
    virtual ~LineSink() = default;
    virtual void Writeln(std::string_view line) = 0;
};

// Keeps the lines in memory, for pages assembled before they are shown.
class LineCollector : public LineSink {
public:
    void Writeln(std::string_view line) override { Lines.emplace_back(line); }
    std::vector<std::string> Lines;
};
