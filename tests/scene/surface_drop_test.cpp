// Dropping an object onto what lies below it, with box-shaped models (no meshes).
#include <gtest/gtest.h>

#include "scene/object_world.h"
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

TEST(SurfaceDrop, AnObjectPlacedOnASurfacePointRestsWithItsBottomThere) {
    ObjectPart crate;
    crate.Scale = {1, 1, 1};
    const D3DXVECTOR3 lo(-1, -1, -1), hi(1, 1, 1);
    // Centred origin on a slab's top at y 2: the origin stands one unit above it.
    const D3DXVECTOR3 onSlab = RestingPosition(crate, lo, hi, {3, 2, 4});
    EXPECT_NEAR(onSlab.x, 3.0f, 1e-5f);
    EXPECT_NEAR(onSlab.y, 3.0f, 1e-5f);
    EXPECT_NEAR(onSlab.z, 4.0f, 1e-5f);
    // Turned 45 degrees about z and doubled: the corner reaches 2 sqrt(2) below the origin.
    crate.Rot = {0, 0, 0.7853982f};
    crate.Scale = {2, 2, 2};
    EXPECT_NEAR(RestingPosition(crate, lo, hi, {0, 0, 0}).y, 2.8284271f, 1e-4f);
    // A model whose origin is its bottom stands at the point itself.
    ObjectPart tree;
    tree.Scale = {1, 1, 1};
    EXPECT_NEAR(RestingPosition(tree, {-1, 0, -1}, {1, 9, 1}, {0, 5, 0}).y, 5.0f, 1e-5f);
}

TEST(SurfaceDrop, AlignedToASurfaceTheUpAxisFollowsItsNormalAndTheYawStays) {
    const D3DXVECTOR3 normals[] = {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}, {0.6f, 0.8f, 0.0f}, {-0.48f, 0.6f, 0.64f}};
    for (float yaw : {0.0f, 0.7f, -2.0f})
        for (const D3DXVECTOR3& n : normals) {
            ObjectPart part;
            part.Scale = {1, 1, 1};
            part.Rot = UpAlongNormal(n, yaw);
            EXPECT_FLOAT_EQ(part.Rot.y, yaw);
            const D3DXMATRIX world = ObjectWorld(part);
            // The up axis is the world matrix's second row.
            EXPECT_NEAR(world._21, n.x, 1e-4f) << yaw;
            EXPECT_NEAR(world._22, n.y, 1e-4f) << yaw;
            EXPECT_NEAR(world._23, n.z, 1e-4f) << yaw;
        }
}
