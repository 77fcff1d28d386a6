// Dropping an object onto what lies below it, with box-shaped models (no meshes).
#include <gtest/gtest.h>

#include "scene/surface_drop.h"

namespace {

StageObject Object(ModelHandle model, D3DXVECTOR3 pos, D3DXVECTOR3 rot = {0, 0, 0}) {
    StageObject object;
    object.model = model;
    object.part.Pos = pos;
    object.part.Rot = rot;
    object.part.Scale = {1, 1, 1};
    return object;
}

}  // namespace

TEST(SurfaceDrop, TheBottomOfTheBoxLandsOnTheHighestSurfaceBelow) {
    CModelManager models;
    const ModelHandle crate = models.AddModelData("crate", ModelData{nullptr, 0, nullptr, {1, 1, 1}, {-1, -1, -1}});
    const ModelHandle slab = models.AddModelData("slab", ModelData{nullptr, 0, nullptr, {5, 2, 5}, {-5, 0, -5}});
    StageGroups groups;
    groups["A"] = {Object(crate, {0, 10, 0}), Object(crate, {20, 10, 0}), Object(crate, {0, -10, 0}),
                   Object(crate, {4.5f, 10, 0}, {0, 0, 0.7853982f})};
    groups["B"] = {Object(slab, {0, 0, 0})};
    auto all = [](const std::string&) { return true; };

    // Centred origin: the crate's bottom (y 9) comes down onto the slab's top (y 2).
    EXPECT_NEAR(*DropDistance(groups, "A", 0, models, all), 7.0f, 1e-4f);
    // Beside the slab it lands on the ground.
    EXPECT_NEAR(*DropDistance(groups, "A", 1, models, all), 9.0f, 1e-4f);
    // Below the ground with nothing under it: it stays.
    EXPECT_FALSE(DropDistance(groups, "A", 2, models, all).has_value());
    // Turned 45 degrees: its box reaches sqrt(2) below its centre, and part of its footprint is over the slab.
    EXPECT_NEAR(*DropDistance(groups, "A", 3, models, all), 10.0f - 1.4142135f - 2.0f, 1e-3f);
    // A hidden group is passed through: the ground holds it.
    EXPECT_NEAR(*DropDistance(groups, "A", 0, models, [](const std::string& tag) { return tag != "B"; }), 9.0f, 1e-4f);
    EXPECT_FALSE(DropDistance(groups, "A", 9, models, all).has_value());
}
