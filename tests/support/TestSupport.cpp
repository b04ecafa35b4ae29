#include "support/TestSupport.h"

#include "BankBuilder.h"
#include "platform/AppFolder.h"
#include "platform/MessageBox.h"
#include "store/DataModule.h"

#include <clocale>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

TestInstall::TestInstall(const std::string& fixtureSql, bool withBank) {
    static int counter = 0;
    const fs::path dir = fs::temp_directory_path() /
                         ("quillora-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    fs::remove_all(dir);
    fs::create_directories(dir / "css");
    fs::create_directories(dir / "images");
    folder_ = dir.string() + "/";
    if (withBank) {
        std::vector<std::string> sql{
            bank::ReadTextFile(std::string(QUILLORA_SOURCE_DIR) + "/data/bank/schema.sql")};
        if (!fixtureSql.empty()) sql.push_back(fixtureSql);
        bank::BuildFromSql(sql, folder_ + "exam.db");
    }
}

TestInstall::~TestInstall() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

OpenBank::OpenBank(const std::string& fixtureSql)
    : Install(fixtureSql), module_(std::make_unique<TDataModule1>()) {
    if (!module_->GuardAndConnect(Install.Folder())) throw std::runtime_error("test bank did not open");
    DataModule1 = module_.get();
    SetAppFolder(Install.Folder());
}

OpenBank::~OpenBank() {
    DataModule1 = nullptr;
    SetAppFolder({});
}

int FavouriteMark(int id) {
    return DataModule1->ADOQuery1.OpenWith({"SELECT 是否收藏 FROM 小题 WHERE 小题号=" + std::to_string(id)})
        .FieldByName("是否收藏")
        .AsInteger();
}

std::string FixtureText(const std::string& relativePath) {
    return bank::ReadTextFile(std::string(QUILLORA_SOURCE_DIR) + "/tests/" + relativePath);
}

std::string DefaultSettingsSql() {
    return "INSERT INTO 系统参数 VALUES('字体','宋体');INSERT INTO 系统参数 VALUES('字号','14px');"
           "INSERT INTO 系统参数 VALUES('工具栏字号','12px');INSERT INTO 系统参数 VALUES('颜色','#000000');"
           "INSERT INTO 系统参数 VALUES('背景色','#EFF8FF');INSERT INTO 系统参数 VALUES('行间距','140');"
           "INSERT INTO 系统参数 VALUES('软件品牌','启思');INSERT INTO 系统参数 VALUES('软件区域','全国版');"
           "INSERT INTO 系统参数 VALUES('资源信息','http://127.0.0.1:8901/qlr/r.html');"
           "INSERT INTO 系统参数 VALUES('广告位1','http://127.0.0.1:8901/qlr/a1.html');"
           "INSERT INTO 系统参数 VALUES('广告位2','http://127.0.0.1:8901/qlr/a2.html');"
           "INSERT INTO 系统参数 VALUES('广告位3','http://127.0.0.1:8901/qlr/a3.html');"
           "INSERT INTO 系统参数 VALUES('招考信息','http://127.0.0.1:8901/qlr/n.html');"
           "INSERT INTO 系统参数 VALUES('职位查询','http://127.0.0.1:8901/qlr/j.html');"
           "INSERT INTO 系统参数 VALUES('讨论区','http://127.0.0.1:8901/qlr/f.html');"
           "INSERT INTO 系统参数 VALUES('考试网站','http://127.0.0.1:8901/qlr/e.html');";
}

MessageBoxRecorder::MessageBoxRecorder() {
    SetMessageBoxHandler([this](const QString& text, const QString& caption, int flags) {
        shown.push_back({text, caption, flags});
        if (answers_.empty()) return static_cast<int>(IDOK);
        int a = answers_.front();
        answers_.pop_front();
        return a;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    SetMessageBoxHandler({});
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string HeaderBlockOf(const std::string& path) {
    return ReadFileBytes(path).substr(66, 40);
}

CommaLocale::CommaLocale() {
    const char* now = std::setlocale(LC_ALL, nullptr);
    previous_ = now ? now : "C";
    ok_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

CommaLocale::~CommaLocale() {
    std::setlocale(LC_ALL, previous_.c_str());
}
