#pragma once
#include <QLoggingCategory>

// The cause behind a message the user sees is logged here first.
Q_DECLARE_LOGGING_CATEGORY(lcBrowser)

#include <QElapsedTimer>

// A page can cause thousands of log lines a second (refused requests, its
// console): a few lines every ten seconds are written, then a count of the rest.
class LogGate {
public:
    explicit LogGate(const char* what) : what_(what) {}
    // Whether the next line may be written.
    bool Admit();

private:
    const char* what_;
    QElapsedTimer window_;
    int inWindow_ = 0;
    int quiet_ = 0;
};
