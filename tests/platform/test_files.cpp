#include "platform/Files.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
ino_t inodeOf(const std::string& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_ino;
}
} // namespace

TEST(CopyFileOver, OverwritesInPlaceKeepingTheTargetsInode) {
    TestInstall dir({}, false);
    const std::string a = dir.Path("a.db"), b = dir.Path("b.db");
    std::string big(600000, 'x');
    big[300000] = 'y';
    WriteFileBytes(a, big);
    WriteFileBytes(b, std::string(900000, 'z')); // longer: must be cut to the source's size
    const ino_t before = inodeOf(b);
    ASSERT_TRUE(CopyFileOver(a, b));
    EXPECT_EQ(inodeOf(b), before);
    EXPECT_EQ(ReadFileBytes(b), big);

    // Creates a missing target.
    ASSERT_TRUE(CopyFileOver(a, dir.Path("new.db")));
    EXPECT_EQ(ReadFileBytes(dir.Path("new.db")), big);
}

TEST(CopyFileOver, FailsWithoutTouchingAnything) {
    TestInstall dir({}, false);
    const std::string a = dir.Path("a.db");
    WriteFileBytes(a, "data");
    EXPECT_FALSE(CopyFileOver(dir.Path("missing.db"), a));
    EXPECT_EQ(ReadFileBytes(a), "data");
    EXPECT_FALSE(CopyFileOver(a, a)); // the same file
    EXPECT_EQ(ReadFileBytes(a), "data");
    EXPECT_FALSE(CopyFileOver(a, "/nonexistent-folder/b.db"));
}

TEST(BlockWrites, WriteAtOffsetOnlyIntoExistingFiles) {
    TestInstall dir({}, false);
    const std::string a = dir.Path("a.db");
    WriteFileBytes(a, std::string(200, '.'));
    ASSERT_TRUE(WriteBlockAt(a, 66, "HEAD", 4));
    std::string bytes = ReadFileBytes(a);
    EXPECT_EQ(bytes.size(), 200u);
    EXPECT_EQ(bytes.substr(64, 8), "..HEAD..");
    char buf[4];
    EXPECT_EQ(ReadBlockAt(a, 66, buf, 4), 4);
    EXPECT_FALSE(WriteBlockAt(dir.Path("missing.db"), 66, "HEAD", 4));
    EXPECT_FALSE(FileExists(dir.Path("missing.db")));
    EXPECT_TRUE(DeleteFileAt(a));
    EXPECT_FALSE(DeleteFileAt(a));
}

TEST(CopyFileOver, WritesOnlyThePagesThatDiffer) {
    // The target is one hole: every block the copy writes gets allocated, so
    // the allocation shows what was written.
    TestInstall dir({}, false);
    const std::string a = dir.Path("a.db"), b = dir.Path("b.db");
    std::string bytes(1 << 20, '\0');
    bytes[70] = 'h'; // inside the header block only
    WriteFileBytes(a, bytes);
    WriteFileBytes(b, "");
    ASSERT_EQ(::truncate(b.c_str(), 1 << 20), 0);
    ASSERT_TRUE(CopyFileOver(a, b));
    EXPECT_EQ(ReadFileBytes(b), bytes);
    struct stat st {};
    ASSERT_EQ(::stat(b.c_str(), &st), 0);
    EXPECT_LE(st.st_blocks * 512, 8192) << "a one-byte change rewrote more than its page";
}
