#pragma once
#include "store/AdoConnection.h"
#include "store/AdoQuery.h"

#include <string>

// The password every bank is made with; the connection string carries it.
extern const char* const kDatabasePassword;

// Holds the one connection and the two shared query objects for the whole run.
// ADOQuery1 serves the main window's own statements and the page builder's outer
// loop; ADOQuery2 everything else, so a statement issued while another's rows are
// walked always runs on the other object.
class TDataModule1 {
public:
    TDataModule1();
    ~TDataModule1();
    TDataModule1(const TDataModule1&) = delete;
    TDataModule1& operator=(const TDataModule1&) = delete;

    AdoConnection ADOConnection1;
    AdoQuery ADOQuery1;
    AdoQuery ADOQuery2;

    static std::string ConnectionStringFor(const std::string& folder);
    static std::string ConnectionStringForFile(const std::string& path);

    // Start-up guard and connection on folder + "exam.db". On a failed connection
    // the file is closed again, temp.db removed, the fatal message shown, and
    // false returned: the program must end. A bank not checked before (its size
    // and time differ from what the program last checked or left) then gets the
    // restore's schema check and quick_check: an unsafe one is refused the same
    // way, with the reason, and left as it was.
    bool GuardAndConnect(const std::string& folder);

    // Marks question `id` as a favourite and tells the user how it went;
    // `result` is "ok" or "Error". Nothing propagates: a failure is the message.
    void SCBT(const std::string& id, std::string& result);

private:
    // Remembers the bank as it is now as checked.
    void stampChecked();
    std::string folder_; // set once the bank is connected and checked
};

extern TDataModule1* DataModule1;
