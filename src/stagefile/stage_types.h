// The records the stage files hold and the stage document edits: the editable part of a placed object,
// a placed object, and the groups.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "d3d/d3dx9.h"

struct ObjectPart {
    // Explicit zeros: the vector and matrix types of the Windows SDK leave their members uninitialised.
    D3DXVECTOR3 Pos{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 Rot{0.0f, 0.0f, 0.0f};  // radians: x pitch, y yaw, z roll
    D3DXVECTOR3 Scale{0.0f, 0.0f, 0.0f};
    D3DXMATRIX World{D3DMATRIX{}};  // copied along, never saved
    std::string ObjectLabel;
    std::string ModelLabel;
};

// A model of the model catalog, by its place there; the catalog gives its mesh, materials and bounds
// (CModelManager::Get). kNoModel: the catalog does not hold the model label.
using ModelHandle = int;
constexpr ModelHandle kNoModel = -1;

struct StageObject {
    ModelHandle model = kNoModel;  // the catalog's model of the label it was created with
    ObjectPart part;
};

// Tag -> placed objects, in byte order of the tags. operator[] inserts an empty group for a new tag.
using StageGroups = std::map<std::string, std::vector<StageObject>>;
