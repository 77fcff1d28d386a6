// The "File" menu driven through the menu bar: load merges tags, the JSON export writes the editor's
// groups, every outcome is shown, and a malformed file opens the error popup and changes nothing.
#include "editor_fixture.h"

#include <nlohmann/json.hpp>

namespace {

using Tags = std::vector<std::string>;

class FileMenuTest : public EditorTest {
protected:
    void Command(const std::string& item) {
        ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"##menubar", "File"}));
        ASSERT_TRUE(Gui().Click(GuiDriver::kMenu, {item}));
    }
    const std::string& Status() { return Editor().GetFileMenu()->Status(); }
    bool ErrorPopupOpen() { return GuiDriver::FindWindow(CFileMenu::kErrorPopup) && ImGui::GetCurrentContext()->OpenPopupStack.Size > 0; }

    static constexpr const char* kTwoGroups =
        "Tag : A\n"
        "Index : 0\n"
        "Pos : 1 , 2 , 3\n"
        "Rot : 0 , 0 , 0\n"
        "Scale : 1 , 1 , 1\n"
        "ModelLabel : SPHERE\n"
        "ObjectLabel : door1\n"
        "Tag : B\n"
        "Index : 0\n"
        "Pos : 4 , 5 , 6\n"
        "Rot : 0 , 0 , 0\n"
        "Scale : 1 , 1 , 1\n"
        "ModelLabel : SPHERE\n"
        "ObjectLabel : \n";
};

TEST_F(FileMenuTest, LoadTextMergesTheTagsAndSelectsTheLast) {
    WriteFile("stage.txt", kTwoGroups);
    Command("LoadText");
    EXPECT_EQ(Editor().tags, (Tags{"TEST", "A", "B"}));
    EXPECT_EQ(Editor().tagIndex, 2);
    EXPECT_EQ(EditorGroup("A").size(), 1u);
    EXPECT_EQ(StageGroup("B").size(), 1u);
    EXPECT_NE(Status().find("Loaded 2 objects"), std::string::npos) << Status();
    EXPECT_NE(Status().find("stage.txt"), std::string::npos) << Status();
    // The object list shows the selected (last) tag's group.
    EXPECT_TRUE(Gui().Locate(GuiDriver::kObjectList, {"Item 1"}));
    EXPECT_FALSE(Gui().Locate(GuiDriver::kObjectList, {"door1"}));

    // A second load adds the objects again but no tag name.
    Command("LoadText");
    EXPECT_EQ(Editor().tags, (Tags{"TEST", "A", "B"}));
    EXPECT_EQ(Editor().tagIndex, 2);
    EXPECT_EQ(StageGroup("A").size(), 2u);
}

TEST_F(FileMenuTest, SaveTextThenLoadTextRestoresTheStage) {
    CreateAt(1, 2, 3);
    Command("SaveText");
    EXPECT_NE(Status().find("Saved 1 object"), std::string::npos) << Status();
    std::string text = TempDir::Read(FilePath("stage.txt"));
    EXPECT_NE(text.find("Pos : 1 , 2 , 3\n"), std::string::npos) << text;
    Command("LoadText");
    EXPECT_EQ(StageGroup("TEST").size(), 2u);
    EXPECT_EQ(Editor().tags, (Tags{"TEST"}));
}

TEST_F(FileMenuTest, SaveJsonWritesTheEditorsGroups) {
    CreateAt(1, 0, 0);
    // A group that only the working copy holds is exported too.
    Editor().groups["ONLY_EDITOR"] = EditorGroup("TEST");
    Command("SaveJson");
    EXPECT_NE(Status().find("Exported 2 objects"), std::string::npos) << Status();
    nlohmann::json doc = nlohmann::json::parse(TempDir::Read(FilePath("stage.json")));
    ASSERT_EQ(doc["STAGE"].size(), 2u);
    EXPECT_EQ(doc["STAGE"][0]["Level"], "ONLY_EDITOR");
    EXPECT_EQ(doc["STAGE"][1]["Level"], "TEST");
    EXPECT_EQ(doc["STAGE"][1]["Object"][0]["Pos"]["X"], 1.0);
    EXPECT_EQ(Stage().Groups().count("ONLY_EDITOR"), 0u);
}

TEST_F(FileMenuTest, AMalformedFileOpensTheErrorPopupAndChangesNothing) {
    CreateAt(1, 0, 0);
    WriteFile("stage.txt",
              "Tag : NEW\n"
              "Index : 0\n"
              "Pos : 1 , , 3\n");
    Command("LoadText");
    // Over unsaved changes "Discard" reloads the file, which fails as the load would.
    ASSERT_TRUE(Gui().Click("Unsaved changes", {"Discard"}));
    Gui().Idle();
    ASSERT_TRUE(ErrorPopupOpen());
    const FileResult& error = Editor().GetFileMenu()->Error();
    EXPECT_FALSE(error.ok);
    EXPECT_EQ(error.line, 3);
    EXPECT_NE(error.path.find("stage.txt"), std::string::npos);
    EXPECT_FALSE(error.message.empty());
    EXPECT_NE(Status().find(":3:"), std::string::npos) << Status();
    EXPECT_EQ(Editor().tags, (Tags{"TEST"}));
    EXPECT_EQ(Editor().tagIndex, 0);
    EXPECT_EQ(StageGroup("TEST").size(), 1u);
    EXPECT_EQ(Stage().Groups().count("NEW"), 0u);
    EXPECT_EQ(Editor().groups.count("NEW"), 0u);

    ASSERT_TRUE(Gui().Click(CFileMenu::kErrorPopup, {"Close"}));
    EXPECT_FALSE(ErrorPopupOpen());
    EXPECT_FALSE(Editor().GetFileMenu()->HasError());
}

TEST_F(FileMenuTest, AMissingFileIsReported) {
    Command("LoadText");
    EXPECT_TRUE(ErrorPopupOpen());
    EXPECT_NE(Editor().GetFileMenu()->Error().path.find("stage.txt"), std::string::npos);
    EXPECT_EQ(Editor().tags, (Tags{"TEST"}));
}

TEST_F(FileMenuTest, TheSampleStageLoads) {
    std::filesystem::copy_file(SourceDir() / "Data/FILE/stage.txt", FilePath("stage.txt"));
    Command("LoadText");
    ASSERT_TRUE(Editor().GetFileMenu()->Error().ok) << Editor().GetFileMenu()->Error().Describe();
    std::size_t objects = 0;
    for (const auto& [tag, group] : Stage().Groups())
        for (const StageObject& object : group) {
            ++objects;
            EXPECT_NE(object.model, kNoModel) << tag << " " << object.part.ModelLabel;
        }
    EXPECT_GE(objects, 8u);
    EXPECT_FALSE(StageGroup("TEST").empty());
}

}  // namespace
