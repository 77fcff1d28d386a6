// The scene camera: orbits the 3D pointer; left-drag (with inertia), Q/E, the wheel and T/G steer it.
#pragma once

#include "platform/d3dx9.h"

class CCamera {
public:
    int Init();
    void Update();
    // View and projection, set after drawing so the next frame uses them.
    void SetCamera();
    // The world point on the near plane under a client-area pixel.
    D3DXVECTOR3 Unproject(D3DXVECTOR3 point);

    D3DXVECTOR3 posV;
    D3DXVECTOR3 posR;
    D3DXVECTOR3 vecU;
    D3DXVECTOR3 rot;
    D3DXMATRIX mtxProjection;
    D3DXMATRIX mtxView;
    D3DXMATRIX mtxOrbit;
    D3DXVECTOR3 worldEye;
    D3DXVECTOR3 worldAt;
};
