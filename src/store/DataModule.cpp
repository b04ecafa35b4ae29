#include "store/DataModule.h"

#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "store/AdoQuery.h"
#include "store/BankCheck.h"
#include "store/DatabaseError.h"
#include "store/EncryptionMDB.h"
#include "store/ExamDbFile.h"
#include "store/Log.h"
#include "store/WriteHold.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const char* const kDatabasePassword = "qorvilan517302tesmek";

TDataModule1* DataModule1 = nullptr;

namespace {
bool isOurBank(const std::string& path) {
    const examdb::HeaderState s = examdb::ReadHeaderState(path, kDatabasePassword);
    return s == examdb::HeaderState::Open || s == examdb::HeaderState::Closed;
}
} // namespace

namespace {
// Beside exam.db: the size and time of the bank as last checked or left by the program.
constexpr const char* kCheckedStamp = ".exam.db.checked";

std::string stampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "none";
    return std::to_string(st.st_size) + " " + std::to_string(st.st_mtim.tv_sec) + "." +
           std::to_string(st.st_mtim.tv_nsec) + " " + std::to_string(st.st_ino);
}
std::string readStamp(const std::string& folder) {
    const int fd = OpenInFolder(folder, kCheckedStamp, O_RDONLY);
    if (fd < 0) return {};
    char buf[128];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    ::close(fd);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

void writeStamp(const std::string& folder, const std::string& stamp) {
    // A stamp lost or torn only means one more check at the next start.
    const int fd = OpenInFolder(folder, kCheckedStamp, O_WRONLY | O_CREAT | O_TRUNC);
    if (fd < 0) return;
    if (::write(fd, stamp.data(), stamp.size()) != static_cast<ssize_t>(stamp.size()))
        qCWarning(lcStore) << "the checked stamp was not written";
    ::close(fd);
}
} // namespace

TDataModule1::TDataModule1() : ADOQuery1(&ADOConnection1), ADOQuery2(&ADOConnection1) {
    ADOConnection1.LoginPrompt = false;
    ADOConnection1.Provider = "Microsoft.Jet.OLEDB.4.0";
    ADOQuery2.ParamCheck = false;
}

std::string TDataModule1::ConnectionStringFor(const std::string& folder) {
    return ConnectionStringForFile(folder + "exam.db");
}

std::string TDataModule1::ConnectionStringForFile(const std::string& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path +
           ";Persist Security Info=False;Jet OLEDB:Database Password=" + kDatabasePassword;
}

bool TDataModule1::GuardAndConnect(const std::string& folder) {
    const std::string exam = folder + "exam.db";
    const std::string temp = folder + "temp.db";

    // temp.db is made anew each time (a crash's leftover never blocks a start).
    // Copies back overwrite in place and write only what differs (the header), so
    // exam.db keeps its inode for the open connection and is never torn; a link
    // under its name is never written through (the connection refuses it).
    // A copy back only ever follows a complete copy out: a temp.db cut short
    // by a full disk must never replace the bank. A file that is not a bank of
    // ours is never written at all: it stays byte for byte as the user left it.
    if (CopyToScratch(exam, temp) && isOurBank(temp)) {
        DecryptMDB(temp);
        CopyFileOver(temp, exam);
    }

    bool connected = true;
    ADOConnection1.ConnectionString = ConnectionStringFor(folder);
    try {
        ADOConnection1.Open();
    } catch (const std::exception& e) {
        qCWarning(lcStore) << "connecting to" << exam.c_str() << "failed:" << e.what();
        connected = false;
    }

    if (CopyToScratch(exam, temp) && isOurBank(temp)) {
        EncryptMDB(temp);
        CopyFileOver(temp, exam);
    }
    DeleteFileAt(temp);

    // The file is closed again before the user is asked to read anything.
    if (!connected) {
        MessageBox(QStringLiteral("打开数据库出现严重的错误，程序将中止！"), QStringLiteral("错误"),
                   MB_ICONERROR | MB_OK);
        return false;
    }
    // A bank dropped in place gets the schema check a restore makes; one the
    // program checked or wrote itself (the same size and time) is not read again.
    folder_ = folder;
    if (readStamp(folder) == stampOf(exam)) return true;
    std::string unsafe;
    try {
        unsafe = UnsafeBankSchema(ADOConnection1);
        if (unsafe.empty()) {
            AdoQuery q(&ADOConnection1);
            if (const std::string r = q.OpenWith({"PRAGMA quick_check(1)"}).Fields(0).AsString(); r != "ok")
                unsafe = "文件已损坏：" + r;
        }
    } catch (const std::exception& e) {
        // A bank without one of the described tables is what the described
        // program opens and reports later: no reason to refuse it here.
        qCWarning(lcStore) << "the start-up check could not run:" << e.what();
        return true;
    }
    if (!unsafe.empty()) {
        qCWarning(lcStore) << "refused at start-up:" << exam.c_str() << unsafe.c_str();
        ADOConnection1.Close();
        MessageBox(QStringLiteral("题库文件 exam.db 含有本程序不能安全使用的内容（%1），程序将中止。\n\n"
                                  "文件没有被改动。请把它换成一份备份（数据备份的文件）后再启动。")
                       .arg(QString::fromStdString(unsafe)),
                   QStringLiteral("错误"), MB_ICONERROR | MB_OK);
        folder_.clear();
        return false;
    }
    stampChecked();
    return true;
}

void TDataModule1::stampChecked() {
    if (folder_.empty()) return;
    writeStamp(folder_, stampOf(folder_ + "exam.db"));
}

TDataModule1::~TDataModule1() {
    // What the program wrote in this run is its own: the next start need not check it.
    if (folder_.empty() || !ADOConnection1.Connected()) return;
    try {
        ADOConnection1.Close();
        stampChecked();
    } catch (const std::exception& e) {
        qCWarning(lcStore) << "closing the bank failed:" << e.what();
    }
}

namespace {
// The id goes into the statement as a number, so it must be one: page script
// must never be able to add SQL of its own.
bool isWholeNumber(const std::string& s) {
    size_t i = s.size() > 1 && s[0] == '-' ? 1 : 0;
    if (i == s.size() || s.size() - i > 10) return false;
    for (; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}
} // namespace

void TDataModule1::SCBT(const std::string& id, std::string& result) {
    try {
        if (!isWholeNumber(id)) throw EDatabaseError("'" + id + "' 不是有效的题号。");
        // An import's transaction is open: the mark would share its fate.
        if (BankWriteHold::Held()) throw EDatabaseError("正在导入试题");
        ADOQuery2.Close();
        ADOQuery2.SQL.Clear();
        ADOQuery2.SQL.Add("UPDATE 小题 SET 是否收藏 = 1 WHERE 小题号=");
        ADOQuery2.SQL.Add(id);
        ADOQuery2.ExecSQL();
        MessageBox(QStringLiteral("已经成功地收藏了本题!"), QStringLiteral("收藏成功"),
                   MB_ICONINFORMATION | MB_OK);
        ADOQuery2.Close();
        result = "ok";
    } catch (const std::exception& e) {
        qCWarning(lcStore) << "marking question" << id.c_str() << "as a favourite failed:" << e.what();
        MessageBox(QStringLiteral("收藏失败，请重新操作!"), QStringLiteral("收藏失败"),
                   MB_ICONINFORMATION | MB_OK);
        result = "Error";
    }
}
