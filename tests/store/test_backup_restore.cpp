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
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
std::string category(const char* name) { return std::string("INSERT INTO 题目类别 VALUES(1,'") + name + "',0,NULL);"; }

std::string categoryName() {
    return DataModule1->ADOQuery2.OpenWith({"SELECT 名称 FROM 题目类别 WHERE 编号=1"}).FieldByName("名称").AsString();
}

// Presses OK with `name` in the edit; returns the dialog's result and the one message shown.
template <class Dialog> std::pair<int, QString> pressOk(Dialog& dlg, MessageBoxRecorder& boxes, const std::string& name) {
    boxes.shown.clear();
    dlg.LabeledEdit1->setText(QString::fromStdString(name));
    dlg.BitBtn2->click();
    EXPECT_EQ(boxes.shown.size(), 1u) << name;
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);  // never left busy
    return {dlg.ModalResult, boxes.shown.empty() ? QString() : boxes.shown[0].text};
}

const QString kBadName = QStringLiteral("目标文件名称不是有效的数据文件名称，请重新选择！");
const std::string kClosed(CloseHeaderBlock.begin(), CloseHeaderBlock.end());
}  // namespace

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
    SetFileDialogHandler([&](bool save, const QString& filter, const QString& suffix) {
        EXPECT_TRUE(save && filter == "数据文件|*.db" && suffix == "db");
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
    struct stat st{};
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
}

TEST(RestoreDialog, RefusesWhatIsNoBankAndChangesNothing) {
    OpenBank bank(category("当前题库"));
    MessageBoxRecorder boxes;
    const std::string exam = bank.Install.Path("exam.db"), before = ReadFileBytes(exam);
    TestInstall partial("DROP TABLE 技巧说明;");
    const std::string plain = bank.Install.Path("plain.db"), text = bank.Install.Path("notes.db");
    examdb::ExtractImage(partial.Path("exam.db"), plain);  // SQLite without our header
    WriteFileBytes(text, std::string(8192, 'x'));

    TFrmDBRestore dlg;
    for (const std::string& name : {partial.Path("exam.db"), plain, text}) {
        const auto [result, message] = pressOk(dlg, boxes, name);
        EXPECT_EQ(result, mrNone);
        EXPECT_TRUE(message.contains("不是有效的数据文件")) << message.toStdString();
        EXPECT_EQ(ReadFileBytes(exam), before);
        EXPECT_EQ(categoryName(), "当前题库");  // still connected to the same bank
    }
    EXPECT_TRUE(pressOk(dlg, boxes, bank.Install.Path("missing.db")).second.startsWith("数据还原失败"));
    EXPECT_EQ(pressOk(dlg, boxes, exam).first, mrNone);
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

    SetFileDialogHandler([&](bool save, const QString& filter, const QString&) {
        EXPECT_TRUE(!save && filter == "数据文件(*.db)|*.db");
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
    struct stat st{};
    ::stat(exam.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_FALSE(FileExists(bank.Install.Path("restore.db")) || FileExists(bank.Install.Path("temp.db")));

    // A new start finds what was written after the restore.
    DataModule1->ADOConnection1.Close();
    TDataModule1 next;
    ASSERT_TRUE(next.GuardAndConnect(bank.Install.Folder()));
    EXPECT_EQ(next.ADOQuery1.OpenWith({"SELECT count(*) AS n FROM 题目类别"}).FieldByName("n").AsInteger(), 2);
}
