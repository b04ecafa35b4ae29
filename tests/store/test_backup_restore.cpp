// Backup and restore: the name checks of both dialogs, the copies, what is
// refused, and a restore that the running connection uses at once.
#include "platform/AppFolder.h"
#include "platform/CommonDialogs.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "store/BankCopy.h"
#include "store/DBBackup.h"
#include "store/DBRestore.h"
#include "store/DataModule.h"
#include "store/EncryptionMDB.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
const std::string kBankSql = "INSERT INTO 题目类别 VALUES(1,'当前题库',0,NULL);";

std::string categoryName(int id) {
    return DataModule1->ADOQuery2.OpenWith({"SELECT 名称 FROM 题目类别 WHERE 编号=" + std::to_string(id)})
        .FieldByName("名称")
        .AsString();
}

// Presses OK with `name` in the edit; returns the dialog's result afterwards.
template <class Dialog> int pressOk(Dialog& dlg, const QString& name) {
    dlg.ModalResult = mrNone;
    dlg.LabeledEdit1->setText(name);
    dlg.BitBtn2->click();
    return dlg.ModalResult;
}

QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

TEST(BackupDialog, NamesMustEndInExactlyDotDb) {
    OpenBank bank(kBankSql);
    MessageBoxRecorder boxes;
    TFrmDBBackup dlg;
    const std::string dir = bank.Install.Folder();
    for (const QString& name : {QString(), q(dir + "copy.DB"), q(dir + "copy"), q(dir + "copy.db.bak"),
                                q(dir + "old.db/copy")}) {
        boxes.shown.clear();
        EXPECT_EQ(pressOk(dlg, name), mrNone) << name.toStdString();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "目标文件名称不是有效的数据文件名称，请重新选择！");
        EXPECT_EQ(boxes.shown[0].caption, "错误");
        EXPECT_EQ(boxes.shown[0].flags, MB_ICONWARNING);
    }
    EXPECT_FALSE(FileExists(dir + "copy.DB"));
}

TEST(BackupDialog, CopiesTheBankAndReplacesAnEarlierBackupWithoutAsking) {
    OpenBank bank(kBankSql);
    MessageBoxRecorder boxes;
    const std::string target = bank.Install.Path("备份.db");
    WriteFileBytes(target, "an older backup");
    ::chmod(target.c_str(), 0600);

    // The file dialog's name lands in the edit, and its filter and extension are the backup's.
    SetFileDialogHandler([&](bool save, const QString& filter, const QString& suffix) {
        EXPECT_TRUE(save);
        EXPECT_EQ(filter, "数据文件|*.db");
        EXPECT_EQ(suffix, "db");
        return q(target);
    });
    TFrmDBBackup dlg;
    dlg.BitBtn1->click();
    SetFileDialogHandler({});
    EXPECT_EQ(dlg.LabeledEdit1->text(), q(target));

    EXPECT_EQ(pressOk(dlg, q(target)), mrOk);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "数据备份成功!");
    EXPECT_EQ(boxes.shown[0].caption, "操作成功");
    EXPECT_EQ(boxes.shown[0].flags, MB_ICONINFORMATION);
    EXPECT_EQ(ReadFileBytes(target), ReadFileBytes(bank.Install.Path("exam.db")));
    // Closed as it rests on disk, and still only for its owner.
    EXPECT_EQ(HeaderBlockOf(target), std::string(CloseHeaderBlock.begin(), CloseHeaderBlock.end()));
    struct stat st{};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(BackupDialog, RefusesTheRunningBankAndFailedCopiesKeepTheDialogOpen) {
    OpenBank bank(kBankSql);
    MessageBoxRecorder boxes;
    const std::string exam = bank.Install.Path("exam.db");
    const std::string before = ReadFileBytes(exam);
    TFrmDBBackup dlg;

    // Spelled another way, still the bank the program runs on.
    EXPECT_EQ(pressOk(dlg, q(bank.Install.Folder() + "css/../exam.db")), mrNone);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "不能备份到正在使用的数据文件，请重新选择！");
    EXPECT_EQ(ReadFileBytes(exam), before);
    EXPECT_EQ(categoryName(1), "当前题库");

    boxes.shown.clear();
    EXPECT_EQ(pressOk(dlg, q(bank.Install.Folder() + "no-such-folder/copy.db")), mrNone);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("数据备份失败"));
    EXPECT_EQ(boxes.shown[0].flags, MB_ICONWARNING);
}

TEST(RestoreDialog, RefusesWhatIsNoBankAndChangesNothing) {
    OpenBank bank(kBankSql);
    MessageBoxRecorder boxes;
    const std::string exam = bank.Install.Path("exam.db");
    const std::string before = ReadFileBytes(exam);

    // A bank without one of its tables, a plain SQLite file, a text file, a missing file.
    TestInstall partial("DROP TABLE 技巧说明;");
    const std::string plainImage = bank.Install.Path("plain.db");
    examdb::ExtractImage(partial.Path("exam.db"), plainImage);
    const std::string text = bank.Install.Path("notes.db");
    WriteFileBytes(text, std::string(8192, 'x'));

    TFrmDBRestore dlg;
    for (const std::string& name : {partial.Path("exam.db"), plainImage, text}) {
        boxes.shown.clear();
        EXPECT_EQ(pressOk(dlg, q(name)), mrNone) << name;
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_TRUE(boxes.shown[0].text.contains("不是有效的数据文件")) << boxes.shown[0].text.toStdString();
        EXPECT_EQ(boxes.shown[0].flags, MB_ICONWARNING);
        EXPECT_FALSE(dlg.Restored);
        EXPECT_EQ(ReadFileBytes(exam), before);
        EXPECT_EQ(categoryName(1), "当前题库");  // the connection still works on the bank
    }
    boxes.shown.clear();
    EXPECT_EQ(pressOk(dlg, q(bank.Install.Path("missing.db"))), mrNone);
    EXPECT_TRUE(boxes.shown.at(0).text.startsWith("数据还原失败"));
    EXPECT_EQ(pressOk(dlg, q(exam)), mrNone);  // the bank itself
    EXPECT_EQ(pressOk(dlg, QStringLiteral("备份.DB")), mrNone);
    EXPECT_EQ(boxes.shown.back().text, "目标文件名称不是有效的数据文件名称，请重新选择！");
    EXPECT_EQ(ReadFileBytes(exam), before);
    EXPECT_FALSE(FileExists(bank.Install.Path("restore.db")));
}

TEST(RestoreDialog, TheRestoredBankIsInUseAtOnceAndRestsClosed) {
    OpenBank bank(kBankSql);
    MessageBoxRecorder boxes;
    TestInstall other("INSERT INTO 题目类别 VALUES(1,'备份里的题库',0,NULL);");
    const std::string backup = other.Path("exam.db");
    ::chmod(bank.Install.Path("exam.db").c_str(), 0640);

    SetFileDialogHandler([&](bool save, const QString& filter, const QString&) {
        EXPECT_FALSE(save);
        EXPECT_EQ(filter, "数据文件(*.db)|*.db");
        return q(backup);
    });
    TFrmDBRestore dlg;
    dlg.BitBtn1->click();
    SetFileDialogHandler({});
    EXPECT_EQ(pressOk(dlg, dlg.LabeledEdit1->text()), mrOk);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "数据恢复成功!");
    EXPECT_EQ(boxes.shown[0].caption, "操作成功");
    EXPECT_TRUE(dlg.Restored);

    // The running connection reads and writes the restored bank.
    EXPECT_EQ(categoryName(1), "备份里的题库");
    DataModule1->ADOQuery2.ExecWith({"INSERT INTO 题目类别 VALUES(2,'还原后新增',1,NULL)"});
    EXPECT_EQ(categoryName(2), "还原后新增");
    const std::string exam = bank.Install.Path("exam.db");
    EXPECT_EQ(HeaderBlockOf(exam), std::string(CloseHeaderBlock.begin(), CloseHeaderBlock.end()));
    struct stat st{};
    ::stat(exam.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_FALSE(FileExists(bank.Install.Path("restore.db")));
    EXPECT_FALSE(FileExists(bank.Install.Path("temp.db")));

    // And a new start opens it with what was written after the restore.
    DataModule1->ADOConnection1.Close();
    TDataModule1 next;
    ASSERT_TRUE(next.GuardAndConnect(bank.Install.Folder()));
    EXPECT_EQ(next.ADOQuery1.OpenWith({"SELECT count(*) AS n FROM 题目类别"}).FieldByName("n").AsInteger(), 2);
}
