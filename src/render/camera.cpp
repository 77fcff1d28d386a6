#include "render/camera.h"

int CCamera::Init() {
    posV = D3DXVECTOR3(0.0f, 100.0f, 300.0f);
    posR = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    vecU = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    rot = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    return 0;
}

void CCamera::Update() {}
void CCamera::SetCamera() {}
D3DXVECTOR3 CCamera::Unproject(D3DXVECTOR3) { return D3DXVECTOR3(); }
