// The 3D pointer: the marker the user drives with the keyboard, where new objects appear.
#pragma once

#include <string>
#include <vector>

#include "input/input_focus.h"
#include "scene/object.h"

class CInputKeyboard;
class CModelManager;

class CPointer : public CObject {
public:
    // One model drawn at the pointer; mesh and buffer are borrowed from the model catalog.
    struct Model {
        ID3DXMesh* mesh = nullptr;
        ID3DXBuffer* materialBuffer = nullptr;
        int numMaterials = 0;
        D3DXVECTOR3 max{0.0f, 0.0f, 0.0f};
        D3DXVECTOR3 min{0.0f, 0.0f, 0.0f};
    };

    static constexpr float kLift = 1.5f;  // R and F, world units per frame
    static constexpr float kPreviewAlpha = 0.5f;  // the chosen model's opacity at the pointer

    // What the pointer draws with, takes its models from and is steered by; any may be null.
    struct Parts {
        IDirect3DDevice9* device = nullptr;
        CModelManager* models = nullptr;
        CInputKeyboard* keyboard = nullptr;
        const float* viewYaw = nullptr;  // the camera's yaw: W/A/S/D move relative to it
    };

    CPointer() : CObject(2) {}
    ~CPointer() override = default;

    // Links a new pointer into the object lists (which own it) at `pos` and initialises it.
    static CPointer* Create(D3DXVECTOR3 pos, const Parts& parts);
    static CPointer* Create(D3DXVECTOR3 pos) { return Create(pos, Parts{}); }
    // Who has the keyboard in each frame (the editor's decision, made after the pointer).
    void SetInputFocus(const InputFocus* focus) { focus_ = focus; }

    int Init() override;
    void Uninit() override { SetDeath(); }
    // Moves under W/A/S/D/R/F relative to the camera's yaw, then wraps the yaw once.
    void Update() override;
    // Every model, untextured, rotated then scaled then moved to the pointer.
    void Draw() override;
    void SetDeath() override { dead_ = true; }
    void Hide() override { visible_ = false; }
    void Show() override { visible_ = true; }
    void SetPos(D3DXVECTOR3 pos) override { pos_ = pos; }
    D3DXVECTOR3 GetPos() override { return pos_; }
    bool IsDeath() override { return dead_; }

    // The first call (from Init) sets the marker; each later one sets the preview of the model chosen for
    // new objects, replacing the one before. A label the catalog does not hold gives an entry without a
    // mesh, which is never drawn.
    void SetModel(const std::string& label);
    // Appends a model entry as it is.
    void AddModel(const Model& model) { models_.push_back(model); }
    D3DXVECTOR3& Rot() { return rot_; }
    D3DXVECTOR3& Scale() { return scale_; }
    const D3DXMATRIX& World() const { return world_; }
    const std::vector<Model>& Models() const { return models_; }
    bool IsVisible() const { return visible_; }

private:
    void Move();

    D3DXVECTOR3 pos_{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 rot_{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 scale_{1.0f, 1.0f, 1.0f};
    D3DXMATRIX world_{D3DMATRIX{}};
    std::vector<Model> models_;
    Parts parts_;
    const InputFocus* focus_ = nullptr;
    float moveSpeed_ = 1.0f;
    bool visible_ = true;
    bool dead_ = false;
};
