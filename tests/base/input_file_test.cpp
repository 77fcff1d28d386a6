// Opening input files: Windows names (`\` and letter case), paths that are not regular files, limits.
#include <gtest/gtest.h>

#include "base/file_bytes.h"
#include "support/temp_dir.h"

TEST(InputFile, FallsBackToBackslashesAndLetterCaseOneComponentAtATime) {
    TempDir dir;
    ScopedWorkingDir cwd(dir.Path());
    dir.Write("Data/model/box.x", "box");
    dir.Write("Data/texture/Wood.bmp", "wood");
    std::string bytes;
    InputFileError error;
    ASSERT_TRUE(ReadFileBytes("Data/Model/Box.X", kMeshFileLimit, bytes, error)) << error.reason;
    EXPECT_EQ(bytes, "box");
    ASSERT_TRUE(ReadFileBytes("data\\TEXTURE\\wood.BMP", kTextureFileLimit, bytes, error)) << error.reason;
    EXPECT_EQ(bytes, "wood");
    std::string path;
    ASSERT_TRUE(ResolveInputPath((dir.Path() / "DATA/model/BOX.x").string(), path, error));
    EXPECT_EQ(path, (dir.Path() / "Data/model/box.x").string());

    EXPECT_FALSE(ReadFileBytes("Data/model/none.x", kMeshFileLimit, bytes, error));
    EXPECT_TRUE(error.missing);

    // Two names that differ only in case: neither is guessed.
    dir.Write("Data/texture/wood.bmp", "other");
    EXPECT_FALSE(ReadFileBytes("Data/texture/WOOD.bmp", kTextureFileLimit, bytes, error));
    EXPECT_FALSE(error.missing);
    EXPECT_EQ(error.reason,
              "several files match the name ignoring case: Data/texture/Wood.bmp, Data/texture/wood.bmp");
}

TEST(InputFile, RefusesWhatIsNotARegularFileOrIsTooLarge) {
    TempDir dir;
    dir.Write("folder/inside.txt", "x");
    std::string bytes = "kept";
    InputFileError error;
    EXPECT_FALSE(ReadFileBytes((dir.Path() / "folder").string(), kCatalogFileLimit, bytes, error));
    EXPECT_EQ(error.reason, "not a regular file (a directory)");
    EXPECT_FALSE(ReadFileBytes("/dev/zero", kCatalogFileLimit, bytes, error));
    EXPECT_EQ(error.reason, "not a regular file (a device)");
    EXPECT_FALSE(ReadFileBytes(dir.Write("big.txt", "12345").string(), 4, bytes, error));
    EXPECT_EQ(error.reason, "the file is larger than 4 bytes");
    EXPECT_EQ(bytes, "kept");
}
