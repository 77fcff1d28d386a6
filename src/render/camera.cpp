#include "render/camera.h"

#include <cmath>

#include "input/input.h"
#include "scene/picking.h"
#include "scene/pointer.h"

CCamera::Spin CCamera::spin_;

bool CCamera::IsSpinning() {
    // Below this the turn still to come (spin * kTurnRate / (1 - kSpinDecay)) is under a tenth of a pixel.
    constexpr float kStill = 0.002f;
    return std::fabs(spin_.x) >= kStill || std::fabs(spin_.y) >= kStill;
}

namespace {
constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;
}  // namespace

int CCamera::Init(IDirect3DDevice9* device, CInputKeyboard* keyboard, CInputMouse* mouse) {
    device_ = device;
    keyboard_ = keyboard;
    mouse_ = mouse;
    posV = D3DXVECTOR3(0.0f, 100.0f, 300.0f);
    posR = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    vecU = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    rot = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    return 0;
}

void CCamera::Update() {
    const InputFocus focus = focus_ ? *focus_ : InputFocus{};
    const bool overGui = focus.mouseOverWindow;
    // Keys typed into a GUI text field belong to that field.
    const bool typing = focus.typing;
    // The left button belongs to a gizmo handle from its press to its release: the view holds still.
    const bool gizmoHeld = focus.gizmoHoldsMouse;
    if (gizmoHeld) ResetSpin();

    if (CInputMouse* mouse = mouse_) {
        const DIMOUSESTATE2& move = mouse->GetMove();
        if (mouse->GetPress(0) && !overGui && !gizmoHeld && !focus.selectingRect) {
            spin_.x = static_cast<float>(move.lX);
            spin_.y = static_cast<float>(move.lY);
        }
        if (!overGui) {
            // Wheel forward brings the eye down and towards the look-at point.
            const float wheel = static_cast<float>(move.lZ);
            posV.y -= wheel * kWheelStep;
            posV.z -= wheel * kWheelStep;
        }
    }

    // While the button is held the spin is this frame's movement; after release it dies away.
    rot.y += spin_.x * kTurnRate;
    rot.x += spin_.y * kTurnRate;
    spin_.x *= kSpinDecay;
    spin_.y *= kSpinDecay;

    CInputKeyboard* keyboard = keyboard_;
    if (keyboard && !typing) {
        if (keyboard->GetPress(DIK_Q)) rot.y -= kTurnRate;
        if (keyboard->GetPress(DIK_E)) rot.y += kTurnRate;
        if (keyboard->GetPress(DIK_T)) {
            posV.y -= kKeyStepY;
            posV.z -= kKeyStepZ;
        }
        if (keyboard->GetPress(DIK_G)) {
            posV.y += kKeyStepY;
            posV.z += kKeyStepZ;
        }
    }

    D3DXVECTOR3 target(0.0f, 0.0f, 0.0f);
    if (CPointer* pointer = pointer_) target = pointer->GetPos();

    D3DXMATRIX rotation, translation;
    D3DXMatrixIdentity(&mtxOrbit);
    D3DXMatrixRotationYawPitchRoll(&rotation, rot.y, rot.x, rot.z);
    D3DXMatrixMultiply(&mtxOrbit, &mtxOrbit, &rotation);
    D3DXMatrixTranslation(&translation, target.x, target.y, target.z);
    D3DXMatrixMultiply(&mtxOrbit, &mtxOrbit, &translation);

    if (device_) device_->SetTransform(D3DTS_WORLD, &mtxOrbit);

    D3DXVec3TransformCoord(&worldEye, &posV, &mtxOrbit);
    D3DXVec3TransformCoord(&worldAt, &posR, &mtxOrbit);

    // The wrap comes after the matrix, so this frame may have turned by a yaw just outside [-pi, pi].
    if (rot.y > kPi) {
        rot.y -= kTwoPi;
    } else if (rot.y < -kPi) {
        rot.y += kTwoPi;
    }
}

void CCamera::SetCamera() {
    D3DXMatrixLookAtLH(&mtxView, &worldEye, &worldAt, &vecU);
    if (device_) device_->SetTransform(D3DTS_VIEW, &mtxView);
    D3DXMatrixPerspectiveFovLH(&mtxProjection, kFieldOfView, kAspect, kNear, kFar);
    if (device_) device_->SetTransform(D3DTS_PROJECTION, &mtxProjection);
}

D3DXVECTOR3 CCamera::Unproject(D3DXVECTOR3 point) {
    D3DVIEWPORT9 viewport{};
    if (device_) device_->GetViewport(&viewport);
    return UnprojectNearPlane(point.x, point.y, viewport, mtxProjection, mtxView);
}
