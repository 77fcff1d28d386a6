// The 3D pointer: the marker the user drives with the keyboard, where new objects appear.
#pragma once

#include <string>
#include <vector>

#include "scene/object.h"

class CPointer : public CObject {
public:
    struct Model {
        ID3DXMesh* mesh = nullptr;
        ID3DXBuffer* materialBuffer = nullptr;
        int numMaterials = 0;
        D3DXVECTOR3 max;
        D3DXVECTOR3 min;
    };

    CPointer() : CObject(2) {}
    ~CPointer() override = default;

    static CPointer* Create(D3DXVECTOR3 pos);

    int Init() override;
    void Uninit() override { SetDeath(); }
    void Update() override;
    void Draw() override;
    void SetDeath() override { dead_ = true; }
    void Hide() override { visible_ = false; }
    void Show() override { visible_ = true; }
    void SetPos(D3DXVECTOR3 pos) override { pos_ = pos; }
    D3DXVECTOR3 GetPos() override { return pos_; }
    bool IsDeath() override { return dead_; }

    void SetModel(const std::string& label);
    D3DXVECTOR3& Rot() { return rot_; }
    D3DXVECTOR3& Scale() { return scale_; }
    const std::vector<Model>& Models() const { return models_; }

private:
    D3DXVECTOR3 pos_;
    D3DXVECTOR3 rot_;
    D3DXVECTOR3 scale_{1.0f, 1.0f, 1.0f};
    D3DXMATRIX world_;
    std::vector<Model> models_;
    float moveSpeed_ = 1.0f;
    bool visible_ = true;
    bool dead_ = false;
};
