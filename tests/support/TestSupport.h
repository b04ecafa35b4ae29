#pragma once
#include <QString>
#include <deque>
#include <functional>
#include <memory>
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

    const std::string& Folder() const { return folder_; } // trailing '/'
    std::string Path(const std::string& name) const { return folder_ + name; }

private:
    std::string folder_;
};

class TDataModule1;

// An installation whose bank is connected through the start-up guard, with
// DataModule1 and AppFolder() pointing at it for the test's lifetime.
class OpenBank {
public:
    explicit OpenBank(const std::string& fixtureSql = {});
    ~OpenBank();
    TestInstall Install;
    TDataModule1& Module() { return *module_; }

private:
    std::unique_ptr<TDataModule1> module_;
};

// 是否收藏 of a question, read through DataModule1.
int FavouriteMark(int id);

// Reads a fixture file of tests/ (path relative to that folder).
std::string FixtureText(const std::string& relativePath);

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

// Switches the process to a locale whose decimal separator is a comma (as Qt
// does from the environment at start-up) for the scope; Ok() tells whether the
// locale is installed.
class CommaLocale {
public:
    CommaLocale();
    ~CommaLocale();
    bool Ok() const { return ok_; }

private:
    std::string previous_;
    bool ok_ = false;
};
