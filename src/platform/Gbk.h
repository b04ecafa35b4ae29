#pragma once
#include "platform/LineSink.h"

#include <cstdio>
#include <string>
#include <string_view>

// Code page 936 text, as the generated pages are written. A character GBK
// cannot hold becomes '?'.
std::string Utf8ToGbk(std::string_view utf8);
std::string GbkToUtf8(std::string_view gbk);

// A text file written line by line: GBK, CR LF after every line, no BOM.
// The file is made anew as a scratch file of its folder (Files.h): a link
// under its name is replaced, never written through. `name` may lie below
// `folder` ("css/Question.html"). Failures to create, write or close the file
// throw std::runtime_error.
class GbkTextFile : public LineSink {
public:
    GbkTextFile(const std::string& folder, const std::string& name);
    explicit GbkTextFile(const std::string& path);
    ~GbkTextFile() override;
    GbkTextFile(const GbkTextFile&) = delete;
    GbkTextFile& operator=(const GbkTextFile&) = delete;

    void Writeln(std::string_view line) override;
    // Flushes and closes; further writes are errors. Called by the destructor too,
    // which swallows a failure the caller did not ask about.
    void Close();

private:
    void flush();
    std::string path_;
    std::FILE* file_ = nullptr;
    std::string buffer_;
};
