// The main window and the second window, the empty model catalog, and the catalog problems popup.
#include "editor_fixture.h"

namespace {

class MainWindowTest : public EditorTest {};

TEST_F(MainWindowTest, TheMainWindowStartsAtItsPlaceAndKeepsAMovedOne) {
    ImGuiWindow* main = GuiDriver::FindWindow(GuiDriver::kMain);
    ASSERT_NE(main, nullptr);
    EXPECT_FLOAT_EQ(main->Pos.x, 0.0f);
    EXPECT_FLOAT_EQ(main->Pos.y, 20.0f);
    EXPECT_FLOAT_EQ(main->Size.x, 400.0f);
    EXPECT_FLOAT_EQ(main->Size.y, 400.0f);
    ImGui::SetWindowPos(GuiDriver::kMain, ImVec2(100, 50));
    Gui().Idle(2);
    EXPECT_FLOAT_EQ(main->Pos.x, 100.0f);
    EXPECT_TRUE(Editor().CatalogProblems().empty());  // the sample catalogs are sound
}

TEST_F(MainWindowTest, TheStatusLineNamesThePointerSelectionSnapAndFile) {
    EXPECT_EQ(Editor().StatusLine(), "Pointer 0.00, 10.00, 0.00   Selected: none   Snap: off   File: stage.txt");
    Gui().Key(DIK_RETURN);  // creates an object at the pointer
    Editor().Document().Select(0);
    EXPECT_NE(Editor().StatusLine().find("Selected: TEST #0"), std::string::npos) << Editor().StatusLine();
    EXPECT_NE(Editor().StatusLine().find("File: *"), std::string::npos);
}

TEST_F(MainWindowTest, TheMouseOverTheMainWindowIsNoted) {
    Platform().SetCursor(200, 200);
    app_->Frames(1);
    EXPECT_TRUE(Editor().IsMouseOverWindow());
    Gui().Idle();
    EXPECT_FALSE(Editor().IsMouseOverWindow());
}

TEST_F(MainWindowTest, AnotherWindowOpensAndCloseMeClosesIt) {
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"Another Window"}));
    EXPECT_TRUE(Editor().showAnotherWindow);
    ASSERT_TRUE(Gui().Click("Another Window", {"Close Me"}));
    EXPECT_FALSE(Editor().showAnotherWindow);
    Gui().Idle();
    EXPECT_FALSE(GuiDriver::FindWindow("Another Window")->Active);
}

// Without a model catalog the combo says so and Enter creates nothing.
TEST_F(MainWindowTest, TheStageKeepsTheSelectedGroupWhenATagOperationChangesTheWorkingCopy) {
    CreateAt(1, 2, 3);
    Gui().Idle(1);
    EXPECT_TRUE(Editor().IsMirrored("TEST"));

    // Edited behind the list's back between frames: the next frame's mirroring carries it over.
    EditorGroup("TEST")[0].part.Pos.x = 42.0f;
    Gui().Idle(1);
    EXPECT_EQ(StageGroup("TEST")[0].part.Pos.x, 42.0f);

    ASSERT_TRUE(Editor().RenameSelectedTag("B"));
    EXPECT_FALSE(Editor().IsMirrored("B"));
    EXPECT_FALSE(Editor().IsMirrored("TEST"));
    Gui().Idle(1);
    ASSERT_EQ(StageGroup("B").size(), 1u);
    EXPECT_EQ(StageGroup("B")[0].part.Pos.x, 42.0f);
    EXPECT_TRUE(Editor().IsMirrored("B"));
}

class EmptyCatalogTest : public EditorTest {
protected:
    void PrepareData() override { WriteFile("model.json", "{\"MODEL\": []}"); }
};

TEST_F(EmptyCatalogTest, TheModelComboIsEmptyAndEnterCreatesNothing) {
    EXPECT_TRUE(Editor().GetCreationPanel()->ModelLabels().empty());
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"Model"}));
    Gui().Key(DIK_RETURN);
    Gui().Idle();
    EXPECT_TRUE(StageGroup("TEST").empty());
    EXPECT_EQ(Editor().GetCreationPanel()->Prototype().ModelLabel, "");
}

// A catalog entry that cannot be used is reported once the GUI is up.
class BrokenCatalogTest : public EditorTest {
protected:
    void PrepareData() override {
        WriteFile("model.json", R"({"MODEL": [["SPHERE", "Data/model/sphere.x"], ["ghost", "Data/model/none.x"]]})");
    }
};

TEST_F(BrokenCatalogTest, ProblemsAreShownInAPopup) {
    ASSERT_FALSE(Editor().CatalogProblems().empty());
    EXPECT_NE(Editor().CatalogProblems()[0].find("none.x"), std::string::npos) << Editor().CatalogProblems()[0];
    ImGuiWindow* popup = GuiDriver::FindWindow("Catalog problems");
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->Active);
    ASSERT_TRUE(Gui().Click("Catalog problems", {"Close"}));
    Gui().Idle();
    EXPECT_FALSE(popup->Active);
    EXPECT_EQ(Editor().GetCreationPanel()->ModelLabels(), std::vector<std::string>{"SPHERE"});
}

}  // namespace
