#include <gtest/gtest.h>

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
