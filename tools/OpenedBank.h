#pragma once
#include "store/AdoConnection.h"
#include "store/DataModule.h"
#include "store/EncryptionMDB.h"

#include <stdexcept>
#include <string>

// The bank opened as the program opens it: its header set to open for the
// connection and back to closed afterwards, whatever happened in between.
class OpenedBank {
public:
    explicit OpenedBank(const std::string& path) : path_(path) {
        const auto state = examdb::ReadHeaderState(path, kDatabasePassword);
        if (state != examdb::HeaderState::Open && state != examdb::HeaderState::Closed)
            throw std::runtime_error("不是题库文件：" + path);
        closed_ = state == examdb::HeaderState::Closed;
        if (closed_) DecryptMDB(path);
        connection.ConnectionString = TDataModule1::ConnectionStringForFile(path);
        connection.Open();
    }
    ~OpenedBank() {
        connection.Close();
        if (closed_) EncryptMDB(path_);
    }
    OpenedBank(const OpenedBank&) = delete;
    OpenedBank& operator=(const OpenedBank&) = delete;
    AdoConnection connection;

private:
    std::string path_;
    bool closed_ = false;
};
