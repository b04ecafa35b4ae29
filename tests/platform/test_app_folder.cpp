// Where the program works: its own folder when it can write there, otherwise a
// per-user copy of what it ships that later starts never overwrite.
#include "platform/AppFolder.h"
#include "support/TestSupport.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
// A temporary root holding an installed layout (bin/, share/quillora/) or a
// portable one (everything in one folder), and a home for the user's copy.
class AppFolderTest : public ::testing::Test {
protected:
    TestInstall tmp{{}, false};
    std::string root = tmp.Folder() + "root/";
    std::string user = tmp.Folder() + "home/.local/share/Quillora/";

    void ship(const std::string& dir, const std::string& bank) {
        fs::create_directories(dir + "css/BaoKao");
        fs::create_directories(dir + "images");
        WriteFileBytes(dir + "exam.db", bank);
        WriteFileBytes(dir + "css/Main.css", "shipped css");
        WriteFileBytes(dir + "css/gg1bk.html", "shipped page");
        WriteFileBytes(dir + "css/BaoKao/baokao.html", "shipped help");
        WriteFileBytes(dir + "images/dot.gif", "GIF89a");
    }
    std::string installed() {
        fs::create_directories(root + "bin");
        ship(root + "share/quillora/", "shipped bank");
        return root + "bin/";
    }
};
} // namespace

TEST_F(AppFolderTest, AWritableFolderWithTheBankWorksInPlaceAndCopiesNothing) {
    ship(root, "portable bank");
    const AppFolderChoice c = ChooseAppFolder({root, user});
    EXPECT_EQ(c.folder, root);
    EXPECT_TRUE(c.problem.isEmpty());
    EXPECT_FALSE(fs::exists(tmp.Folder() + "home")) << "a portable copy must leave the home folder alone";
    // The write probe leaves nothing behind.
    for (const auto& e : fs::directory_iterator(root))
        EXPECT_EQ(e.path().filename().string().find(".write-probe"), std::string::npos);
}

TEST_F(AppFolderTest, AnInstallationIsCopiedToTheUserFolderOnFirstStart) {
    const std::string exe = installed();
    WriteFileBytes(root + "share/quillora/css/Question.html", "someone's last page");
    const AppFolderChoice c =
        ChooseAppFolder({exe.substr(0, exe.size() - 1), user.substr(0, user.size() - 1)});
    EXPECT_TRUE(c.problem.isEmpty()) << c.problem.toStdString();
    EXPECT_EQ(c.folder, user);
    EXPECT_EQ(ReadFileBytes(user + "exam.db"), "shipped bank");
    EXPECT_EQ(ReadFileBytes(user + "css/Main.css"), "shipped css");
    EXPECT_EQ(ReadFileBytes(user + "css/BaoKao/baokao.html"), "shipped help");
    EXPECT_EQ(ReadFileBytes(user + "images/dot.gif"), "GIF89a");
    EXPECT_FALSE(fs::exists(user + "css/Question.html")) << "the generated page is not shipped content";
    // Nothing is written into the installation.
    EXPECT_FALSE(fs::exists(root + "share/quillora/temp.db"));
    EXPECT_EQ(ReadFileBytes(root + "share/quillora/exam.db"), "shipped bank");
}

TEST_F(AppFolderTest, LaterStartsKeepTheUsersBankAndPagesAndRestoreOnlyWhatIsMissing) {
    const std::string exe = installed();
    ASSERT_EQ(ChooseAppFolder({exe, user}).folder, user);
    WriteFileBytes(user + "exam.db", "the user's history");
    WriteFileBytes(user + "css/Main.css", "the user's colours");
    fs::remove(user + "images/dot.gif");
    // A newer package ships a different bank.
    WriteFileBytes(root + "share/quillora/exam.db", "updated bank");

    const AppFolderChoice c = ChooseAppFolder({exe, user});
    EXPECT_TRUE(c.problem.isEmpty());
    EXPECT_EQ(c.folder, user);
    EXPECT_EQ(ReadFileBytes(user + "exam.db"), "the user's history");
    EXPECT_EQ(ReadFileBytes(user + "css/Main.css"), "the user's colours");
    EXPECT_EQ(ReadFileBytes(user + "images/dot.gif"), "GIF89a");
}

TEST_F(AppFolderTest, AUserFolderThatCannotBeMadeIsReportedAndLeavesNoHalfBank) {
    const std::string exe = installed();
    // A file where the folder should be: no amount of rights makes that a folder.
    fs::create_directories(tmp.Folder() + "home");
    WriteFileBytes(tmp.Folder() + "home/.local", "not a folder");
    const AppFolderChoice c = ChooseAppFolder({exe, user});
    EXPECT_FALSE(c.problem.isEmpty());
    EXPECT_TRUE(c.problem.contains(QString::fromStdString(user))) << c.problem.toStdString();
    EXPECT_FALSE(fs::exists(user + "exam.db"));
}

TEST_F(AppFolderTest, ABankCopyCutShortLeavesNoPartialBankAndTheNextStartCompletesIt) {
    const std::string exe = installed();
    const std::string bank(300000, 'b');
    WriteFileBytes(root + "share/quillora/exam.db", bank);
    // A full disk, as the kernel reports it: writes past 64 KiB fail.
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const AppFolderChoice cut = ChooseAppFolder({exe, user});
    ::setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_FALSE(cut.problem.isEmpty());
    EXPECT_FALSE(fs::exists(user + "exam.db")) << "a torn bank would be opened on the next start";
    for (const auto& e : fs::directory_iterator(user))
        EXPECT_EQ(e.path().filename().string().rfind("exam.db", 0), std::string::npos) << e.path();

    const AppFolderChoice next = ChooseAppFolder({exe, user});
    EXPECT_TRUE(next.problem.isEmpty());
    EXPECT_EQ(ReadFileBytes(user + "exam.db"), bank);
}

TEST_F(AppFolderTest, WithNothingShippedTheUsersOwnBankIsUsedElseTheProgramsFolder) {
    fs::create_directories(root + "bin");
    EXPECT_EQ(ChooseAppFolder({root + "bin", user}).folder, root + "bin/")
        << "opening the missing bank reports it";
    EXPECT_FALSE(fs::exists(user));
    fs::create_directories(user);
    WriteFileBytes(user + "exam.db", "the user's history");
    EXPECT_EQ(ChooseAppFolder({root + "bin", user}).folder, user);
}

// Root ignores permission bits, so this checks the decision, not the kernel.
TEST_F(AppFolderTest, AFolderOthersCanWriteOrOwnIsOnlyCopiedFrom) {
    ship(root, "portable bank");
    const auto chosen = [&] { return ChooseAppFolder({root, user}).folder; };
    ASSERT_EQ(chosen(), root);
    for (const std::string& dir : {root, root + "css"}) {
        for (mode_t mode : {0775, 0757, 01777}) {
            ASSERT_EQ(::chmod(dir.c_str(), mode), 0);
            EXPECT_EQ(chosen(), user) << dir << " mode " << std::oct << mode;
            ::chmod(dir.c_str(), 0755);
        }
        ASSERT_EQ(::chown(dir.c_str(), ::geteuid() + 4242, ::getegid()), 0);
        EXPECT_EQ(chosen(), user) << dir << " owned by another user";
        ASSERT_EQ(::chown(dir.c_str(), ::geteuid(), ::getegid()), 0);
    }
    fs::rename(root + "css", root + "css-real");
    fs::create_directory_symlink(root + "css-real", root + "css");
    EXPECT_EQ(chosen(), user) << "css/ as a link";
    fs::remove(root + "css");
    fs::rename(root + "css-real", root + "css");
    EXPECT_EQ(chosen(), root);

    EXPECT_EQ(ReadFileBytes(user + "exam.db"), "portable bank");
    struct stat st {};
    ASSERT_EQ(::stat(user.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u) << "the per-user folder is the user's alone";
}
