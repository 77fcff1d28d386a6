// The stage's editing operations on its groups.
#include <gtest/gtest.h>

#include "scene/stage.h"

namespace {

ObjectPart Part(D3DXVECTOR3 scale, std::string model = "M") {
    ObjectPart part{};
    part.Scale = scale;
    part.ModelLabel = std::move(model);
    return part;
}

}  // namespace

TEST(StageObjects, CreateAppendsToTheTagsGroupAndMakesItCurrent) {
    CStage stage;
    stage.CreateObject(Part({1, 1, 1}), "A", "M");
    stage.CreateObject(Part({2, 2, 2}, "NONE"), "B", "NONE");
    stage.CreateObject(Part({3, 3, 3}), "A", "M");
    EXPECT_EQ(stage.GetCurrentTag(), "A");
    ASSERT_EQ(stage.Groups()["A"].size(), 2u);
    EXPECT_EQ(stage.Groups()["A"][1].part.Scale, D3DXVECTOR3(3, 3, 3));
    const StageObject& unknown = stage.Groups()["B"][0];  // no catalog holds it: no model, kept
    EXPECT_EQ(unknown.model, kNoModel);
    EXPECT_EQ(unknown.part.ModelLabel, "NONE");
}

TEST(StageObjects, DeleteOutsideTheGroupChangesNothing) {
    CStage stage;
    for (float s : {1.0f, 2.0f, 3.0f}) stage.CreateObject(Part({s, s, s}), "A", "M");
    stage.DeleteObject(3, "A");
    stage.DeleteObject(-1, "A");
    EXPECT_EQ(stage.Groups()["A"].size(), 3u);
    stage.DeleteObject(1, "A");
    ASSERT_EQ(stage.Groups()["A"].size(), 2u);
    EXPECT_EQ(stage.Groups()["A"][1].part.Scale, D3DXVECTOR3(3, 3, 3));
    stage.DeleteObject(0, "other");
    EXPECT_EQ(stage.Groups().count("other"), 1u);
}

TEST(StageObjects, AddScaleTouchesOnlyItsGroup) {
    CStage stage;
    stage.CreateObject(Part({1, 1, 1}), "A", "M");
    stage.CreateObject(Part({0.5f, 2, 0}), "A", "M");
    stage.CreateObject(Part({1, 1, 1}), "B", "M");
    stage.AddScale("A", 1, 1, 1);
    EXPECT_EQ(stage.Groups()["A"][0].part.Scale, D3DXVECTOR3(2, 2, 2));
    EXPECT_EQ(stage.Groups()["A"][1].part.Scale, D3DXVECTOR3(1.5f, 3, 1));
    EXPECT_EQ(stage.Groups()["B"][0].part.Scale, D3DXVECTOR3(1, 1, 1));
}

TEST(StageObjects, LookUpsInsertGroupsThatIterateInByteOrder) {
    CStage stage;
    EXPECT_TRUE(stage.CopyGroup("Test").empty());
    stage.CopyGroup("TEST");
    stage.CopyGroup("A");
    std::vector<std::string> tags;
    for (const auto& [tag, objects] : stage.Groups()) tags.push_back(tag);
    EXPECT_EQ(tags, (std::vector<std::string>{"A", "TEST", "Test"}));
}
