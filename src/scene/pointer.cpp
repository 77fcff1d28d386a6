#include "scene/pointer.h"

#include "app/manager.h"
#include "resource/model_manager.h"

CPointer* CPointer::Create(D3DXVECTOR3 pos) {
    CPointer* pointer = new CPointer();
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
    if (CModelManager* models = CManager::GetInstance()->GetModelManager()) {
        model.mesh = models->GetMesh(label);
        model.materialBuffer = models->GetMaterialBuffer(label);
        model.numMaterials = static_cast<int>(models->GetNumMaterials(label));
        model.max = models->GetMax(label);
        model.min = models->GetMin(label);
    }
    models_.push_back(model);
}

void CPointer::Update() {}
void CPointer::Draw() {}
