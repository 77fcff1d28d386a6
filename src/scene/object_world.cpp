#include "scene/object_world.h"

D3DXMATRIX ObjectWorld(const ObjectPart& part) {
    D3DXMATRIX world, scale, rotation, translation;
    D3DXMatrixIdentity(&world);
    D3DXMatrixScaling(&scale, part.Scale.x, part.Scale.y, part.Scale.z);
    D3DXMatrixMultiply(&world, &world, &scale);
    D3DXMatrixRotationYawPitchRoll(&rotation, part.Rot.y, part.Rot.x, part.Rot.z);
    D3DXMatrixMultiply(&world, &world, &rotation);
    D3DXMatrixTranslation(&translation, part.Pos.x, part.Pos.y, part.Pos.z);
    D3DXMatrixMultiply(&world, &world, &translation);
    return world;
}
