// The file code's Windows side: names with `\` and any letter case, the settings folder, saving a stage
// file over an existing, open or read-only one, names outside ASCII, and the mesh loader's error text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "document/current_file.h"
#include "editor/recent_files.h"
#include "base/file_bytes.h"
#include "base/win32/win_text.h"
#include "d3d/xfile_loader.h"
#include "stagefile/file_replace.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// Bytes a text-mode write would change: bare and Windows line ends, a lone carriage return, a ^Z.
const std::string kTricky = "Tag : A\nIndex : 0\r\nPos : 0 , 0 , 0\r\x1A\n";

std::function<FileResult(std::ostream&)> Writes(const std::string& bytes) {
    return [bytes](std::ostream& out) {
        out << bytes;
        return FileResult{};
    };
}

std::string Backslashed(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// A folder and a stage file named outside ASCII, in UTF-8 (as the file dialog and the command line give them).
const std::string kFolder = "Bühne 舞台", kStage = "Bühne_舞台.txt";

}  // namespace

TEST(WindowsFileNames, BackslashesAndLetterCaseFindTheFile) {
    TempDir dir;
    dir.Write("Model/Crate.x", "crate");
    const std::string base = dir.Path().string();
    std::string bytes;
    for (const std::string& name : {base + "\\model\\CRATE.X", Backslashed(base) + "/MODEL\\crate.x",
                                    base + "/Model/Crate.x"}) {
        const Result<std::string> read = ReadFileBytes(name.c_str());
        EXPECT_TRUE(read.ok) << read.Describe();
        EXPECT_EQ(read.value, "crate") << name;
    }
    InputFileError problem;
    EXPECT_FALSE(ReadFileBytes(base + "\\model\\nothing.x", kMeshFileLimit, bytes, problem));
    EXPECT_TRUE(problem.missing) << problem.reason;
    EXPECT_FALSE(ReadFileBytes(base + "\\MODEL", kMeshFileLimit, bytes, problem));
    EXPECT_FALSE(problem.missing);
    EXPECT_EQ(problem.reason, "not a regular file (a directory)");
}

TEST(WindowsSettings, LiveInAVellumarFolderUnderAppData) {
    TempDir dir;
    const char* old = std::getenv("APPDATA");
    const std::string saved = old ? old : "";
    ASSERT_EQ(_putenv_s("APPDATA", dir.Path().string().c_str()), 0);
    const std::string path = CRecentFiles::DefaultSettingsPath();
    EXPECT_EQ(fs::path(path), dir.Path() / "Vellumar" / "settings.json");

    // The folder is made on the first save, and the list reads back as it was written.
    CRecentFiles recent;
    recent.Load(path);
    FileResult result = recent.Add(dir.Write("stage.txt", "").string());
    ASSERT_TRUE(result.ok) << result.Describe();
    CRecentFiles again;
    again.Load(path);
    EXPECT_EQ(again.Problem(), "");
    ASSERT_EQ(again.Files().size(), 1u);
    EXPECT_TRUE(fs::equivalent(again.Files()[0], dir.Path() / "stage.txt")) << again.Files()[0];


    ASSERT_EQ(_putenv_s("APPDATA", ""), 0);
    EXPECT_EQ(CRecentFiles::DefaultSettingsPath(), "");
    _putenv_s("APPDATA", saved.c_str());
}

TEST(WindowsSettings, AFolderAndAStageFileNamedOutsideAscii) {
    TempDir dir;
    const std::string saved = std::getenv("APPDATA") ? std::getenv("APPDATA") : "";
    ASSERT_EQ(_wputenv_s(L"APPDATA", (dir.Path() / L"Bühne 舞台").c_str()), 0);
    const std::string path = CRecentFiles::DefaultSettingsPath();
    const std::string stage = dir.Path().string() + "\\" + kFolder + "\\" + kStage;
    CRecentFiles recent;
    recent.Load(path);
    ASSERT_TRUE(recent.Add(stage).ok);
    CRecentFiles again;
    again.Load(path);
    EXPECT_EQ(again.Files(), std::vector<std::string>{stage});
    EXPECT_TRUE(fs::is_regular_file(dir.Path() / L"Bühne 舞台" / L"Vellumar" / L"settings.json"));
    _putenv_s("APPDATA", saved.c_str());
}

TEST(WindowsSave, AStageFileNamedOutsideAsciiIsSavedRewrittenAndReadBack) {
    TempDir dir;
    const fs::path wide = dir.Path() / L"Bühne 舞台" / L"Bühne_舞台.txt";
    fs::create_directories(wide.parent_path());
    const std::string name = dir.Path().string() + "/" + kFolder + "/" + kStage;
    for (const std::string& file : {name, name, name + ".autosave"}) {  // new, over the old one, the recovery file
        FileResult result = ReplaceFile(file, Writes(kTricky));
        ASSERT_TRUE(result.ok) << result.Describe();
    }
    EXPECT_EQ(TempDir::Read(wide.native() + L".autosave"), kTricky);
    FileResult result = RewriteFileInPlace(name, Writes("short\n"));
    ASSERT_TRUE(result.ok) << result.Describe();

    // Read back as the loaders do, here with backslashes and the ASCII letters in another case.
    std::string bytes;
    InputFileError problem;
    const std::string other = Backslashed(dir.Path().string() + "/" + kFolder + "/bÜHNE_舞台.TXT");
    EXPECT_TRUE(ReadFileBytes(other, kStageFileLimit, bytes, problem)) << problem.reason;
    EXPECT_EQ(bytes, "short\n");
    CCurrentFile current;
    current.Choose(name);
    EXPECT_EQ(current.DisplayName(), kStage);
}

TEST(WindowsSave, ReplacesAnExistingFileByteForByte) {
    TempDir dir;
    const fs::path path = dir.Write("stage.txt", "old contents that are longer than the new ones\r\n");
    FileResult result = ReplaceFile(path.string(), Writes(kTricky));
    ASSERT_TRUE(result.ok) << result.Describe();
    EXPECT_FALSE(result.inPlace);
    EXPECT_EQ(TempDir::Read(path), kTricky);
    EXPECT_FALSE(fs::exists(path.string() + ".tmp"));

    // A new file, named with backslashes.
    const std::string fresh = Backslashed((dir.Path() / "new.txt").string());
    result = ReplaceFile(fresh, Writes(kTricky));
    ASSERT_TRUE(result.ok) << result.Describe();
    EXPECT_EQ(TempDir::Read(dir.Path() / "new.txt"), kTricky);
}

TEST(WindowsSave, AFileHeldOpenElsewhereIsRewrittenInPlaceByteForByte) {
    TempDir dir;
    const fs::path path = dir.Write("stage.txt", "old\n");
    // Another program reading it: Windows refuses to rename over a file open without delete sharing.
    HANDLE reader = CreateFileA(path.string().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    FileResult result = ReplaceFile(path.string(), Writes(kTricky));
    CloseHandle(reader);
    ASSERT_TRUE(result.ok) << result.Describe();
    EXPECT_TRUE(result.inPlace);
    EXPECT_EQ(TempDir::Read(path), kTricky);
    EXPECT_FALSE(fs::exists(path.string() + ".tmp"));

    result = RewriteFileInPlace(path.string(), Writes("short\n"));
    ASSERT_TRUE(result.ok) << result.Describe();
    EXPECT_EQ(TempDir::Read(path), "short\n");
}

TEST(WindowsSave, AReadOnlyFileIsNotReplaced) {
    TempDir dir;
    const fs::path path = dir.Write("stage.txt", kTricky);
    ASSERT_TRUE(SetFileAttributesA(path.string().c_str(), FILE_ATTRIBUTE_READONLY));
    FileResult result = ReplaceFile(path.string(), Writes("new\n"));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "cannot write the file: Permission denied");
    SetFileAttributesA(path.string().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(TempDir::Read(path), kTricky);
    EXPECT_FALSE(fs::exists(path.string() + ".tmp"));
}

TEST(WindowsMeshLoader, LoadsOurMeshAndSaysWhyAMissingOrMalformedFileFails) {
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD count = 0;
    std::string error;
    const std::string box = (SourceDir() / "Data" / "model" / "box.x").string();
    ASSERT_EQ(LoadMeshFromX(box.c_str(), nullptr, &materials, &count, &mesh, &error), S_OK) << error;
    ASSERT_NE(mesh, nullptr);
    EXPECT_GT(mesh->GetNumFaces(), 0u);
    EXPECT_GT(count, 0u);
    SafeRelease(materials);
    SafeRelease(mesh);

    TempDir dir;
    const std::string missing = (dir.Path() / "none.x").string();
    EXPECT_TRUE(FAILED(LoadMeshFromX(missing.c_str(), nullptr, nullptr, nullptr, &mesh, &error)));
    EXPECT_EQ(mesh, nullptr);
    EXPECT_EQ(error, "cannot open file: " + SystemErrorText(ERROR_FILE_NOT_FOUND));

    const std::string broken = dir.Write("broken.x", "xof 0303txt 0032\nMesh {\n 3;\n 0.0; 0.0;").string();
    EXPECT_TRUE(FAILED(LoadMeshFromX(broken.c_str(), nullptr, nullptr, nullptr, &mesh, &error)));
    EXPECT_EQ(mesh, nullptr);
    EXPECT_EQ(error.rfind("not a mesh D3DX can read: ", 0), 0u) << error;

    // D3DX's narrow loader takes a UTF-8 name: the programs' code page is UTF-8.
    fs::copy_file(SourceDir() / "Data" / "model" / "box.x", dir.Path() / L"Kiste_箱.x");
    const std::string named = dir.Path().string() + "\\Kiste_箱.x";
    ASSERT_EQ(LoadMeshFromX(named.c_str(), nullptr, nullptr, nullptr, &mesh, &error), S_OK) << error;
    SafeRelease(mesh);
}
