// The start-up guard: copy, open the header, copy back, connect, close it again.
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "store/DataModule.h"
#include "store/EncryptionMDB.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
const std::string kClosed(CloseHeaderBlock.begin(), CloseHeaderBlock.end());
const std::string kOpen(OpenHeaderBlock.begin(), OpenHeaderBlock.end());

ino_t inodeOf(const std::string& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_ino;
}

void exec(TDataModule1& dm, const std::string& sql) {
    dm.ADOQuery2.ExecWith({sql});
}

int count(TDataModule1& dm, const std::string& sql) {
    return dm.ADOQuery2.OpenWith({sql}).RecordCount();
}

const char* kFixture =
    "INSERT INTO 小题(小题号,大题号,所属编号,题目类型,题目内容,答案) VALUES(7,7,101,'单项选择题','题','A');";
} // namespace

TEST(Guard, NormalStartLeavesTheFileClosedWithoutTempAndKeepsItsInode) {
    MessageBoxRecorder boxes;
    TestInstall inst(kFixture);
    const std::string exam = inst.Path("exam.db");
    const ino_t inode = inodeOf(exam);
    TDataModule1 dm;
    ASSERT_TRUE(dm.GuardAndConnect(inst.Folder()));
    EXPECT_TRUE(dm.ADOConnection1.Connected());
    EXPECT_EQ(HeaderBlockOf(exam), kClosed);
    EXPECT_FALSE(FileExists(inst.Path("temp.db")));
    EXPECT_EQ(inodeOf(exam), inode);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(count(dm, "SELECT * FROM 小题"), 1);
}

TEST(Guard, StaleTempIsOverwrittenAndRemovedAndAnOpenHeaderWorksTheSame) {
    MessageBoxRecorder boxes;
    TestInstall inst(kFixture);
    WriteFileBytes(inst.Path("temp.db"), std::string(10 * 4096, 'g'));
    DecryptMDB(inst.Path("exam.db")); // left open by an earlier run that died
    TDataModule1 dm;
    ASSERT_TRUE(dm.GuardAndConnect(inst.Folder()));
    EXPECT_FALSE(FileExists(inst.Path("temp.db")));
    EXPECT_EQ(HeaderBlockOf(inst.Path("exam.db")), kClosed);
}

TEST(Guard, WritesDuringTheRunLeaveTheHeaderClosedAndReachTheDisk) {
    MessageBoxRecorder boxes;
    TestInstall inst(kFixture);
    {
        TDataModule1 dm;
        ASSERT_TRUE(dm.GuardAndConnect(inst.Folder()));
        exec(dm, "UPDATE 小题 SET 是否收藏 = 1 WHERE 小题号=7");
        dm.ADOConnection1.BeginTrans();
        exec(dm, "INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) VALUES(1,1,1,1,1,'2026-12-09 "
                 "07:05:03')");
        exec(dm, "INSERT INTO 测试题目(测试编号,小题号,回答正确) VALUES(" +
                     std::to_string(dm.ADOConnection1.LastInsertId()) + ",7,-1)");
        dm.ADOConnection1.CommitTrans();
        EXPECT_EQ(HeaderBlockOf(inst.Path("exam.db")), kClosed);
    }
    EXPECT_EQ(HeaderBlockOf(inst.Path("exam.db")), kClosed);
    // The next start sees what the last run stored.
    TDataModule1 dm;
    ASSERT_TRUE(dm.GuardAndConnect(inst.Folder()));
    EXPECT_EQ(count(dm, "SELECT * FROM 小题 WHERE 是否收藏=1"), 1);
    EXPECT_EQ(count(dm, "SELECT * FROM 测试题目 WHERE 回答正确=-1"), 1);
}

TEST(Guard, FailedConnectionShowsTheFatalMessageAndLeavesTheFileClosed) {
    MessageBoxRecorder boxes;
    TestInstall inst(kFixture);
    // Damage the image: the header opens, the connection does not.
    std::string bytes = ReadFileBytes(inst.Path("exam.db"));
    for (size_t i = 4096; i < 4096 + 16; ++i)
        bytes[i] = 'X';
    WriteFileBytes(inst.Path("exam.db"), bytes);
    TDataModule1 dm;
    EXPECT_FALSE(dm.GuardAndConnect(inst.Folder()));
    EXPECT_FALSE(dm.ADOConnection1.Connected());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "打开数据库出现严重的错误，程序将中止！");
    EXPECT_EQ(boxes.shown[0].caption, "错误");
    EXPECT_EQ(boxes.shown[0].flags, MB_ICONERROR);
    EXPECT_EQ(HeaderBlockOf(inst.Path("exam.db")), kClosed);
    EXPECT_FALSE(FileExists(inst.Path("temp.db")));
    // Nothing but the header changed.
    std::string after = ReadFileBytes(inst.Path("exam.db"));
    EXPECT_EQ(after.substr(106), bytes.substr(106));
}

TEST(Guard, MissingBankEndsInTheFatalMessageWithoutCreatingFiles) {
    MessageBoxRecorder boxes;
    TestInstall inst({}, false);
    TDataModule1 dm;
    EXPECT_FALSE(dm.GuardAndConnect(inst.Folder()));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_FALSE(FileExists(inst.Path("exam.db")));
    EXPECT_FALSE(FileExists(inst.Path("temp.db")));
}

TEST(Guard, ACopyOutThatFailsIsNeverCopiedBack) {
    MessageBoxRecorder boxes;
    TestInstall inst(kFixture);
    const std::string before = ReadFileBytes(inst.Path("exam.db"));
    std::filesystem::create_directory(inst.Path("temp.db")); // cannot be written as a file
    TDataModule1 dm;
    EXPECT_FALSE(dm.GuardAndConnect(inst.Folder())); // the header was never opened
    EXPECT_EQ(ReadFileBytes(inst.Path("exam.db")), before);
    ASSERT_EQ(boxes.shown.size(), 1u);
}

TEST(Guard, AFileThatIsNotABankOfOursIsLeftByteForByte) {
    for (const std::string& foreign : {std::string("SQLite format 3") + '\0' + std::string(8192, '\x01'),
                                       std::string(), std::string(100, 'q')}) {
        MessageBoxRecorder boxes;
        TestInstall inst({}, false);
        WriteFileBytes(inst.Path("exam.db"), foreign);
        TDataModule1 dm;
        EXPECT_FALSE(dm.GuardAndConnect(inst.Folder()));
        EXPECT_EQ(ReadFileBytes(inst.Path("exam.db")), foreign);
        EXPECT_FALSE(FileExists(inst.Path("temp.db")));
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "打开数据库出现严重的错误，程序将中止！");
    }
}

TEST(Guard, ABankDroppedInPlaceGetsTheRestoreCheckAndIsRefusedUntouched) {
    MessageBoxRecorder boxes;
    TestInstall inst(std::string(kFixture) +
                     "CREATE TRIGGER 清空 AFTER UPDATE ON 小题 BEGIN DELETE FROM 测试结果; END;");
    const std::string exam = inst.Path("exam.db"), before = ReadFileBytes(exam);
    {
        TDataModule1 dm;
        EXPECT_FALSE(dm.GuardAndConnect(inst.Folder()));
        EXPECT_FALSE(dm.ADOConnection1.Connected());
    }
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains("含有触发器 清空")) << boxes.shown[0].text.toStdString();
    EXPECT_EQ(boxes.shown[0].caption, "错误");
    EXPECT_EQ(ReadFileBytes(exam), before);
    // Asked again at the next start: a refusal is never remembered as checked.
    TDataModule1 again;
    EXPECT_FALSE(again.GuardAndConnect(inst.Folder()));
    EXPECT_EQ(boxes.shown.size(), 2u);
}
