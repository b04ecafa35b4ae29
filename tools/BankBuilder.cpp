#include "BankBuilder.h"

#include "store/DatabaseError.h"
#include "store/EncryptionMDB.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <sstream>

namespace fs = std::filesystem;

namespace bank {

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EDatabaseError("找不到文件 '" + path + "'。");
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void ExecScript(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errmsg(db);
        sqlite3_free(err);
        throw EDatabaseError(msg);
    }
}

void BuildWith(const std::string& target, const std::function<void(sqlite3*)>& fill) {
    const std::string image = target + ".image";
    fs::remove(image);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(image.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        std::string msg = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw EDatabaseError("无法创建 '" + image + "': " + msg);
    }
    try {
        ExecScript(db, "PRAGMA page_size=4096; PRAGMA journal_mode=DELETE; PRAGMA synchronous=OFF;");
        {
            store::WriteTransaction transaction(db, store::WriteTransaction::Begin::Deferred);
            fill(db);
            transaction.commit();
        }
        ExecScript(db, "VACUUM");
    } catch (...) {
        sqlite3_close(db);
        fs::remove(image);
        throw;
    }
    sqlite3_close(db);
    examdb::WriteContainer(image, target, CloseHeaderBlock);
    fs::remove(image);
}

namespace {
void FillFromSql(sqlite3* db, const std::vector<std::string>& sqlTexts, const std::string& portalBase) {
    for (std::string text : sqlTexts) {
        for (size_t at = 0; (at = text.find("@PORTAL@", at)) != std::string::npos; at += portalBase.size())
            text.replace(at, 8, portalBase);
        ExecScript(db, text);
    }
}
} // namespace

void BuildFromSql(const std::vector<std::string>& sqlTexts, const std::string& target,
                  const std::string& portalBase) {
    BuildWith(target, [&](sqlite3* db) { FillFromSql(db, sqlTexts, portalBase); });
}

namespace {
// The bank's pictures: every file of pictures/ becomes a 图片 row of its name,
// which the texts show as ../images/bank/<name>.
void addPictures(sqlite3* db, const fs::path& folder) {
    if (!fs::is_directory(folder)) return;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    store::Statement insert(db, "INSERT INTO 图片(名称, 数据) VALUES(?, ?)");
    for (const auto& f : files) {
        const std::string name = f.filename().string(), bytes = ReadTextFile(f.string());
        try {
            insert.bind(1, name).bind(2, QByteArray::fromStdString(bytes)).run();
        } catch (const EDatabaseError& e) {
            throw EDatabaseError("图片 '" + name + "': " + e.what());
        }
    }
}
} // namespace

void BuildFromDirectory(const std::string& dir, const std::string& target, const std::string& portalBase) {
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".sql" && e.path().filename() != "schema.sql") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::vector<std::string> texts{ReadTextFile((fs::path(dir) / "schema.sql").string())};
    for (const auto& f : files)
        texts.push_back(ReadTextFile(f));
    BuildWith(target, [&](sqlite3* db) {
        FillFromSql(db, texts, portalBase);
        addPictures(db, fs::path(dir) / "pictures");
    });
}

} // namespace bank
