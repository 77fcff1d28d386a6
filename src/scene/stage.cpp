#include "scene/stage.h"

#include "app/manager.h"
#include "resource/model_manager.h"

CStage::CStage() : textureCache_(new CTextureCache()) {}

CStage::~CStage() { Uninit(); }

void CStage::Uninit() {
    if (textureCache_) {
        textureCache_->Uninit();
        delete textureCache_;
        textureCache_ = nullptr;
    }
}

void CStage::CreateObject(const ObjectPart& templ, const std::string& tag, const std::string& modelLabel) {
    StageObject object;
    if (CModelManager* models = CManager::GetInstance()->GetModelManager()) {
        object.mesh = models->GetMesh(modelLabel);
        object.materialBuffer = models->GetMaterialBuffer(modelLabel);
        object.numMaterials = static_cast<int>(models->GetNumMaterials(modelLabel));
        object.max = models->GetMax(modelLabel);
        object.min = models->GetMin(modelLabel);
    }
    object.part = templ;
    groups_[tag].push_back(object);
    currentTag_ = tag;
}

void CStage::DeleteObject(int index, const std::string& tag) {
    std::vector<StageObject>& group = groups_[tag];
    if (index < 0 || static_cast<std::size_t>(index) >= group.size()) return;
    group.erase(group.begin() + index);
}

void CStage::AddScale(const std::string& tag, float dx, float dy, float dz) {
    for (StageObject& object : groups_[tag]) {
        object.part.Scale.x += dx;
        object.part.Scale.y += dy;
        object.part.Scale.z += dz;
    }
}

void CStage::Draw(const std::string&) {}
FileResult CStage::SaveText() { return FileResult{false, "Data/FILE/stage.txt", 0, "not implemented"}; }

FileResult CStage::LoadText(StageGroups*, const std::string& fileName) {
    return FileResult{false, "Data/FILE/" + fileName, 0, "not implemented"};
}
