// Backup and restore dialogs: the name checks, the copies, what is refused, and
// a restore the running connection uses at once.
#include "platform/CommonDialogs.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "store/DBBackup.h"
#include "store/DBRestore.h"
#include "store/DataModule.h"
#include "store/EncryptionMDB.h"
#include "support/TestSupport.h"

#include <QGuiApplication>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string category(const char* name) {
    return std::string("INSERT INTO 题目类别 VALUES(1,'") + name + "',0,NULL);";
}

std::string categoryName() {
    return DataModule1->ADOQuery2.OpenWith({"SELECT 名称 FROM 题目类别 WHERE 编号=1"})
        .FieldByName("名称")
        .AsString();
}

// Presses OK with `name` in the edit; returns the dialog's result and the one message shown.
template <class Dialog>
std::pair<int, QString> pressOk(Dialog& dlg, MessageBoxRecorder& boxes, const std::string& name) {
    boxes.shown.clear();
    dlg.LabeledEdit1->setText(QString::fromStdString(name));
    dlg.BitBtn2->click();
    EXPECT_EQ(boxes.shown.size(), 1u) << name;
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr); // never left busy
    return {dlg.ModalResult, boxes.shown.empty() ? QString() : boxes.shown[0].text};
}

const QString kBadName = QStringLiteral("目标文件名称不是有效的数据文件名称，请重新选择！");
const std::string kClosed(CloseHeaderBlock.begin(), CloseHeaderBlock.end());
} // namespace

TEST(BackupDialog, NamesCopiesAndRefusals) {
    OpenBank bank(category("当前题库"));
    MessageBoxRecorder boxes;
    const std::string dir = bank.Install.Folder(), exam = dir + "exam.db", target = dir + "备份.db";
    TFrmDBBackup dlg;
    for (const std::string& name : {std::string(), dir + "copy.DB", dir + "copy", dir + "old.db/copy"})
        EXPECT_EQ(pressOk(dlg, boxes, name), std::make_pair(int(mrNone), kBadName));
    EXPECT_EQ(boxes.shown[0].caption, "错误");
    EXPECT_EQ(boxes.shown[0].flags, MB_ICONWARNING);

    // The save dialog's choice lands in the edit; an earlier backup is replaced without asking.
    SetFileDialogHandler([&](const TFileDialog& d) {
        const bool save = d.DialogKind == TFileDialog::Kind::Save;
        EXPECT_TRUE(save && d.Filter == "数据文件|*.db" && d.DefaultExt == "db");
        return QString::fromStdString(target);
    });
    dlg.BitBtn1->click();
    SetFileDialogHandler({});
    WriteFileBytes(target, "an older backup");
    ::chmod(target.c_str(), 0600);
    EXPECT_EQ(pressOk(dlg, boxes, dlg.LabeledEdit1->text().toStdString()),
              std::make_pair(int(mrOk), QStringLiteral("数据备份成功!")));
    EXPECT_EQ(boxes.shown[0].flags, MB_ICONINFORMATION);
    EXPECT_EQ(ReadFileBytes(target), ReadFileBytes(exam));
    EXPECT_EQ(HeaderBlockOf(target), kClosed);
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // The running bank, spelled another way, and a folder that does not exist.
    const std::string before = ReadFileBytes(exam);
    EXPECT_EQ(pressOk(dlg, boxes, dir + "css/../exam.db"),
              std::make_pair(int(mrNone), QStringLiteral("不能备份到正在使用的数据文件，请重新选择！")));
    EXPECT_EQ(ReadFileBytes(exam), before);
    EXPECT_EQ(categoryName(), "当前题库");
    const auto [result, text] = pressOk(dlg, boxes, dir + "no-such-folder/copy.db");
    EXPECT_EQ(result, mrNone);
    EXPECT_TRUE(text.startsWith("数据备份失败"));

    // The program's own scratch names in its folder, however spelled, are refused.
    for (const std::string& name : {dir + "temp.db", dir + "css/../restore.db"}) {
        EXPECT_EQ(pressOk(dlg, boxes, name).second,
                  "不能备份为程序自己使用的文件（temp.db、restore.db），请换一个文件名！");
        EXPECT_FALSE(FileExists(name));
    }
    // A name just under the length limit: the temporary beside it must be shorter.
    const std::string longName = dir + std::string(252, 'b') + ".db";
    EXPECT_EQ(pressOk(dlg, boxes, longName).second, "数据备份成功!");
    EXPECT_EQ(ReadFileBytes(longName), ReadFileBytes(exam));
}

TEST(RestoreDialog, RefusesWhatIsNoBankAndChangesNothing) {
    OpenBank bank(category("当前题库"));
    MessageBoxRecorder boxes;
    const std::string exam = bank.Install.Path("exam.db"), before = ReadFileBytes(exam);
    TestInstall partial("DROP TABLE 技巧说明;");
    const std::string plain = bank.Install.Path("plain.db"), text = bank.Install.Path("notes.db");
    examdb::ExtractImage(partial.Path("exam.db"), plain); // SQLite without our header
    WriteFileBytes(text, std::string(8192, 'x'));
    // All ten tables, but garbage over the second half of the page holding 题目类别's row.
    TestInstall sound(category("备份"));
    const std::string corrupt = sound.Path("exam.db");
    std::string bytes = ReadFileBytes(corrupt);
    const size_t image = examdb::kHeaderSize,
                 pageSize = size_t(uint8_t(bytes[image + 16])) << 8 | uint8_t(bytes[image + 17]);
    const size_t rootPage =
        size_t(DataModule1->ADOQuery2.OpenWith({"SELECT rootpage FROM sqlite_master WHERE name='题目类别'"})
                   .FieldByName("rootpage")
                   .AsInteger());
    bytes.replace(image + (rootPage - 1) * pageSize + pageSize / 2, pageSize / 2, pageSize / 2, '\xff');
    WriteFileBytes(corrupt, bytes);

    TFrmDBRestore dlg;
    const std::pair<std::string, const char*> refused[] = {{partial.Path("exam.db"), "缺少数据表 技巧说明"},
                                                           {plain, "文件头不是本程序的数据文件"},
                                                           {text, "文件头不是本程序的数据文件"},
                                                           {corrupt, "数据已损坏"}};
    for (const auto& [name, reason] : refused) {
        const auto [result, message] = pressOk(dlg, boxes, name);
        EXPECT_EQ(result, mrNone);
        EXPECT_TRUE(message.startsWith("所选文件不是有效的数据文件，当前数据没有改变，请重新选择！（") &&
                    message.contains(QString::fromUtf8(reason)))
            << message.toStdString();
        EXPECT_EQ(ReadFileBytes(exam), before);
        EXPECT_EQ(categoryName(), "当前题库"); // still connected to the same bank
    }
    EXPECT_TRUE(pressOk(dlg, boxes, bank.Install.Path("missing.db")).second.startsWith("数据还原失败"));
    EXPECT_EQ(
        pressOk(dlg, boxes, exam),
        std::make_pair(int(mrNone), QStringLiteral("要还原的文件就是正在使用的数据文件，请重新选择！")));
    EXPECT_EQ(pressOk(dlg, boxes, "备份.DB").second, kBadName);
    EXPECT_FALSE(dlg.Restored);
    EXPECT_EQ(ReadFileBytes(exam), before);
    EXPECT_FALSE(FileExists(bank.Install.Path("restore.db")));
}

TEST(RestoreDialog, TheRestoredBankIsInUseAtOnceAndRestsClosed) {
    OpenBank bank(category("当前题库"));
    MessageBoxRecorder boxes;
    TestInstall other(category("备份里的题库"));
    const std::string exam = bank.Install.Path("exam.db");
    ::chmod(exam.c_str(), 0640);

    SetFileDialogHandler([&](const TFileDialog& d) {
        const bool save = d.DialogKind == TFileDialog::Kind::Save;
        EXPECT_TRUE(!save && d.Filter == "数据文件(*.db)|*.db");
        return QString::fromStdString(other.Path("exam.db"));
    });
    TFrmDBRestore dlg;
    dlg.BitBtn1->click();
    SetFileDialogHandler({});
    EXPECT_EQ(pressOk(dlg, boxes, dlg.LabeledEdit1->text().toStdString()),
              std::make_pair(int(mrOk), QStringLiteral("数据恢复成功!")));
    EXPECT_TRUE(dlg.Restored);

    // The running connection reads and writes the restored bank, which rests closed.
    EXPECT_EQ(categoryName(), "备份里的题库");
    DataModule1->ADOQuery2.ExecWith({"INSERT INTO 题目类别 VALUES(2,'还原后新增',1,NULL)"});
    EXPECT_EQ(HeaderBlockOf(exam), kClosed);
    struct stat st {};
    ::stat(exam.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_FALSE(FileExists(bank.Install.Path("restore.db")) || FileExists(bank.Install.Path("temp.db")));

    // A new start finds what was written after the restore.
    DataModule1->ADOConnection1.Close();
    TDataModule1 next;
    ASSERT_TRUE(next.GuardAndConnect(bank.Install.Folder()));
    EXPECT_EQ(next.ADOQuery1.OpenWith({"SELECT count(*) AS n FROM 题目类别"}).FieldByName("n").AsInteger(),
              2);
}

// Backups from someone else: each of these would make the program loop, run out
// of memory or run someone's code on the next start, and each passed once.
TEST(RestoreDialog, RefusesHostileBanksAndStillRestoresASoundOne) {
    OpenBank bank(category("当前题库"));
    MessageBoxRecorder boxes;
    const std::string exam = bank.Install.Path("exam.db"), before = ReadFileBytes(exam);
    const std::string kRedefined =
        "DROP TABLE 题目类别;"
        "CREATE TABLE 题目类别(编号 INTEGER, 名称 TEXT, 父级编号 INTEGER, 属性 TEXT);";
    const std::pair<std::string, std::string> cases[] = {
        // 4294967297 reads as the int 1: its own parent.
        {"INSERT INTO 题目类别 VALUES(1,'源',0,'0');INSERT INTO 题目类别 VALUES(4294967297,'撞号',1,NULL);",
         "题目类别.编号 不是 32 位整数: 4294967297"},
        {"INSERT INTO 答案选项 VALUES(1,-2147483649,1,'A');", "答案选项.小题号 不是 32 位整数: -2147483649"},
        {"INSERT INTO 小题 VALUES(1,1,'一','单项选择题','','A','',0,0);",
         "小题.所属编号 不是 32 位整数: text"},
        {"INSERT INTO 测试题目 VALUES(2.5,1,0);", "测试题目.测试编号 不是 32 位整数: real"},
        {"INSERT INTO 题目类别 VALUES(40,'甲',41,NULL);INSERT INTO 题目类别 VALUES(41,'乙',40,NULL);"
         "INSERT INTO 题目类别 VALUES(42,'挂在环上',41,NULL);",
         "是自己的上级"},
        {"INSERT INTO 试题技巧 VALUES(7,'技巧',7);", "试题技巧 的编号 7 是自己的上级"},
        {kRedefined +
             "INSERT INTO 题目类别 VALUES(3,'源',0,'0');INSERT INTO 题目类别 VALUES(3,'又一个',0,'0');",
         "题目类别 的编号 3 重复"},
        {"CREATE TRIGGER 清空 AFTER UPDATE ON 小题 BEGIN DELETE FROM 测试结果; END;", "含有触发器 清空"},
        {"CREATE VIEW 全部 AS SELECT * FROM 小题;", "含有视图 全部"},
        {"CREATE VIRTUAL TABLE 检索 USING fts4(内容);", "含有虚拟表或不认识的对象 table 检索"},
        {"DROP TABLE 系统参数;CREATE TABLE 系统参数(参数名 TEXT, 参数值 TEXT, 大 AS (zeroblob(100000000)));",
         "含有计算列 系统参数.大"},
        {"DROP TABLE 复习卡片;CREATE TABLE 复习卡片(小题号 INTEGER, 下次 TEXT);",
         "数据表 复习卡片 的列与本程序的不同"},
        // Code that runs when a favourite is marked or a test saved.
        {"DROP TABLE 系统参数;CREATE TABLE 系统参数(参数名 TEXT, 参数值 TEXT CHECK "
         "(length(hex(zeroblob(5e7))) > 0));",
         "含有检查约束 系统参数"},
        {"CREATE INDEX 大 ON 小题(length(hex(zeroblob(是否收藏*4e8))));", "含有带表达式或条件的索引 大"},
        {"CREATE INDEX 部分 ON 小题(是否收藏) WHERE 是否收藏 > 0;", "含有带表达式或条件的索引 部分"},
        {"DROP TABLE 系统参数;CREATE TABLE 系统参数(参数名 TEXT, 参数值 TEXT DEFAULT (hex(zeroblob(5e7))));",
         "列 系统参数.参数值 的默认值不是常量"},
        {"DROP TABLE 复习记录;CREATE TABLE 复习记录(记录编号 INTEGER, 小题号 INTEGER, 评分 INTEGER, 复习时间 "
         "TEXT, 间隔天数 REAL);"
         "INSERT INTO 复习记录 VALUES(1,8589934592,3,'',1);",
         "复习记录.小题号 不是 32 位整数"},
    };
    TFrmDBRestore dlg;
    for (const auto& [sql, reason] : cases) {
        TestInstall hostile(sql);
        const auto [result, message] = pressOk(dlg, boxes, hostile.Path("exam.db"));
        EXPECT_EQ(result, mrNone) << sql;
        EXPECT_TRUE(message.contains("不是有效的数据文件") &&
                    message.contains(QString::fromStdString(reason)))
            << sql << " -> " << message.toStdString();
        EXPECT_EQ(ReadFileBytes(exam), before);
        EXPECT_EQ(categoryName(), "当前题库");
    }
    EXPECT_FALSE(FileExists(bank.Install.Path("restore.db")));

    // Our own layout of the reserved tables, and ids at the ends of the 32-bit range, restore.
    TestInstall sound(
        category("备份里的题库") +
        "INSERT INTO 题目类别 VALUES(2147483647,'末',1,NULL);"
        "INSERT INTO 题目类别 VALUES(-2147483648,'负',2147483647,NULL);"
        "DROP TABLE 测试计时;DROP TABLE 测试作答;DROP TABLE 复习卡片;DROP TABLE 复习记录;"
        "CREATE TABLE 测试计时(测试编号 INTEGER, 限时秒数 INTEGER, 用时秒数 INTEGER, 是否超时 INTEGER);"
        "CREATE TABLE 测试作答(测试编号 INTEGER, 小题号 INTEGER, 作答 TEXT, 用时秒数 INTEGER);"
        "CREATE TABLE 复习卡片(小题号 INTEGER, 状态 INTEGER, 稳定度 REAL, 难度 REAL, 到期时间 TEXT,"
        " 上次复习 TEXT, 复习次数 INTEGER, 遗忘次数 INTEGER);"
        "CREATE TABLE 复习记录(记录编号 INTEGER PRIMARY KEY, 小题号 INTEGER, 评分 INTEGER,"
        " 复习时间 TEXT, 间隔天数 REAL);"
        "INSERT INTO 复习卡片 VALUES(-2147483648,0,0,0,'','',0,0);");
    EXPECT_EQ(pressOk(dlg, boxes, sound.Path("exam.db")),
              std::make_pair(int(mrOk), QStringLiteral("数据恢复成功!")));
    EXPECT_EQ(categoryName(), "备份里的题库");
}

namespace {
void onAlarm(int) {}
} // namespace

// What is no regular file is refused by its name alone: a named pipe would
// otherwise freeze the window in open() until someone writes to it.
TEST(RestoreDialog, RefusesPipesDevicesFoldersAndHugeFilesWithoutOpeningThem) {
    OpenBank bank(category("当前题库"));
    MessageBoxRecorder boxes;
    const std::string exam = bank.Install.Path("exam.db"), before = ReadFileBytes(exam);
    const std::string fifo = bank.Install.Path("pipe.db"), folder = bank.Install.Path("folder.db"),
                      device = bank.Install.Path("null.db"), huge = bank.Install.Path("huge.db");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::symlink("/dev/null", device.c_str()), 0);
    WriteFileBytes(huge, before);                                 // a sound bank but for its size
    ASSERT_EQ(::truncate(huge.c_str(), (off_t{2} << 30) + 1), 0); // sparse: no disk used

    // A blocked open() is cut short after a few seconds, so the old fault fails here rather than hangs.
    struct sigaction cut {
    }, previous{};
    cut.sa_handler = onAlarm; // no SA_RESTART
    ::sigaction(SIGALRM, &cut, &previous);
    TFrmDBRestore dlg;
    for (const std::string& name : {fifo, folder, device, huge}) {
        ::alarm(5);
        const auto [result, message] = pressOk(dlg, boxes, name);
        ::alarm(0);
        EXPECT_EQ(result, mrNone);
        EXPECT_TRUE(message.contains("不是有效的数据文件")) << name << " -> " << message.toStdString();
    }
    ::sigaction(SIGALRM, &previous, nullptr);
    EXPECT_EQ(ReadFileBytes(exam), before);
    EXPECT_EQ(categoryName(), "当前题库");
    EXPECT_FALSE(FileExists(bank.Install.Path("restore.db")));
}
