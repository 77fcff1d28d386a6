// Assets changed on disk while the editor runs: reloaded in place, never an edit of the stage.
#include <string>

#include "document/edit_history.h"
#include "editor_fixture.h"
#include "resource/model_manager.h"

namespace {

// A one-triangle mesh reaching `size` along x and y.
std::string TriangleX(const std::string& size) {
    return "xof 0303txt 0032\nMesh Tri {\n  3;\n  0.0;0.0;0.0;,\n  " + size + ";0.0;0.0;,\n  0.0;" + size +
           ";0.0;;\n  1;\n  3;0,1,2;;\n}\n";
}

class AssetReloadTest : public EditorTest {
protected:
    void PrepareData() override {
        WriteFile("tri.x", TriangleX("1.0"));
        WriteFile("model.json", R"({"MODEL": [["SPHERE", "Data/model/sphere.x"], ["TRI", "Data/FILE/tri.x"]]})");
    }
    // Long enough for the watcher to see the change and for the file to be quiet.
    void LetSettle() { Gui().Idle(40); }
    const CModelManager& Models() { return *app_->Manager().GetModelManager(); }
    // The objects of "TEST" whose indexed box reaches up to height y.
    std::vector<int> ReachingUpTo(float y) {
        const CGroupIndex* index = Stage().Index().Group("TEST");
        return index ? index->Overlapping(BoundsBox{D3DXVECTOR3(-1, y, -1), D3DXVECTOR3(1, y + 0.1f, 1)})
                     : std::vector<int>();
    }
};

TEST_F(AssetReloadTest, AChangedMeshIsShownAtOnceWithoutTouchingTheStageOrTheHistory) {
    ObjectPart part{};
    part.Scale = D3DXVECTOR3(1, 1, 1);
    part.ModelLabel = "TRI";
    Stage().CreateObject(part, "TEST", "TRI");
    part.ModelLabel = "LATER";  // not in the catalog yet: a placeholder
    Stage().CreateObject(part, "TEST", "LATER");
    Editor().RefreshGroup("TEST");
    Gui().Idle();
    const std::vector<StageObject> before = StageGroup("TEST");
    const std::size_t steps = Editor().GetHistory()->UndoCount();
    const bool modified = Editor().GetHistory()->IsModified();
    EXPECT_TRUE(ReachingUpTo(5).empty());

    WriteFile("tri.x", TriangleX("5.0"));
    LetSettle();
    EXPECT_EQ(Models().GetMax("TRI").y, 5.0f);
    EXPECT_EQ(ReachingUpTo(5), std::vector<int>{0});  // bounds, picking and the index follow
    ASSERT_EQ(StageGroup("TEST").size(), before.size());
    EXPECT_EQ(StageGroup("TEST")[0].model, before[0].model);
    EXPECT_EQ(Editor().GetHistory()->UndoCount(), steps);
    EXPECT_EQ(Editor().GetHistory()->IsModified(), modified);

    // A mesh that no longer loads keeps the old one and says why.
    WriteFile("tri.x", "xof 0303txt 0032\nMesh Tri {\n  3;\n");
    LetSettle();
    EXPECT_EQ(Models().GetMax("TRI").y, 5.0f);
    ASSERT_FALSE(Editor().CatalogProblems().empty());
    EXPECT_NE(Editor().CatalogProblems().back().find("tri.x"), std::string::npos) << Editor().CatalogProblems().back();

    // A new catalog entry is offered for creation, and the placeholder of its label becomes the model.
    WriteFile("model.json",
              R"({"MODEL": [["SPHERE", "Data/model/sphere.x"], ["TRI", "Data/FILE/tri.x"], ["LATER", "Data/model/box.x"]]})");
    LetSettle();
    const std::vector<std::string>& labels = Editor().GetCreationPanel()->ModelLabels();
    EXPECT_NE(std::find(labels.begin(), labels.end(), "LATER"), labels.end());
    EXPECT_EQ(StageGroup("TEST")[1].model, Models().Find("LATER"));
    EXPECT_EQ(Editor().GetHistory()->UndoCount(), steps);
}

}  // namespace
