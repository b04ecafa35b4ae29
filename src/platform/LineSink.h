#pragma once
#include <string_view>

// Where generated pages go, one line at a time (UTF-8 text): a file on disk or
// the document of a browser control.
class LineSink {
public:
    virtual ~LineSink() = default;
    virtual void Writeln(std::string_view line) = 0;
};
