// The selection of many objects: the set follows the groups' changes, the commands choose it, and every
// edit of a selection spanning two groups is one step that undo and redo take back with both copies equal.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "document/edit_history.h"
#include "document/stage_document.h"

namespace {

using Members = std::map<std::string, std::vector<int>>;

TEST(ObjectSelection, FollowsSplicesRenamesAndTruncation) {
    struct Case {
        const char* what;
        std::function<void(CObjectSelection&)> change;
        Members expected;
    };
    const Case cases[] = {
        {"removed before", [](CObjectSelection& s) { s.Splice("A", 0, 1, 0); }, {{"A", {1, 4, 6}}, {"B", {0}}}},
        {"removed member", [](CObjectSelection& s) { s.Splice("A", 2, 2, 0); }, {{"A", {3, 5}}, {"B", {0}}}},
        {"inserted", [](CObjectSelection& s) { s.Splice("A", 3, 0, 2); }, {{"A", {2, 7, 9}}, {"B", {0}}}},
        {"other group", [](CObjectSelection& s) { s.Splice("C", 0, 5, 0); }, {{"A", {2, 5, 7}}, {"B", {0}}}},
        {"last gone", [](CObjectSelection& s) { s.Splice("B", 0, 1, 3); }, {{"A", {2, 5, 7}}}},
        {"truncated", [](CObjectSelection& s) { s.Truncate("A", 6); }, {{"A", {2, 5}}, {"B", {0}}}},
        {"renamed", [](CObjectSelection& s) { s.RenameTag("A", "B"); }, {{"B", {2, 5, 7}}}},
        {"toggled", [](CObjectSelection& s) { s.Toggle("A", 5), s.Toggle("B", 3); }, {{"A", {2, 7}}, {"B", {0, 3}}}},
        {"merged", [](CObjectSelection& s) { s.AddMany("A", {9, 2, -1, 0}); }, {{"A", {0, 2, 5, 7, 9}}, {"B", {0}}}},
    };
    for (const Case& c : cases) {
        CObjectSelection set;
        set.AddMany("A", {7, 2, 5});
        set.Add("B", 0);
        c.change(set);
        EXPECT_EQ(set.Groups(), c.expected) << c.what;
    }
}

ObjectPart Part(float x, const char* model) {
    ObjectPart part{};
    part.Pos = {x, 0, 0};
    part.Scale = {1, 1, 1};
    part.ModelLabel = model;
    return part;
}

// Per group, "model@x" of each object.
std::map<std::string, std::vector<std::string>> Describe(const StageGroups& groups) {
    std::map<std::string, std::vector<std::string>> out;
    for (const auto& [tag, group] : groups)
        for (const StageObject& o : group) out[tag].push_back(o.part.ModelLabel + "@" + std::to_string(int(o.part.Pos.x)));
    return out;
}

struct State {
    std::map<std::string, std::vector<std::string>> stage;
    Members selected;
    int tagIndex, active;
    bool valid;
    bool operator==(const State&) const = default;
};

State Now(CStageDocument& d) {
    // Both copies must agree whatever was done.
    EXPECT_EQ(Describe(std::as_const(d).Groups()), Describe(d.WorkingGroups()));
    return {Describe(std::as_const(d).Groups()), d.Selection().Groups(), d.TagIndex(), d.GetSelectedIndex(),
            d.IsSelectionValid()};
}

// "A" holds crate@0, barrel@1, crate@2; "B" holds crate@10, lamp@11. A#0, A#2 and B#1 are selected, B#1
// active (picked last).
void Prepare(CStageDocument& d) {
    d.Tags() = {"A", "B", "C"};
    for (int i = 0; i < 3; ++i) d.CreateObjectAt("A", Part(float(i), i == 1 ? "barrel" : "crate"));
    d.CreateObjectAt("B", Part(10, "crate"));
    d.CreateObjectAt("B", Part(11, "lamp"));
    d.SelectObject("A", 0, CStageDocument::Pick::Replace);
    d.SelectObject("A", 2, CStageDocument::Pick::Add);
    d.SelectObject("B", 1, CStageDocument::Pick::Add);
    d.History().End();
}

TEST(SelectionEdits, EachIsOneStepUndoneAndRedoneInBothCopies) {
    struct Case {
        const char* what;
        std::function<bool(CStageDocument&)> edit;
        std::map<std::string, std::vector<std::string>> stage;
        Members selected;
    };
    const Case cases[] = {
        {"Delete objects", [](CStageDocument& d) { return d.DeleteSelection(); },
         {{"A", {"barrel@1"}}, {"B", {"crate@10"}}}, {}},
        {"Duplicate objects", [](CStageDocument& d) { return d.DuplicateSelection(); },
         {{"A", {"crate@0", "barrel@1", "crate@2", "crate@0", "crate@2"}}, {"B", {"crate@10", "lamp@11", "lamp@11"}}},
         {{"A", {3, 4}}, {"B", {2}}}},
        // The centre of the copied origins (0, 2, 11: 13/3) lands on 20.
        {"Paste objects", [](CStageDocument& d) { return d.CopySelection() && d.Paste("C", {20 + 13.0f / 3, 0, 0}); },
         {{"A", {"crate@0", "barrel@1", "crate@2"}}, {"B", {"crate@10", "lamp@11"}}, {"C", {"crate@20", "crate@22", "lamp@31"}}},
         {{"C", {0, 1, 2}}}},
        {"Move to tag", [](CStageDocument& d) { return d.MoveSelectionToTag("B"); },
         {{"A", {"barrel@1"}}, {"B", {"crate@10", "lamp@11", "crate@0", "crate@2"}}}, {{"B", {1, 2, 3}}}},
    };
    for (const Case& c : cases) {
        CStageDocument d;
        Prepare(d);
        const State before = Now(d);
        const std::size_t steps = d.History().UndoCount();
        ASSERT_TRUE(c.edit(d)) << c.what;
        d.History().End();
        const State after = Now(d);
        EXPECT_EQ(after.stage, c.stage) << c.what;
        EXPECT_EQ(after.selected, c.selected) << c.what;
        EXPECT_EQ(d.History().UndoCount(), steps + 1) << c.what;
        EXPECT_EQ(d.History().UndoName(), c.what);
        ASSERT_TRUE(d.History().Undo());
        EXPECT_EQ(Now(d), before) << c.what;
        ASSERT_TRUE(d.History().Redo());
        EXPECT_EQ(Now(d), after) << c.what;
    }
}

TEST(SelectionEdits, CommandsAndDeletionsKeepTheSetOnTheSameObjects) {
    CStageDocument d;
    Prepare(d);
    EXPECT_EQ(d.SelectedTag(), "B");  // the last pick's tag
    d.DeleteObject(1, "A");           // before A#2, which becomes A#1
    EXPECT_EQ(d.Selection().Groups(), (Members{{"A", {0, 1}}, {"B", {1}}}));

    d.SetTagLocked("B", true);  // a locked group is left out of the commands
    d.InvertSelection();
    EXPECT_EQ(d.Selection().Groups(), Members{});
    d.SelectAllVisible();
    EXPECT_EQ(d.Selection().Groups(), (Members{{"A", {0, 1}}}));
    d.SetTagLocked("B", false);
    d.SelectObject("B", 1, CStageDocument::Pick::Replace);
    d.SelectObject("A", 0, CStageDocument::Pick::Add);
    d.SelectSameModel();  // lamp and crate
    EXPECT_EQ(d.Selection().Groups(), (Members{{"A", {0, 1}}, {"B", {0, 1}}}));
    EXPECT_EQ(d.SelectedTag(), "A");
    EXPECT_EQ(d.GetSelectedIndex(), 0);  // still the active one

    d.SelectObject("A", 0, CStageDocument::Pick::Toggle);  // the active one leaves: another takes its place
    EXPECT_TRUE(d.IsSelectionValid());
    EXPECT_EQ(d.GetSelectedIndex(), 1);
    d.ClearSelection();
    EXPECT_TRUE(d.Selection().Empty());
    EXPECT_FALSE(d.DeleteSelection());
    EXPECT_FALSE(d.History().CanUndo() && d.History().UndoName() == "Delete objects");
}

TEST(SelectionEdits, HiddenObjectsAreViewStateThatFollowsTheGroups) {
    CStageDocument d;
    Prepare(d);
    const std::size_t steps = d.History().UndoCount();
    d.IsolateSelection();  // A#1 and B#0 hidden
    EXPECT_EQ(d.HiddenObjects().Groups(), (Members{{"A", {1}}, {"B", {0}}}));
    d.SelectObject("A", 0, CStageDocument::Pick::Replace);
    d.HideSelection();
    EXPECT_TRUE(d.Selection().Empty());
    EXPECT_EQ(d.History().UndoCount(), steps);  // not an edit
    d.SelectAllVisible();                        // only what shows: A#2 and B#1
    EXPECT_EQ(d.Selection().Groups(), (Members{{"A", {2}}, {"B", {1}}}));

    // Deleting A#2 and B#1, undone and redone: the hidden ones stay on their objects.
    ASSERT_TRUE(d.DeleteSelection());
    d.History().End();
    EXPECT_EQ(d.HiddenObjects().Groups(), (Members{{"A", {0, 1}}, {"B", {0}}}));
    ASSERT_TRUE(d.History().Undo());
    EXPECT_EQ(d.HiddenObjects().Groups(), (Members{{"A", {0, 1}}, {"B", {0}}}));
    d.DeleteObject(0, "A");
    EXPECT_EQ(d.HiddenObjects().Groups(), (Members{{"A", {0}}, {"B", {0}}}));
    d.ShowAllObjects();
    EXPECT_TRUE(d.HiddenObjects().Empty());
}

}  // namespace
