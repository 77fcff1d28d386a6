// The scene camera: orbits the 3D pointer; left-drag (with inertia), Q/E, the wheel and T/G steer it.
#pragma once

#include "d3d/d3dx9.h"
#include "input/input_focus.h"

class CInputKeyboard;
class CInputMouse;
class CPointer;

class CCamera {
public:
    // The turn speed left by the last mouse drag, in mouse units per frame. One value for the whole
    // process: it outlives any camera.
    struct Spin {
        float x = 0.0f;
        float y = 0.0f;
    };

    static constexpr float kTurnRate = 0.005f;     // radian per mouse unit, and per frame for Q and E
    static constexpr float kSpinDecay = 0.85f;     // per frame
    static constexpr float kWheelStep = 0.5f;      // per wheel unit, on the eye's y and z
    static constexpr float kKeyStepY = 4.0f;       // T and G, per frame
    static constexpr float kKeyStepZ = 12.0f;
    static constexpr float kFieldOfView = 0.7853982f;  // vertical, pi/4
    static constexpr float kAspect = 16.0f / 9.0f;
    static constexpr float kNear = 5.0f;
    static constexpr float kFar = 10000.0f;

    // The camera sets its transforms on `device` and is steered by `keyboard` and `mouse` (any may be null).
    int Init(IDirect3DDevice9* device, CInputKeyboard* keyboard, CInputMouse* mouse);
    // The orbit's centre, made after the camera; without one the camera orbits the origin.
    void SetPointer(CPointer* pointer) { pointer_ = pointer; }
    // Who has the mouse and the keyboard in each frame (the editor's decision); without it the camera has
    // them always.
    void SetInputFocus(const InputFocus* focus) { focus_ = focus; }
    // Once per frame before drawing: turns, zooms and moves the orbit to the pointer.
    void Update();
    // View and projection, set after drawing so the next frame uses them.
    void SetCamera();
    // The world point on the near plane under a client-area pixel, as of the last SetCamera.
    D3DXVECTOR3 Unproject(D3DXVECTOR3 point);

    static Spin GetSpin() { return spin_; }
    // True while the turn left by a drag still moves the view by a visible amount.
    static bool IsSpinning();
    // Stops any turn under way: a gizmo drag holds the view still, and tests start afresh.
    static void ResetSpin() { spin_ = Spin{}; }

    D3DXVECTOR3 posV{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 posR{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 vecU{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 rot{0.0f, 0.0f, 0.0f};  // x pitch, y yaw, z roll
    D3DXMATRIX mtxProjection{D3DMATRIX{}};
    D3DXMATRIX mtxView{D3DMATRIX{}};
    D3DXMATRIX mtxOrbit{D3DMATRIX{}};
    D3DXVECTOR3 worldEye{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 worldAt{0.0f, 0.0f, 0.0f};

private:
    IDirect3DDevice9* device_ = nullptr;
    CInputKeyboard* keyboard_ = nullptr;
    CInputMouse* mouse_ = nullptr;
    CPointer* pointer_ = nullptr;
    const InputFocus* focus_ = nullptr;

    static Spin spin_;
};
