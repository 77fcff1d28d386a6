// The dense stage several benchmarks share: a floor under 100,000 objects of the sample models on a grid
// six units apart, each turned and scaled a little differently, in one group.
#pragma once

#include "scene/stage.h"

inline constexpr int kDenseObjects = 100000;

// Adds the floor (unless `withFloor` is false) and `objects` objects to the tag's group of the stage.
inline void FillDenseStage(CStage& stage, const char* tag, int objects = kDenseObjects, bool withFloor = true) {
    const char* const models[] = {"SPHERE", "box", "cylinder", "cone", "crate", "house", "tree"};
    ObjectPart part{};
    if (withFloor) {
        part.Scale = D3DXVECTOR3(40, 1, 40);
        part.ModelLabel = "floor";
        stage.CreateObject(part, tag, part.ModelLabel);
    }
    const int side = 317;
    for (int i = 0; i < objects; ++i) {
        const int x = i % side - side / 2, z = i / side - side / 2;
        part.Pos = D3DXVECTOR3(x * 6.0f, 0.0f, z * 6.0f);
        part.Rot = D3DXVECTOR3(0.1f * (i % 7), 0.37f * (i % 17), 0.05f * (i % 5));
        const float s = 0.5f + 0.25f * static_cast<float>(i % 4);
        part.Scale = D3DXVECTOR3(s, s * 1.5f, s);
        part.ModelLabel = models[i % 7];
        stage.CreateObject(part, tag, part.ModelLabel);
    }
}
