// The stage document's records: the editable part of a placed object, a placed object, and the groups.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/d3dx9.h"

struct ObjectPart {
    D3DXVECTOR3 Pos;
    D3DXVECTOR3 Rot;    // radians: x pitch, y yaw, z roll
    D3DXVECTOR3 Scale;
    D3DXMATRIX World;   // copied along, never saved
    std::string ObjectLabel;
    std::string ModelLabel;
};

struct StageObject {
    ID3DXMesh* mesh = nullptr;              // borrowed from the model catalog
    ID3DXBuffer* materialBuffer = nullptr;  // borrowed from the model catalog
    int numMaterials = 0;
    D3DXVECTOR3 max;
    D3DXVECTOR3 min;
    ObjectPart part;
};

// Tag -> placed objects, in byte order of the tags. operator[] inserts an empty group for a new tag.
using StageGroups = std::map<std::string, std::vector<StageObject>>;
