#include "store/BankCopy.h"

#include "platform/Files.h"
#include "store/BankCheck.h"
#include "store/BankTables.h"
#include "store/DataModule.h"
#include "store/EncryptionMDB.h"
#include "store/ExamDbFile.h"

#include <set>

namespace {
// The staged copy a restore checks before it replaces the bank, made anew each
// time; a restore cut short leaves at most this file behind, never a changed bank.
constexpr const char* kStagingName = "restore.db";

void setWhy(std::string* why, std::string text) {
    if (why) *why = std::move(text);
}

// A named pipe, a device or a folder chosen as the backup, or a file too large
// to be a bank: refused by its directory entry, never opened or copied.
bool refusedByKind(const std::string& path, std::string* why) {
    std::uint64_t size = 0;
    switch (KindOfFile(path, &size)) {
    case FileKind::Missing:
        return false;
    case FileKind::Other:
        setWhy(why, "不是普通文件");
        return true;
    case FileKind::Regular:
        break;
    }
    if (size <= kMaxBankBytes) return false;
    setWhy(why, "文件大于 2 GiB");
    return true;
}
} // namespace

BackupResult BackupBank(const std::string& folder, const std::string& target, std::string* why) {
    const std::string exam = folder + "exam.db";
    if (SameFile(exam, target)) return BackupResult::OntoRunningBank;
    // The program's own scratch files in its folder are made anew and deleted
    // at will: a backup under such a name would not last.
    const size_t slash = target.rfind('/');
    const std::string targetFolder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string leaf = slash == std::string::npos ? target : target.substr(slash + 1);
    if (SameFile(folder, targetFolder))
        for (const char* scratch : {"temp.db", kStagingName, "exam.db.lock"})
            if (leaf == scratch) return BackupResult::ScratchName;
    // A read sees a consistent bank here: nothing of the program is in a
    // statement or transaction while a dialog's button runs.
    return CopyFileReplacing(exam, target, why) ? BackupResult::Done : BackupResult::CopyFailed;
}

bool IsUsableBank(const std::string& path, std::string* why) {
    if (refusedByKind(path, why)) return false;
    switch (examdb::ReadHeaderState(path, kDatabasePassword)) {
    case examdb::HeaderState::Missing:
        setWhy(why, "文件不存在");
        return false;
    case examdb::HeaderState::NotContainer:
        setWhy(why, "文件头不是本程序的数据文件");
        return false;
    case examdb::HeaderState::Open:
    case examdb::HeaderState::Closed:
        break;
    }
    AdoConnection probe;
    probe.ConnectionString = TDataModule1::ConnectionStringForFile(path);
    try {
        probe.Open();
        AdoQuery q(&probe);
        q.OpenWith({"SELECT name FROM sqlite_master WHERE type='table'"});
        std::set<std::string> present;
        for (; !q.Eof(); q.Next())
            present.insert(q.FieldByName("name").AsString());
        for (std::string_view t : banktables::Described())
            if (!present.count(std::string(t))) {
                setWhy(why, "缺少数据表 " + std::string(t));
                return false;
            }
        q.OpenWith({"PRAGMA quick_check(1)"});
        if (q.Fields(0).AsString() != "ok") {
            setWhy(why, "数据已损坏: " + q.Fields(0).AsString());
            return false;
        }
        if (std::string unsafe = UnsafeBankContent(probe); !unsafe.empty()) {
            setWhy(why, std::move(unsafe));
            return false;
        }
    } catch (const std::exception& e) {
        setWhy(why, e.what());
        return false;
    }
    return true;
}

RestoreResult RestoreBank(TDataModule1& module, const std::string& folder, const std::string& source,
                          std::string* why) {
    const std::string exam = folder + "exam.db";
    const std::string staging = folder + kStagingName;
    if (SameFile(source, exam) || SameFile(source, staging)) return RestoreResult::SameFile;
    if (refusedByKind(source, why)) return RestoreResult::NotABank;
    if (!CopyToScratch(source, staging, why)) return RestoreResult::CopyFailed;

    // The check opens the staged copy as start-up opens the bank, then leaves
    // it closed again, the state in which a bank rests on disk.
    DecryptMDB(staging);
    const bool usable = IsUsableBank(staging, why);
    EncryptMDB(staging);
    if (!usable) {
        DeleteFileAt(staging);
        return RestoreResult::NotABank;
    }

    // The connection must not see its file replaced under it: close first.
    module.ADOQuery1.Close();
    module.ADOQuery2.Close();
    module.ADOConnection1.Close();
    const bool replaced = ReplaceFile(staging, exam, why);
    if (!replaced) DeleteFileAt(staging);
    if (!module.GuardAndConnect(folder)) return RestoreResult::ReconnectFailed;
    return replaced ? RestoreResult::Done : RestoreResult::CopyFailed;
}
