#pragma once
#include <QString>
#include <deque>
#include <functional>
#include <string>
#include <vector>

// A temporary folder laid out like an installation: exam.db (built by the bank
// builder from schema.sql plus the given SQL, closed as shipped) and css/.
class TestInstall {
public:
    explicit TestInstall(const std::string& fixtureSql = {}, bool withBank = true);
    ~TestInstall();
    TestInstall(const TestInstall&) = delete;
    TestInstall& operator=(const TestInstall&) = delete;

    const std::string& Folder() const { return folder_; }  // trailing '/'
    std::string Path(const std::string& name) const { return folder_ + name; }

private:
    std::string folder_;
};

// Settings rows for fixtures: all sixteen keys with the shipped defaults.
std::string DefaultSettingsSql();

// Records every message box and answers from a script (IDOK when it runs out).
class MessageBoxRecorder {
public:
    struct Shown {
        QString text, caption;
        int flags;
    };
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    void Answer(int id) { answers_.push_back(id); }
    std::vector<Shown> shown;

private:
    std::deque<int> answers_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The 40 header bytes at offset 66.
std::string HeaderBlockOf(const std::string& path);
