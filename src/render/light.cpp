#include "render/light.h"

namespace {
constexpr float kPi = 3.14159265f;
// (yaw, pitch) of each step; roll is 0. Each step turns the points as the previous one left them.
constexpr float kSteps[3][2] = {{kPi / 4.0f, kPi / 4.0f}, {kPi, kPi / 4.0f}, {0.0f, 0.0f}};
constexpr DWORD kFillSlot = 3;
}  // namespace

CLight::CLight() : from_{0.0f, 0.0f, -1.0f, 1.0f}, to_{0.5f, 0.0f, 0.0f, 1.0f} {}

void CLight::Init(IDirect3DDevice9* device) {
    device_ = device;
    for (int i = 0; i < 3; ++i) {
        lights_[i] = D3DLIGHT9{};
        D3DXMATRIX rotation;
        D3DXMatrixIdentity(&work_);
        D3DXMatrixRotationYawPitchRoll(&rotation, kSteps[i][0], kSteps[i][1], 0.0f);
        D3DXMatrixMultiply(&work_, &work_, &rotation);

        D3DXVECTOR3 from(from_.x, from_.y, from_.z), to(to_.x, to_.y, to_.z);
        D3DXVec3TransformCoord(&from, &from, &work_);
        D3DXVec3TransformCoord(&to, &to, &work_);
        from_ = {from.x, from.y, from.z, 1.0f};
        to_ = {to.x, to.y, to.z, 1.0f};

        D3DXVECTOR3 direction = to - from;
        D3DXVec3Normalize(&direction, &direction);
        lights_[i].Type = D3DLIGHT_DIRECTIONAL;
        lights_[i].Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
        lights_[i].Direction = direction;
    }
    Apply();
}

void CLight::Apply() const {
    if (!device_) return;
    for (DWORD i = 0; i < 3; ++i) {
        device_->SetLight(i, &lights_[i]);
        device_->LightEnable(i, TRUE);
    }
    if (fillOn_) {
        const D3DLIGHT9 fill = FillLight();
        device_->SetLight(kFillSlot, &fill);
        device_->LightEnable(kFillSlot, TRUE);
    }
}

D3DLIGHT9 CLight::FillLight() {
    D3DLIGHT9 fill{};
    fill.Type = D3DLIGHT_DIRECTIONAL;
    fill.Diffuse = {0.45f, 0.45f, 0.45f, 1.0f};
    // Towards the origin from where the camera starts, (0, 100, 300): the faces the view first sees.
    D3DXVECTOR3 direction(0.0f, -1.0f, -3.0f);
    D3DXVec3Normalize(&direction, &direction);
    fill.Direction = direction;
    return fill;
}

void CLight::SetFillLight(bool on) {
    if (on == fillOn_) return;
    fillOn_ = on;
    if (!device_) return;
    if (on) {
        const D3DLIGHT9 fill = FillLight();
        device_->SetLight(kFillSlot, &fill);
    }
    device_->LightEnable(kFillSlot, on ? TRUE : FALSE);
}
