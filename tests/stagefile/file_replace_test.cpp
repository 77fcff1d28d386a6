#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "stagefile/file_replace.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

FileResult WriteText(std::ostream& out, const char* text) {
    out << text;
    return FileResult{};
}

}  // namespace

TEST(ReplaceFile, WritesANewFileAndReplacesAnOldOne) {
    TempDir dir;
    std::string path = (dir.Path() / "stage.txt").string();
    ASSERT_TRUE(ReplaceFile(path, [](std::ostream& out) { return WriteText(out, "first\n"); }).ok);
    EXPECT_EQ(TempDir::Read(path), "first\n");
    FileResult result = ReplaceFile(path, [](std::ostream& out) { return WriteText(out, "second\n"); });
    ASSERT_TRUE(result.ok) << result.Describe();
    EXPECT_EQ(result.path, path);
    EXPECT_EQ(TempDir::Read(path), "second\n");
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST(ReplaceFile, AFailedSaveLeavesTheOldFile) {
    TempDir dir;
    fs::path path = dir.Write("stage.txt", "good\n");

    // The writer refuses: its reason is reported and nothing is left behind.
    FileResult refused = ReplaceFile(path.string(), [](std::ostream& out) {
        out << "half";
        return FileResult{false, "", 0, "cannot hold this", 0, 0};
    });
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "cannot hold this");
    EXPECT_EQ(refused.path, path.string());
    EXPECT_EQ(TempDir::Read(path), "good\n");
    EXPECT_FALSE(fs::exists(path.string() + ".tmp"));

}

TEST(ReplaceFile, AFullDiskIsReported) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    // A target whose temporary name is a device that takes no bytes: the write fails at flush time.
    TempDir dir;
    fs::path path = dir.Path() / "stage.txt";
    fs::create_symlink("/dev/full", path.string() + ".tmp");
    FileResult result = ReplaceFile(path.string(), [](std::ostream& out) {
        out << std::string(1 << 20, 'x');
        return FileResult{};
    });
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("No space left on device"), std::string::npos) << result.message;
    EXPECT_FALSE(fs::exists(path));
}

// Through a link, the file it points to is replaced and keeps its mode.
TEST(ReplaceFile, ALinkStaysALinkAndTheFileKeepsItsMode) {
    TempDir dir;
    fs::path target = dir.Write("real/stage.txt", "old\n"), link = dir.Path() / "stage.txt";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real/stage.txt", link);
    ASSERT_TRUE(ReplaceFile(link.string(), [](std::ostream& out) { return WriteText(out, "new\n"); }).ok);
    EXPECT_TRUE(fs::is_symlink(link) && TempDir::Read(target) == "new\n");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// A folder taking no new files: the file is rewritten in place; a rewrite failing half-way is undone.
TEST(ReplaceFile, AReadOnlyFolderRewritesInPlaceAndAFailedRewriteRestores) {
    TempDir dir;
    fs::path path = dir.Write("locked/stage.txt", "old\n");
    fs::permissions(dir.Path(), fs::perms::all);
    ASSERT_TRUE(::geteuid() != 0 || ::chown(path.c_str(), 65534, 65534) == 0);
    fs::permissions(path.parent_path(), fs::perms::owner_write, fs::perm_options::remove);
    if (::fork() == 0) {
        // Root may write anywhere: the save runs as an ordinary user.
        bool user = ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
        FileResult result = ReplaceFile(path.string(), [](std::ostream& out) { return WriteText(out, "new\n"); });
        ::_exit(user && result.ok && result.inPlace ? 0 : 1);
    }
    int status = 1;
    ::wait(&status);
    EXPECT_EQ(status, 0);

    struct rlimit old;  // writes past 64 bytes fail, as on a disk that fills up
    ::getrlimit(RLIMIT_FSIZE, &old);
    const struct rlimit small = {64, old.rlim_max};
    ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    FileResult failed = RewriteFileInPlace(path.string(), [](std::ostream& out) { return WriteText(out, std::string(99, 'x').c_str()); });
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(failed.message, "cannot rewrite the file in place: File too large; its old contents were put back");
    EXPECT_EQ(TempDir::Read(path), "new\n");
    fs::permissions(path.parent_path(), fs::perms::owner_write, fs::perm_options::add);
}
