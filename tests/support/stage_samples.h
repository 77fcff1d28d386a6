// Sample stage data shared by the stage file tests.
#pragma once

#include <string>
#include <utility>

#include "stagefile/stage_types.h"

// The stage text of two "SPHERE" objects in the group "TEST", the second labelled, as the writer makes it.
inline const char* const kExampleStageText =
    "Tag : TEST\n"
    "Index : 0\n"
    "Pos : 0 , 10 , 0\n"
    "Rot : 0 , 1.5708 , 0\n"
    "Scale : 1 , 1 , 1\n"
    "ModelLabel : SPHERE\n"
    "ObjectLabel : \n"
    "Index : 1\n"
    "Pos : -20.5 , 0 , 3.25\n"
    "Rot : 0 , 0 , 0\n"
    "Scale : 2 , 2 , 2\n"
    "ModelLabel : SPHERE\n"
    "ObjectLabel : door1\n";

// A placed object without model data.
inline StageObject SampleObject(D3DXVECTOR3 pos, D3DXVECTOR3 rot, D3DXVECTOR3 scale, std::string model,
                                std::string label = "") {
    StageObject object;
    object.part.Pos = pos;
    object.part.Rot = rot;
    object.part.Scale = scale;
    object.part.ModelLabel = std::move(model);
    object.part.ObjectLabel = std::move(label);
    return object;
}
