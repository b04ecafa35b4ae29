// The real program and tools as separate processes: what happens between two
// programs on one bank, and a tool run without a display.
#include "platform/Files.h"
#include "store/DataModule.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QUdpSocket>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
// The shipped sample content, so the program starts as a user sees it.
std::string sampleBankSql() {
    std::string sql;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(std::string(QUILLORA_SOURCE_DIR) + "/data/bank"))
        if (e.path().extension() == ".sql" && e.path().filename() != "schema.sql") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files)
        sql += ReadFileBytes(f.string()) + "\n";
    return sql;
}

// The program runs from the installation folder it serves: a hard link to the
// built binary there (a copy where links are not possible).
void installProgram(const TestInstall& inst) {
    std::error_code ec;
    fs::create_hard_link(QUILLORA_PROGRAM, inst.Path("quillora"), ec);
    if (ec) fs::copy_file(QUILLORA_PROGRAM, inst.Path("quillora"));
}

bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QThread::msleep(50);
    }
    return true;
}

struct FileState {
    std::string bytes;
    std::int64_t mtimeNs = 0;
    bool operator==(const FileState&) const = default;
};

FileState stateOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return {ReadFileBytes(path),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

class Program {
public:
    explicit Program(const TestInstall& inst) {
        p.setProgram(QString::fromStdString(inst.Path("quillora")));
        p.setProcessChannelMode(QProcess::SeparateChannels);
        p.start();
    }
    ~Program() {
        if (p.state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
            p.waitForFinished(10000);
        }
    }
    void Kill() {
        ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
        p.waitForFinished(10000);
    }
    QString Errors() {
        p.waitForReadyRead(100);
        err += QString::fromLocal8Bit(p.readAllStandardError());
        return err;
    }
    QProcess p;
    QString err;
};
} // namespace

TEST(OneProgramPerBank, ASecondStartTouchesNothingAndAKilledHolderBlocksNoOne) {
    TestInstall inst(sampleBankSql());
    installProgram(inst);
    const std::string page = inst.Path("css/Question.html");
    const std::string exam = inst.Path("exam.db");

    auto first = std::make_unique<Program>(inst);
    ASSERT_TRUE(waitFor([&] { return FileExists(page); }, 60000)) << first->Errors().toStdString();
    const FileState before = stateOf(exam);

    {
        Program second(inst);
        ASSERT_TRUE(waitFor(
            [&] { return second.Errors().contains(QStringLiteral("held by another running program")); },
            30000))
            << second.Errors().toStdString();
        // It waits at its message; the first program's bank has not been touched.
        EXPECT_EQ(second.p.state(), QProcess::Running);
        EXPECT_TRUE(stateOf(exam) == before);
        EXPECT_FALSE(FileExists(inst.Path("temp.db")));
    }

    // A lock left by a killed program is no lock at all.
    first->Kill();
    DeleteFileAt(page);
    Program third(inst);
    EXPECT_TRUE(waitFor([&] { return FileExists(page); }, 60000)) << third.Errors().toStdString();
    EXPECT_FALSE(third.Errors().contains(QStringLiteral("held by another running program")));
}

TEST(CommandLineTools, MaincssOnABankThatDoesNotOpenSaysSoAndFails) {
    TestInstall inst;
    WriteFileBytes(inst.Path("exam.db"), std::string(8192, 'x'));
    QProcess p;
    p.setProgram(QStringLiteral(QUILLORA_MAINCSS));
    p.setArguments({QString::fromStdString(inst.Path("exam.db")), QString::fromStdString(inst.Folder())});
    p.setEnvironment({QStringLiteral("PATH=/usr/bin:/bin")}); // no display of any kind
    p.start();
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromLocal8Bit(p.readAllStandardError())
                    .contains(QStringLiteral("打开数据库出现严重的错误")));
    EXPECT_FALSE(FileExists(inst.Path("css/Main.css")));
}

TEST(OnlineTest, ADeadNameServerCountsTowardTheSameLimit) {
    // A name server that takes the question and never answers, seen only by
    // the probe through a private mount of resolv.conf.
    QUdpSocket silent;
    ASSERT_TRUE(silent.bind(QHostAddress(QStringLiteral("127.0.0.153")), 53)) << "binding port 53 needs root";
    TestInstall dir({}, false);
    WriteFileBytes(dir.Path("resolv.conf"), "nameserver 127.0.0.153\noptions timeout:5 attempts:2\n");
    QProcess probe;
    probe.start(
        QStringLiteral("unshare"),
        {QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"),
         QStringLiteral(
             "mount --bind \"$1\" /etc/resolv.conf && exec \"$2\" http://portal.quillora.test/qlr/i.html"),
         QStringLiteral("sh"), QString::fromStdString(dir.Path("resolv.conf")),
         QStringLiteral(QUILLORA_ONLINE_PROBE)});
    ASSERT_TRUE(probe.waitForFinished(30000));
    const QString out = QString::fromLocal8Bit(probe.readAllStandardOutput()).trimmed();
    ASSERT_TRUE(out.startsWith(QStringLiteral("offline ")))
        << out.toStdString() << QString::fromLocal8Bit(probe.readAllStandardError()).toStdString();
    EXPECT_LT(out.section(u' ', 1).toInt(), 4000) << "the lookup was not bounded";
}

TEST(KilledWhileSaving, EveryTestIsStoredWholeOrNotAtAllAndTheBankStaysSound) {
    TestInstall inst;
    std::mt19937 random(20261209);
    int saved = 0;
    for (int round = 0; round < 32; ++round) {
        QProcess writer;
        writer.start(QStringLiteral(QUILLORA_HISTORY_WRITER), {QString::fromStdString(inst.Folder())});
        ASSERT_TRUE(writer.waitForStarted());
        // Anywhere from the start-up guard to deep inside a run of saves.
        QThread::msleep(std::uniform_int_distribution<int>(0, 400)(random));
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        writer.waitForFinished(10000);
        saved += static_cast<int>(
            QString::fromLatin1(writer.readAllStandardOutput()).count(QStringLiteral("saved")));
    }
    EXPECT_GT(saved, 0) << "no kill came after a commit";

    QProcess verify;
    verify.start(QStringLiteral(QUILLORA_EXAMDB),
                 {QStringLiteral("verify"), QString::fromStdString(inst.Path("exam.db"))});
    ASSERT_TRUE(verify.waitForFinished(60000));
    EXPECT_EQ(verify.exitCode(), 0) << verify.readAllStandardOutput().toStdString()
                                    << verify.readAllStandardError().toStdString();

    TDataModule1 dm;
    ASSERT_TRUE(dm.GuardAndConnect(inst.Folder()));
    auto count = [&](const std::string& sql) {
        return dm.ADOQuery2.OpenWith({sql}).FieldByName("n").AsInteger();
    };
    EXPECT_GE(count("SELECT COUNT(*) AS n FROM 测试结果"), saved);
    EXPECT_EQ(count("SELECT COUNT(*) AS n FROM 测试结果 WHERE (SELECT COUNT(*) FROM 测试题目 WHERE "
                    "测试编号=测试结果.编号)<>40"),
              0);
    EXPECT_EQ(count("SELECT COUNT(*) AS n FROM 测试题目 WHERE 测试编号 NOT IN (SELECT 编号 FROM 测试结果)"),
              0);
}

TEST(WritesThatFail, AFileSizeLimitEndsTheSaveWithAnErrorAndStoresNothingHalfWay) {
    TestInstall inst;
    const auto size = std::filesystem::file_size(inst.Path("exam.db"));
    QProcess writer;
    // The bank may not grow: the first save that needs a new page fails.
    writer.start(QStringLiteral("prlimit"),
                 {QStringLiteral("--fsize=%1").arg(size), QStringLiteral(QUILLORA_HISTORY_WRITER),
                  QString::fromStdString(inst.Folder())});
    ASSERT_TRUE(writer.waitForFinished(60000));
    EXPECT_EQ(writer.exitStatus(), QProcess::NormalExit) << "killed by the limit instead of told";
    EXPECT_EQ(writer.exitCode(), 1);
    EXPECT_TRUE(QString::fromLocal8Bit(writer.readAllStandardError())
                    .contains(QStringLiteral("saving the test failed")));

    TDataModule1 dm;
    ASSERT_TRUE(dm.GuardAndConnect(inst.Folder()));
    EXPECT_EQ(
        dm.ADOQuery2
            .OpenWith(
                {"SELECT COUNT(*) AS n FROM 测试题目 WHERE 测试编号 NOT IN (SELECT 编号 FROM 测试结果)"})
            .FieldByName("n")
            .AsInteger(),
        0);
    EXPECT_EQ(dm.ADOQuery2
                  .OpenWith({"SELECT COUNT(*) AS n FROM 测试结果 WHERE (SELECT COUNT(*) FROM 测试题目 WHERE "
                             "测试编号=测试结果.编号)<>40"})
                  .FieldByName("n")
                  .AsInteger(),
              0);
}

TEST(WritesThatFail, AReadOnlyInstallationEndsInTheFatalMessageWithTheBankUntouched) {
    TestInstall inst;
    const std::string before = ReadFileBytes(inst.Path("exam.db"));
    QProcess writer;
    // Root ignores permission bits: a read-only bind mount in a private namespace.
    writer.start(QStringLiteral("unshare"),
                 {QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"),
                  QStringLiteral(
                      "mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro \"$1\" && exec \"$2\" \"$1\""),
                  QStringLiteral("sh"), QString::fromStdString(inst.Folder()),
                  QStringLiteral(QUILLORA_HISTORY_WRITER)});
    ASSERT_TRUE(writer.waitForFinished(60000));
    EXPECT_EQ(writer.exitCode(), 1);
    EXPECT_TRUE(QString::fromLocal8Bit(writer.readAllStandardError())
                    .contains(QStringLiteral("打开数据库出现严重的错误")));
    EXPECT_EQ(ReadFileBytes(inst.Path("exam.db")), before);
    EXPECT_FALSE(FileExists(inst.Path("temp.db")));
}

TEST(KilledWhileRestoring, TheBankIsAlwaysTheOldOneOrTheRestoredOneAndSound) {
    TestInstall inst;
    // The backup to restore: the same bank with one test in its history.
    TestInstall backup("INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) "
                       "VALUES(1,1,1,1,1,'2026-12-09 07:05:03');");
    std::mt19937 random(20261210);
    int restored = 0;
    for (int round = 0; round < 12; ++round) {
        QProcess writer;
        writer.start(QStringLiteral(QUILLORA_RESTORE_WRITER),
                     {QString::fromStdString(inst.Folder()), QString::fromStdString(backup.Path("exam.db"))});
        ASSERT_TRUE(writer.waitForStarted());
        QThread::msleep(std::uniform_int_distribution<int>(0, 500)(random));
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        writer.waitForFinished(10000);
        restored += static_cast<int>(
            QString::fromLatin1(writer.readAllStandardOutput()).count(QStringLiteral("restored")));

        QProcess verify;
        verify.start(QStringLiteral(QUILLORA_EXAMDB),
                     {QStringLiteral("verify"), QString::fromStdString(inst.Path("exam.db"))});
        ASSERT_TRUE(verify.waitForFinished(60000));
        ASSERT_EQ(verify.exitCode(), 0)
            << "round " << round << ": " << verify.readAllStandardOutput().toStdString()
            << verify.readAllStandardError().toStdString();
    }
    EXPECT_GT(restored, 0) << "no kill came after a restore";
    TDataModule1 dm;
    ASSERT_TRUE(dm.GuardAndConnect(inst.Folder()));
    EXPECT_EQ(dm.ADOQuery2.OpenWith({"SELECT COUNT(*) AS n FROM 测试结果"}).FieldByName("n").AsInteger(), 1);
}

TEST(KilledWhileImporting, EachImportIsInTheBankWholeOrNotAtAll) {
    TestInstall inst;
    std::mt19937 random(20261211);
    int imported = 0;
    constexpr int kRounds = 10, kRows = 20000;
    // Round 0 runs to its end and times an import on this machine (a sanitizer
    // build is several times slower); the others are killed within that time.
    qint64 importMs = 0;
    for (int round = 0; round < kRounds; ++round) {
        std::string csv = "分类,题干,选项A,选项B,答案\n";
        for (int i = 0; i < kRows; ++i)
            csv += "导入/科目/第" + std::to_string(round) + "轮,第" + std::to_string(round) + "轮第" +
                   std::to_string(i) + "题,甲,乙,B\n";
        WriteFileBytes(inst.Path("round.csv"), csv);
        QProcess importer;
        importer.start(QStringLiteral(QUILLORA_EXAMDB),
                       {QStringLiteral("import"), QStringLiteral("--into"),
                        QString::fromStdString(inst.Path("exam.db")),
                        QString::fromStdString(inst.Path("round.csv")), QStringLiteral("--new-types")});
        ASSERT_TRUE(importer.waitForStarted());
        if (round == 0) {
            QElapsedTimer t;
            t.start();
            ASSERT_TRUE(importer.waitForFinished(120000));
            importMs = t.elapsed();
        } else {
            QThread::msleep(std::uniform_int_distribution<qint64>(importMs / 4, importMs * 6 / 5)(random));
            ::kill(static_cast<pid_t>(importer.processId()), SIGKILL);
            importer.waitForFinished(10000);
        }
        imported += importer.readAllStandardOutput().contains("导入了 20000 道题") ? 1 : 0;
    }
    QProcess verify;
    verify.start(QStringLiteral(QUILLORA_EXAMDB),
                 {QStringLiteral("verify"), QString::fromStdString(inst.Path("exam.db"))});
    ASSERT_TRUE(verify.waitForFinished(60000));
    EXPECT_EQ(verify.exitCode(), 0) << verify.readAllStandardOutput().toStdString();

    TDataModule1 dm;
    ASSERT_TRUE(dm.GuardAndConnect(inst.Folder()));
    int whole = 0;
    for (int round = 0; round < kRounds; ++round) {
        const std::string section = "'第" + std::to_string(round) + "轮'";
        const int n = dm.ADOQuery2
                          .OpenWith({"SELECT COUNT(*) AS n FROM 小题 WHERE 所属编号 IN (SELECT 编号 FROM "
                                     "题目类别 WHERE 名称=",
                                     section, ")"})
                          .FieldByName("n")
                          .AsInteger();
        EXPECT_TRUE(n == 0 || n == kRows) << "round " << round << " left " << n << " questions";
        whole += n == kRows ? 1 : 0;
    }
    EXPECT_GE(whole, imported);
    EXPECT_GE(imported, 1) << "the unkilled round did not import";
    EXPECT_LT(whole, kRounds) << "no kill came during an import";
    EXPECT_EQ(
        dm.ADOQuery2
            .OpenWith({"SELECT COUNT(*) AS n FROM 答案选项 WHERE 小题号 NOT IN (SELECT 小题号 FROM 小题)"})
            .FieldByName("n")
            .AsInteger(),
        0);
}
