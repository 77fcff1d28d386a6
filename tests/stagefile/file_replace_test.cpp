#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "scene/stage.h"
#include "stagefile/file_replace.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

FileResult WriteText(std::ostream& out, const char* text) {
    out << text;
    return FileResult{};
}

std::size_t Entries(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// Writes past `bytes` fail, as on a disk that fills up.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        signal_ = ::signal(SIGXFSZ, SIG_IGN);
        const struct rlimit small = {bytes, old_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        ::signal(SIGXFSZ, signal_);
    }

private:
    struct rlimit old_;
    void (*signal_)(int);
};

// The copies of in-place rewrites go below the test's folder.
class CacheFolder {
public:
    explicit CacheFolder(const fs::path& folder) { ::setenv("XDG_CACHE_HOME", folder.c_str(), 1); }
    ~CacheFolder() { ::unsetenv("XDG_CACHE_HOME"); }
};

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
        return FileResult(Failure("", "cannot hold this"));
    });
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "cannot hold this");
    EXPECT_EQ(refused.path, path.string());
    EXPECT_EQ(TempDir::Read(path), "good\n");
    EXPECT_FALSE(fs::exists(path.string() + ".tmp"));

}

TEST(ReplaceFile, AFullDiskIsReported) {
    TempDir dir;
    fs::path path = dir.Path() / "stage.txt";
    FileSizeLimit limit(4096);
    FileResult result = ReplaceFile(path.string(), [](std::ostream& out) {
        out << std::string(1 << 20, 'x');
        return FileResult{};
    });
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("File too large"), std::string::npos) << result.message;
    EXPECT_EQ(Entries(dir.Path()), 0u);  // neither the file nor a temporary one
}

// Each save writes a temporary file of its own, never through a name that exists, and removes the ones
// that killed saves left: only of its exact form, untouched for a minute and held by no running save.
TEST(ReplaceFile, SavesWriteTheirOwnTemporaryFileAndRemoveAbandonedOnes) {
    TempDir dir;
    fs::path path = dir.Write("stage.txt", "old\n"), victim = dir.Write("victim.txt", "victim\n");
    fs::create_symlink("victim.txt", dir.Path() / "stage.txt.tmp");
    fs::path abandoned = dir.Write("stage.txt.0123456789abcdef.tmp", "half");
    fs::path held = dir.Write("stage.txt.00000000000000aa.tmp", "a save still writing");
    const fs::path kept[] = {dir.Write("stage.txt.fedcba9876543210.tmp", "just written"), held,
                             dir.Write("stage.txt.0123456789ABCDEF.tmp", "not ours"),
                             dir.Write("other.txt.0123456789abcdef.tmp", "not ours"),
                             dir.Write("stage.txt.0123456789abcde.tmp", "not ours")};
    for (const fs::path& file : {abandoned, kept[1], kept[2], kept[3], kept[4]})
        fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::minutes(2));
    const int lock = ::open(held.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);

    ASSERT_TRUE(ReplaceFile(path.string(), [](std::ostream& out) { return WriteText(out, "new\n"); }).ok);
    EXPECT_EQ(TempDir::Read(path), "new\n");
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(TempDir::Read(victim), "victim\n");
    EXPECT_FALSE(fs::exists(abandoned));
    for (const fs::path& file : kept) EXPECT_TRUE(fs::exists(file)) << file;

    // A save that fails takes its temporary file with it.
    const std::size_t before = Entries(dir.Path());
    EXPECT_FALSE(ReplaceFile(path.string(), [](std::ostream& out) {
                     out << "half";
                     return FileResult(Failure("", "cannot hold this"));
                 }).ok);
    EXPECT_EQ(Entries(dir.Path()), before);
    ::close(lock);
}

// The recovery file of a private stage file is private too, whatever the umask.
TEST(ReplaceFile, TakesThePermissionsOfTheFileItStandsFor) {
    TempDir dir;
    fs::path stage = dir.Write("stage.txt", "Tag : A\n"), recovery = dir.Path() / "stage.txt.autosave";
    fs::permissions(stage, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(ReplaceFile(recovery.string(), [](std::ostream& out) { return WriteText(out, "x"); }, stage.string()).ok);
    EXPECT_EQ(fs::status(recovery).permissions(), fs::perms::owner_read | fs::perms::owner_write);
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
    CacheFolder cache(dir.Path() / "cache");
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

    CacheFolder ours(dir.Path() / "cache of the test");  // the child's belongs to another user
    FileResult failed;
    {
        FileSizeLimit limit(64);
        failed = RewriteFileInPlace(path.string(), [](std::ostream& out) { return WriteText(out, std::string(99, 'x').c_str()); });
    }
    EXPECT_EQ(failed.message, "cannot rewrite the file in place: File too large; its old contents were put back");
    EXPECT_EQ(TempDir::Read(path), "new\n");
    EXPECT_TRUE(CheckInterruptedRewrite(path.string()).ok);
    fs::permissions(path.parent_path(), fs::perms::owner_write, fs::perm_options::add);
}

// A rewrite in place killed at any moment leaves the old contents, the new ones, or a file that loading
// and saving refuse, naming the copy that holds the old contents. The kills land on chosen bytes: a
// process whose write passes its file size limit is killed there (SIGXFSZ), in the copy or in the file.
TEST(ReplaceFile, ARewriteInPlaceKilledAtAnyMomentIsNeverSilentlyDamaged) {
    TempDir dir;
    CacheFolder cache(dir.Path() / "cache");
    const std::string old(64 << 10, 'o'), fresh(128 << 10, 'n');
    const fs::path path = dir.Path() / "stage.txt";
    auto rewrite = [&] { return RewriteFileInPlace(path.string(), [&](std::ostream& out) { return WriteText(out, fresh.c_str()); }); };
    int damaged = 0;
    for (rlim_t limit = 4 << 10; limit < (160 << 10); limit += 8 << 10) {
        dir.Write("stage.txt", old);
        const pid_t child = ::fork();
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_DFL);
            const struct rlimit small = {limit, RLIM_INFINITY};
            ::setrlimit(RLIMIT_FSIZE, &small);
            ::_exit(rewrite().ok ? 0 : 1);
        }
        ::waitpid(child, nullptr, 0);
        const std::string now = TempDir::Read(path);
        const FileResult check = CheckInterruptedRewrite(path.string());
        if (now == old || now == fresh) {
            EXPECT_TRUE(check.ok) << check.message;
            continue;
        }
        ++damaged;
        ASSERT_FALSE(check.ok) << "killed at " << limit << " bytes: a damaged file passes";
        CStage stage;
        EXPECT_EQ(stage.LoadTextFile(nullptr, path.string()).message, check.message);
        EXPECT_EQ(rewrite().message, check.message);
        const std::size_t from = check.message.find("kept in ") + 8;
        const fs::path copy = check.message.substr(from, check.message.find(": put", from) - from);
        EXPECT_EQ(TempDir::Read(copy), old);
        fs::rename(copy, path);  // as the message says
        EXPECT_TRUE(CheckInterruptedRewrite(path.string()).ok);
    }
    EXPECT_EQ(damaged, 8);  // the kills between 64 and 128 KiB, inside the rewrite itself
}
