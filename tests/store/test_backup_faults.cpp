// A backup is a real process that can die or be refused writes half-way: the
// earlier backup under the same name must survive either.
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <csignal>
#include <dirent.h>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <thread>

namespace {
// Temporary files the copy leaves beside `target` (its name plus a suffix).
std::vector<std::string> strays(const std::string& folder, const std::string& name) {
    std::vector<std::string> out;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d)) {
            const std::string n = e->d_name;
            if (n != name && n.rfind(name + ".", 0) == 0) out.push_back(folder + n);
        }
        ::closedir(d);
    }
    return out;
}

long long sizeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

std::string patterned(size_t size, unsigned seed) {
    std::string s(size, '\0');
    std::mt19937 gen(seed);
    for (size_t i = 0; i < size; i += 4096)
        s[i] = static_cast<char>(gen());
    return s;
}
} // namespace

TEST(BackupFaults, KilledHalfWayTheEarlierBackupIsIntact) {
    TestInstall dir({}, false);
    const std::string source = dir.Path("exam.db"), target = dir.Path("backup.db");
    const std::string fresh = patterned(96u << 20, 1), earlier = patterned(1u << 20, 2);
    WriteFileBytes(source, fresh);

    std::mt19937 gen(7);
    int midway = 0;
    for (int round = 0; round < 6; ++round) {
        WriteFileBytes(target, earlier);
        for (const std::string& s : strays(dir.Folder(), "backup.db"))
            ::unlink(s.c_str());
        QProcess child;
        child.start(QStringLiteral(QUILLORA_COPY_CHILD),
                    {QString::fromStdString(source), QString::fromStdString(target)});
        ASSERT_TRUE(child.waitForStarted());
        // Kill once the copy has begun, a little later each round.
        const auto extra =
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 3000)(gen) * round);
        QElapsedTimer t;
        t.start();
        while (strays(dir.Folder(), "backup.db").empty() && child.state() == QProcess::Running &&
               t.elapsed() < 10000)
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        std::this_thread::sleep_for(extra);
        const std::vector<std::string> partial = strays(dir.Folder(), "backup.db");
        const bool cut = !partial.empty() && sizeOf(partial[0]) < static_cast<long long>(fresh.size());
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        child.waitForFinished();

        const std::string now = ReadFileBytes(target);
        // Either the earlier backup or the complete new one: never a part.
        EXPECT_TRUE(now == earlier || now == fresh) << "round " << round << ": " << now.size() << " bytes";
        if (cut && now == earlier) ++midway;
    }
    // The kills must really have landed during copies, or this proved nothing.
    EXPECT_GT(midway, 0);
}

TEST(BackupFaults, AWriteLimitFailsTheCopyAndLeavesNoTrace) {
    if (QStandardPaths::findExecutable(QStringLiteral("prlimit")).isEmpty()) GTEST_SKIP() << "no prlimit";
    TestInstall dir({}, false);
    const std::string source = dir.Path("exam.db"), target = dir.Path("backup.db");
    WriteFileBytes(source, patterned(8u << 20, 3));
    WriteFileBytes(target, "the earlier backup");
    QProcess child;
    child.start(QStringLiteral("prlimit"),
                {QStringLiteral("--fsize=1048576"), QStringLiteral(QUILLORA_COPY_CHILD),
                 QString::fromStdString(source), QString::fromStdString(target)});
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 1);
    EXPECT_EQ(ReadFileBytes(target), "the earlier backup");
    EXPECT_TRUE(strays(dir.Folder(), "backup.db").empty());
}
