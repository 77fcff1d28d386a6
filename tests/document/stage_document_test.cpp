// Every edit of the stage document without a GUI: done, undone and redone, with the two copies of the
// groups equal afterwards; refused edits change nothing and leave no step.
#include <gtest/gtest.h>

#include <cfloat>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <utility>

#include "document/edit_history.h"
#include "document/stage_document.h"

namespace {

// What an undo must bring back: both copies of every group, the tags and the selection.
struct State {
    std::map<std::string, std::vector<std::string>> stage, working;
    std::vector<std::string> tags;
    int tagIndex, selected;
    bool selectionValid;
    std::string file;
    bool operator==(const State&) const = default;
};

std::map<std::string, std::vector<std::string>> Describe(const StageGroups& groups) {
    std::map<std::string, std::vector<std::string>> out;
    for (const auto& [tag, group] : groups)
        for (const StageObject& o : group)  // empty groups come and go with look-ups: not part of the state
            out[tag].push_back(std::to_string(o.part.Pos.x) + "," + std::to_string(o.part.Rot.y) + "," +
                               std::to_string(o.part.Scale.x) + "," + o.part.ModelLabel + "," + o.part.ObjectLabel);
    return out;
}

State Now(CStageDocument& d) {
    return {Describe(std::as_const(d).Groups()), Describe(d.WorkingGroups()), d.Tags(), d.TagIndex(), d.GetSelectedIndex(),
            d.IsSelectionValid(), d.CurrentFile().Chosen()};
}

ObjectPart Part(float x, const char* model = "M") {
    ObjectPart part{};
    part.Pos = {x, 0, 0};
    part.Scale = {1, 1, 1};
    part.ModelLabel = model;
    return part;
}

// Two objects in "TEST", one in "B", both copies equal; object 1 of "TEST" selected and copied.
void Prepare(CStageDocument& d) {
    d.CreateObjectAt("TEST", Part(1));
    d.CreateObjectAt("TEST", Part(2, "N"));
    d.CreateObjectAt("B", Part(3));
    d.AddTag("B");
    d.Select(1);
    d.CopySelected("TEST");
    d.History().End();
}

// A stage file of one object in the group "A", removed at the end.
const std::string& StageFile() {
    static const struct File {
        std::string path = (std::filesystem::temp_directory_path() / "vellumar_document_test.txt").string();
        File() { std::ofstream(path) << "Tag : A\nIndex : 0\nPos : 5 , 0 , 0\nScale : 1 , 1 , 1\nModelLabel : M\n"; }
        ~File() { std::filesystem::remove(path); }
    } file;
    return file.path;
}

// The groups that drawing visits, against every group looked at.
void ExpectFilledGroups(CStageDocument& d) {
    std::vector<std::string> listed, filled;
    for (const StageGroups::value_type* entry : d.FilledGroups()) listed.push_back(entry->first);
    for (const auto& [tag, group] : std::as_const(d).Groups())
        if (!group.empty()) filled.push_back(tag);
    EXPECT_EQ(listed, filled);
}

struct Edit {
    const char* name;  // the step's name in the "Edit" menu
    std::function<bool(CStageDocument&)> run;
};

const Edit kEdits[] = {
    {"Create object", [](CStageDocument& d) { return d.CreateObjectAt("TEST", Part(5)); }},
    {"Delete object", [](CStageDocument& d) { return d.DeleteSelected("TEST"); }},
    {"Paste object", [](CStageDocument& d) { return d.Paste("B", {7, 0, 0}); }},
    {"Duplicate object", [](CStageDocument& d) { return d.DuplicateSelected("TEST"); }},
    {"Add scale to group", [](CStageDocument& d) { return d.AddGroupScale("TEST", 0.5f, 0, 0); }},
    {"Move object",
     [](CStageDocument& d) {
         d.BeginObjectEdit("Move object", "TEST", 1);
         d.SetPlacement("TEST", 1, {4, 0, 0}, {0, 1, 0}, {2, 2, 2});  // a drag: many frames, one step
         d.History().EndFrame();
         d.SetPlacement("TEST", 1, {6, 0, 0}, {0, 2, 0}, {3, 3, 3});
         d.EndObjectEdit();
         d.History().EndFrame();
         return true;
     }},
    {"Update Tag", [](CStageDocument& d) { return (d.SetObjectLabel("TEST", 0, "door"), true); }},
    {"Add tag", [](CStageDocument& d) { return (d.AddTag("HALL"), true); }},
    {"Rename tag", [](CStageDocument& d) { return d.RenameSelectedTag("HALL"); }},
    {"Copy group", [](CStageDocument& d) { return d.CopyTagGroup(0, 1).empty(); }},
    {"Delete tag", [](CStageDocument& d) { return d.DeleteTag("B"); }},
    {"Move to tag", [](CStageDocument& d) { return d.MoveObjectToTag("TEST", 0, "B"); }},
    {"LoadText", [](CStageDocument& d) { return d.LoadText(StageFile()).ok; }},
    {"Open",
     [](CStageDocument& d) {
         CCurrentFile file;
         file.Choose(StageFile());
         return d.OpenText(StageFile(), "Open", &file).ok;
     }},
};

}  // namespace

TEST(StageDocument, EveryEditIsUndoneAndRedoneInBothCopies) {
    for (const Edit& edit : kEdits) {
        SCOPED_TRACE(edit.name);
        CStageDocument d;
        Prepare(d);
        ExpectFilledGroups(d);
        const State before = Now(d);
        ASSERT_TRUE(edit.run(d));
        d.History().End();
        ExpectFilledGroups(d);
        const State after = Now(d);
        EXPECT_NE(before, after);
        EXPECT_EQ(after.stage, after.working);
        EXPECT_EQ(d.History().UndoName(), edit.name);
        ASSERT_TRUE(d.History().Undo());
        ExpectFilledGroups(d);
        EXPECT_EQ(Now(d), before);
        ASSERT_TRUE(d.History().Redo());
        ExpectFilledGroups(d);
        EXPECT_EQ(Now(d), after);
    }
}

TEST(StageDocument, RefusedEditsSayWhyAndChangeNothing) {
    CStageDocument d;
    Prepare(d);
    ASSERT_TRUE(d.AddGroupScale("B", FLT_MAX, 0, 0));
    d.History().End();
    const State before = Now(d);
    const std::size_t steps = d.History().UndoCount();
    std::string notice;
    EXPECT_FALSE(d.AddGroupScale("B", FLT_MAX, 0, 0, &notice));  // past the float range
    EXPECT_NE(notice.find("Not scaled"), std::string::npos);
    EXPECT_FALSE(d.RenameSelectedTag(""));
    EXPECT_FALSE(d.RenameSelectedTag("TEST"));
    EXPECT_EQ(d.CopyTagGroup(0, 0), "");  // onto itself: nothing to do
    d.ClearSelection();
    EXPECT_FALSE(d.DeleteSelected("TEST"));
    EXPECT_FALSE(d.DuplicateSelected("TEST"));
    d.Select(5);  // outside the group: nothing to copy, duplicate or go to
    EXPECT_FALSE(d.CopySelected("TEST"));
    EXPECT_FALSE(d.DuplicateSelected("TEST"));
    EXPECT_EQ(d.SelectedObject("TEST"), nullptr);
    EXPECT_FALSE(CStageDocument().Paste("TEST", {0, 0, 0}));  // nothing copied yet
    EXPECT_FALSE(d.LoadText(StageFile() + ".missing").ok);
    EXPECT_FALSE(d.OpenText(StageFile() + ".missing", "Open").ok);
    d.Select(1);
    EXPECT_EQ(Now(d), before);
    EXPECT_EQ(d.History().UndoCount(), steps);
}

TEST(StageDocument, TheFrameBringsTheSelectedGroupsTogether) {
    CStageDocument d;
    Prepare(d);
    d.WorkingGroups()["TEST"][0].part.Pos.x = 9;  // as a widget writing into the working copy would
    d.MirrorSelectedGroup();
    EXPECT_TRUE(d.IsMirrored("TEST"));
    EXPECT_EQ(d.Groups()["TEST"][0].part.Pos.x, 9.0f);
    // An empty working group takes the stage's; a filled one is taken by the stage.
    d.Groups()["X"].push_back(StageObject{});
    d.SettleGroup("X");
    EXPECT_EQ(d.WorkingGroups()["X"].size(), 1u);
    d.WorkingGroups()["B"].clear();
    d.WorkingGroups()["B"].push_back(StageObject{});
    d.WorkingGroups()["B"].push_back(StageObject{});
    d.SettleGroup("B");
    EXPECT_EQ(d.Groups()["B"].size(), 2u);
}
