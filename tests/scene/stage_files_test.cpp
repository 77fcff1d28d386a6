// The stage's text save and load through the data folder, with the editor's copy of the groups.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "app/manager.h"
#include "resource/model_manager.h"
#include "scene/stage.h"
#include "support/headless_editor.h"
#include "support/stage_samples.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const char* const kExample = kExampleStageText;

ObjectPart Part(float x, std::string model, std::string label = "") {
    ObjectPart part{};
    part.Pos = {x, 0, 0};
    part.Scale = {1, 1, 1};
    part.ModelLabel = std::move(model);
    part.ObjectLabel = std::move(label);
    return part;
}

std::vector<std::string> Tags(const StageGroups& groups) {
    std::vector<std::string> tags;
    for (const auto& [tag, objects] : groups) tags.push_back(tag + ":" + std::to_string(objects.size()));
    return tags;
}

}  // namespace

TEST(StageFiles, TheExampleLoadsWithItsModelsAndSavesByteForByte) {
    HeadlessEditor editor;  // the sample catalogs of the repository
    CModelManager* models = editor.Manager().GetModelManager();
    ASSERT_NE(models, nullptr);
    TempDir dir;
    dir.Write("Data/FILE/example.txt", kExample);
    ScopedWorkingDir cwd(dir.Path());

    CStage stage;
    stage.Connect(nullptr, models, {}, nullptr);
    StageGroups editorGroups;
    FileResult result = stage.LoadText(&editorGroups, "example.txt");
    ASSERT_TRUE(result.ok) << result.Describe();
    EXPECT_EQ(result.path, "Data/FILE/example.txt");
    EXPECT_EQ(result.groups, 1u);
    EXPECT_EQ(result.objects, 2u);
    EXPECT_EQ(stage.GetCurrentTag(), "TEST");
    const std::vector<StageObject>& group = stage.Groups()["TEST"];
    ASSERT_EQ(group.size(), 2u);
    EXPECT_EQ(group[1].part.Pos, D3DXVECTOR3(-20.5f, 0, 3.25f));
    EXPECT_EQ(group[1].part.ObjectLabel, "door1");
    EXPECT_NE(group[0].model, kNoModel);
    EXPECT_EQ(group[0].model, models->Find("SPHERE"));
    EXPECT_EQ(Tags(editorGroups), Tags(stage.Groups()));

    FileResult saved = stage.SaveText();
    ASSERT_TRUE(saved.ok) << saved.Describe();
    EXPECT_EQ(saved.path, "Data/FILE/stage.txt");
    EXPECT_EQ(TempDir::Read("Data/FILE/stage.txt"), kExample);
}

TEST(StageFiles, EveryGroupIsRecreatedUnderItsOwnTagAfterWhatTheStageHolds) {
    TempDir dir;
    dir.Write("Data/FILE/stage.txt",
              "Tag : zeta\nIndex : 0\nModelLabel : M\n"
              "Tag : empty\n"
              "Tag : alpha\nIndex : 1\nModelLabel : N\n");
    ScopedWorkingDir cwd(dir.Path());
    CStage stage;
    stage.CreateObject(Part(1, "OLD"), "alpha", "OLD");
    StageGroups editorGroups;
    editorGroups["editor only"];

    FileResult result = stage.LoadText(&editorGroups, "stage.txt");
    ASSERT_TRUE(result.ok) << result.Describe();
    EXPECT_EQ(result.groups, 3u);
    EXPECT_EQ(result.objects, 3u);
    EXPECT_EQ(Tags(stage.Groups()), (std::vector<std::string>{"alpha:3", "empty:0", "zeta:1"}));
    EXPECT_EQ(stage.Groups()["alpha"][0].part.ModelLabel, "OLD");
    EXPECT_EQ(stage.Groups()["alpha"][1].part.ModelLabel, "");  // index 0 was never filled
    EXPECT_EQ(stage.Groups()["alpha"][2].part.ModelLabel, "N");
    EXPECT_EQ(stage.GetCurrentTag(), "alpha");  // the last group of the file that made objects
    EXPECT_EQ(Tags(editorGroups), Tags(stage.Groups()));  // replaced whole, not merged
}

TEST(StageFiles, ABadFileChangesNeitherTheStageNorTheEditorsCopy) {
    TempDir dir;
    dir.Write("Data/FILE/bad.txt", "Tag : A\nIndex : 0\nModelLabel : M\nTag : B\nIndex : 0\nPos : 1 ,, 2\n");
    ScopedWorkingDir cwd(dir.Path());
    CStage stage;
    stage.CreateObject(Part(1, "M"), "TEST", "M");
    StageGroups editorGroups;
    editorGroups["mine"];

    FileResult result = stage.LoadText(&editorGroups, "bad.txt");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.Describe(), "Data/FILE/bad.txt:6: error: invalid stof argument: \"\"");
    EXPECT_EQ(Tags(stage.Groups()), std::vector<std::string>{"TEST:1"});
    EXPECT_EQ(stage.GetCurrentTag(), "TEST");
    EXPECT_EQ(Tags(editorGroups), std::vector<std::string>{"mine:0"});

    FileResult missing = stage.LoadText(&editorGroups, "missing.txt");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.Describe(), "Data/FILE/missing.txt: error: cannot open the file: No such file or directory");
    EXPECT_EQ(Tags(editorGroups), std::vector<std::string>{"mine:0"});
}

TEST(StageFiles, SaveThenLoadReproducesTheStage) {
    TempDir dir;
    fs::create_directories(dir.Path() / "Data/FILE");
    ScopedWorkingDir cwd(dir.Path());
    CStage stage;
    stage.CreateObject(Part(0.1f, "rock", "big  rock"), "outdoor area", "rock");
    stage.CreateObject(Part(-0.0f, "tree", ""), "outdoor area", "tree");
    stage.Groups()["waiting"];
    stage.AddScale("outdoor area", 1e-7f, 0, 0);
    ASSERT_TRUE(stage.SaveText().ok);

    CStage loaded;
    ASSERT_TRUE(loaded.LoadText(nullptr, "stage.txt").ok);
    EXPECT_EQ(Tags(loaded.Groups()), Tags(stage.Groups()));
    const auto& a = stage.Groups()["outdoor area"];
    const auto& b = loaded.Groups()["outdoor area"];
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(std::memcmp(&a[i].part.Pos, &b[i].part.Pos, sizeof(D3DXVECTOR3)), 0);
        EXPECT_EQ(std::memcmp(&a[i].part.Scale, &b[i].part.Scale, sizeof(D3DXVECTOR3)), 0);
        EXPECT_EQ(a[i].part.ObjectLabel, b[i].part.ObjectLabel);
    }
    std::string first = TempDir::Read("Data/FILE/stage.txt");
    ASSERT_TRUE(loaded.SaveText().ok);
    EXPECT_EQ(TempDir::Read("Data/FILE/stage.txt"), first);
}

TEST(StageFiles, AFailedSaveKeepsTheLastGoodFile) {
    TempDir dir;
    ScopedWorkingDir cwd(dir.Path());
    CStage stage;
    stage.CreateObject(Part(1, "M"), "TEST", "M");

    FileResult noFolder = stage.SaveText();
    EXPECT_FALSE(noFolder.ok);
    EXPECT_EQ(noFolder.path, "Data/FILE/stage.txt");

    dir.Write("Data/FILE/stage.txt", "last good\n");
    struct rlimit old;  // the disk takes no more than 4 bytes
    ::getrlimit(RLIMIT_FSIZE, &old);
    const struct rlimit small = {4, old.rlim_max};
    auto* handler = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_FALSE(stage.SaveText().ok);
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, handler);
    EXPECT_EQ(TempDir::Read("Data/FILE/stage.txt"), "last good\n");

    stage.Groups()["TEST"][0].part.ObjectLabel = "line\nbreak";  // cannot be written as one line
    FileResult refused = stage.SaveText();
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(TempDir::Read("Data/FILE/stage.txt"), "last good\n");
    EXPECT_EQ(std::distance(fs::directory_iterator("Data/FILE"), {}), 1);  // no temporary file is left
}
