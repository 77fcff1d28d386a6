// The outliner: its rows under a search and folding, and the window in the headless editor.
#include "document/edit_history.h"
#include "editor/outliner.h"
#include "editor_fixture.h"

namespace {

ObjectPart Part(const char* model, const char* label = "") {
    ObjectPart part{};
    part.Scale = {1, 1, 1};
    part.ModelLabel = model;
    part.ObjectLabel = label;
    return part;
}

std::vector<std::string> Names(const std::vector<OutlinerRow>& rows, const StageGroups& groups) {
    std::vector<std::string> names;
    for (const OutlinerRow& row : rows)
        names.push_back(row.object < 0 ? "[" + row.tag + "]"
                                       : ObjectRowName(groups.at(row.tag)[static_cast<std::size_t>(row.object)].part,
                                                       row.object));
    return names;
}

}  // namespace

TEST(OutlinerRows, SearchMatchesLabelModelOrTagInAnyCaseAndFoldingHidesObjects) {
    StageGroups groups;
    groups["A"] = {StageObject{kNoModel, Part("TREE", "tree_057")}, StageObject{kNoModel, Part("CRATE")}};
    groups["Boxes"] = {StageObject{kNoModel, Part("BOX")}};
    const std::vector<std::string> tags = {"A", "Boxes", "A"};
    using Rows = std::vector<std::string>;
    struct Case {
        const char* search;
        std::set<std::string> folded;
        Rows rows;
    } cases[] = {
        {"", {}, {"[A]", "tree_057", "CRATE #1", "[Boxes]", "BOX #0"}},
        {"Tree_0", {}, {"[A]", "tree_057"}},     // a label, in another letter case
        {"crate", {}, {"[A]", "CRATE #1"}},      // a model
        {"boxes", {}, {"[Boxes]", "BOX #0"}},    // a tag takes all its objects
        {"zzz", {}, {}},                         // nothing matches: no rows at all
        {"", {"A"}, {"[A]", "[Boxes]", "BOX #0"}},
        {"tree", {"A"}, {"[A]", "tree_057"}},    // a search shows folded tags' matches
    };
    COutlinerRows rows;
    std::uint64_t version = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.search);
        EXPECT_EQ(Names(rows.Get(tags, groups, 0, ++version, c.search, c.folded), groups), c.rows);
    }
    EXPECT_EQ(rows.Find("A", 0), 1);
    EXPECT_EQ(rows.Find("Boxes", 0), -1);
}

class OutlinerTest : public EditorTest {
protected:
    COutliner& Outliner() { return *Editor().GetOutliner(); }
    void Fill() {
        for (const char* label : {"gate", "crate_a", "crate_b", "well"}) Stage().CreateObject(Part("BOX", label), "TEST", "BOX");
        Editor().RefreshGroup("TEST");
        app_->Frames(2);
    }
};

TEST_F(OutlinerTest, TypingInTheSearchFieldNarrowsTheRows) {
    Fill();
    EXPECT_EQ(Outliner().Rows().size(), 5u);
    ASSERT_TRUE(Gui().Click(COutliner::kWindow, {"##Search"}));
    Gui().Type("CRATE");
    EXPECT_STREQ(Outliner().Search(), "CRATE");
    EXPECT_EQ(Outliner().Rows().size(), 3u);  // the tag and its two crates
}

TEST_F(OutlinerTest, ASelectionMadeInTheViewIsRevealedAndARowClickSelects) {
    Fill();
    Stage().Select(3);  // as picking selects
    app_->Frames(2);
    EXPECT_EQ(Outliner().RevealedRow(), 4);
    ASSERT_TRUE(Outliner().SelectRow(Outliner().Rows()[2]));
    EXPECT_EQ(Stage().GetSelectedIndex(), 1);
    // A new tag, made and selected in one step, and its row revealed.
    ASSERT_TRUE(Outliner().AddAndSelectTag("HALL"));
    EXPECT_EQ(Editor().SelectedTag(), "HALL");
    app_->Frames(1);
    EXPECT_EQ(Outliner().RevealedRow(), 5);
}

TEST_F(OutlinerTest, ARowOfSeveralSelectedDroppedOnATagTakesTheSelectionAndOneUndoPutsItBack) {
    Fill();
    Editor().AddTag("HALL");
    CStageDocument& document = Editor().Document();
    document.SelectObject("TEST", 1, CStageDocument::Pick::Replace);
    document.SelectObject("TEST", 2, CStageDocument::Pick::Add);
    ASSERT_TRUE(Outliner().DropOnTag("TEST", 2, "HALL"));
    EXPECT_EQ(StageGroup("HALL").size(), 2u);
    EXPECT_EQ(StageGroup("TEST").size(), 2u);
    // Alone (not one of several selected), a row moves just its object.
    document.ClearSelection();
    ASSERT_TRUE(Outliner().DropOnTag("TEST", 0, "HALL"));
    EXPECT_EQ(StageGroup("HALL").size(), 3u);
    ASSERT_TRUE(Editor().GetHistory()->Undo());
    ASSERT_TRUE(Editor().GetHistory()->Undo());
    EXPECT_EQ(StageGroup("TEST").size(), 4u);
    EXPECT_TRUE(StageGroup("HALL").empty());
}

TEST_F(OutlinerTest, ARowsMenuSelectsItAndDeletesIt) {
    Fill();
    // Row 2 of the rows: the second object, "crate_a" (row 0 is the tag).
    ASSERT_TRUE(Gui().Click("Outliner/OutlinerRows_", {2, "crate_a"}, 1));
    EXPECT_TRUE(Editor().Document().IsSelected("TEST", 1));
    ASSERT_TRUE(Gui().Click("##Popup_", {"Delete"}));
    ASSERT_EQ(StageGroup("TEST").size(), 3u);
    EXPECT_EQ(StageGroup("TEST")[1].part.ObjectLabel, "crate_b");
}
