#include "scene/pointer.h"

#include <cmath>

#include "input/input.h"
#include "resource/model_manager.h"

namespace {
constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kQuarterPi = 0.7853982f;
constexpr float kHalfPi = 1.5707964f;
constexpr float kThreeQuarterPi = 2.3561945f;
}  // namespace

CPointer* CPointer::Create(D3DXVECTOR3 pos, const Parts& parts) {
    CPointer* pointer = new CPointer();
    pointer->parts_ = parts;
    pointer->SetPos(pos);
    pointer->Init();
    return pointer;
}

int CPointer::Init() {
    SetModel("SPHERE");
    scale_ = D3DXVECTOR3(1.0f, 1.0f, 1.0f);
    return 0;
}

void CPointer::SetModel(const std::string& label) {
    Model model;
    if (CModelManager* models = parts_.models) {
        model.mesh = models->GetMesh(label);
        model.materialBuffer = models->GetMaterialBuffer(label);
        model.numMaterials = static_cast<int>(models->GetNumMaterials(label));
        model.max = models->GetMax(label);
        model.min = models->GetMin(label);
    }
    // The marker (the first model) stays; the model chosen for new objects replaces the one chosen before,
    // so the pointer previews what Enter would create and nothing else.
    if (models_.size() > 1) models_.resize(1);
    AddModel(model);
}

void CPointer::Update() {
    Move();
    if (rot_.y > kPi) {
        rot_.y -= kTwoPi;
    } else if (rot_.y < -kPi) {
        rot_.y += kTwoPi;
    }
}

void CPointer::Move() {
    CInputKeyboard* keyboard = parts_.keyboard;
    if (!keyboard) return;
    // Keys typed into a GUI text field belong to that field.
    if (focus_ && focus_->typing) return;
    // A key pressed with either Ctrl is an editing chord (Ctrl+S saves, Ctrl+D duplicates), not a move.
    if (keyboard->GetPress(DIK_LCONTROL) || keyboard->GetPress(DIK_RCONTROL)) return;

    const bool w = keyboard->GetPress(DIK_W), s = keyboard->GetPress(DIK_S);
    const bool a = keyboard->GetPress(DIK_A), d = keyboard->GetPress(DIK_D);

    // The first held combination wins: W over S, D over A; R and F only without W/A/S/D.
    float offset = 0.0f;
    float sign = 0.0f;
    if (w && d) {
        offset = kQuarterPi, sign = -1.0f;
    } else if (w && a) {
        offset = kThreeQuarterPi, sign = 1.0f;
    } else if (w) {
        offset = 0.0f, sign = -1.0f;
    } else if (s && d) {
        offset = kThreeQuarterPi, sign = -1.0f;
    } else if (s && a) {
        offset = kQuarterPi, sign = 1.0f;
    } else if (s) {
        offset = 0.0f, sign = 1.0f;
    } else if (d) {
        offset = kHalfPi, sign = -1.0f;
    } else if (a) {
        offset = kHalfPi, sign = 1.0f;
    } else if (keyboard->GetPress(DIK_R)) {
        pos_.y += kLift;
        return;
    } else if (keyboard->GetPress(DIK_F)) {
        pos_.y -= kLift;
        return;
    } else {
        return;
    }

    const float yaw = parts_.viewYaw ? *parts_.viewYaw : 0.0f;
    const float angle = yaw + offset;
    const float sine = static_cast<float>(std::sin(static_cast<double>(angle)));
    const float cosine = static_cast<float>(std::cos(static_cast<double>(angle)));
    pos_.x += sign * sine * moveSpeed_;
    pos_.z += sign * cosine * moveSpeed_;
}

void CPointer::Draw() {
    IDirect3DDevice9* device = parts_.device;
    if (!device) return;

    device->SetTexture(0, nullptr);

    // Rotation before scale: the pointer differs from a placed object here, alike for uniform scales.
    D3DXMATRIX rotation, scaling, translation;
    D3DXMatrixIdentity(&world_);
    D3DXMatrixRotationYawPitchRoll(&rotation, rot_.y, rot_.x, rot_.z);
    D3DXMatrixMultiply(&world_, &world_, &rotation);
    D3DXMatrixScaling(&scaling, scale_.x, scale_.y, scale_.z);
    D3DXMatrixMultiply(&world_, &world_, &scaling);
    D3DXMatrixTranslation(&translation, pos_.x, pos_.y, pos_.z);
    D3DXMatrixMultiply(&world_, &world_, &translation);

    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetTransform(D3DTS_WORLD, &world_);

    D3DMATERIAL9 saved{};
    device->GetMaterial(&saved);
    if (visible_) {
        for (std::size_t i = 0; i < models_.size(); ++i) {
            const Model& model = models_[i];
            // A label the catalog did not hold left nothing to draw.
            if (!model.mesh || !model.materialBuffer) continue;
            // The preview after the marker is see-through and leaves the depth alone, so it hides nothing
            // placed behind it.
            const bool preview = i > 0;
            if (preview) device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
            const auto* materials = static_cast<const D3DXMATERIAL*>(model.materialBuffer->GetBufferPointer());
            for (int m = 0; m < model.numMaterials; ++m) {
                D3DMATERIAL9 material = materials[m].MatD3D;
                if (preview) material.Diffuse.a *= kPreviewAlpha;
                device->SetMaterial(&material);
                model.mesh->DrawSubset(static_cast<DWORD>(m));
            }
            if (preview) device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        }
    }
    device->SetMaterial(&saved);
    device->SetTexture(0, nullptr);
}
