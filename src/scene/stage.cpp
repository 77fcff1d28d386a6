#include "scene/stage.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "resource/model_manager.h"
#include "scene/object_world.h"
#include "scene/placeholder.h"
#include "scene/surface_drop.h"

namespace {

const char* const kStageFolder = "Data/FILE/";

// The material a selected object is drawn with: orange, glowing, untextured.
D3DMATERIAL9 Highlighted(D3DMATERIAL9 material) {
    material.Diffuse = {1.0f, 0.5f, 0.0f, 1.0f};
    material.Emissive = {1.0f, 0.5f, 0.0f, 0.7f};
    return material;
}

}  // namespace

CStage::CStage() : textureCache_(new CTextureCache()) {}

void CStage::Connect(IDirect3DDevice9* device, const CModelManager* models, CameraMatrices camera, CInputMouse* mouse) {
    if (device != device_) {
        // The cache makes its textures on the device the stage draws with.
        if (textureCache_) textureCache_->Uninit();
        delete textureCache_;
        textureCache_ = new CTextureCache(device);
    }
    device_ = device;
    models_ = models;
    camera_ = camera;
    mouse_ = mouse;
    index_.SetModels(models);
    if (models)
        document_.SetModelLookup([models](const std::string& label) { return models->Find(label); });
    else
        document_.SetModelLookup(nullptr);
}

CStage::~CStage() { Uninit(); }

void CStage::Uninit() {
    if (textureCache_) {
        textureCache_->Uninit();
        delete textureCache_;
        textureCache_ = nullptr;
    }
}

std::vector<std::string> CStage::TakeTextureProblems() {
    return textureCache_ ? textureCache_->TakeProblems() : std::vector<std::string>();
}

CViewFrustum CStage::ViewFrustum() const {
    // The transforms the device draws this frame with (set at the end of the frame before).
    CViewFrustum frustum;
    D3DXMATRIX view, projection;
    if (device_ && SUCCEEDED(device_->GetTransform(D3DTS_VIEW, &view)) &&
        SUCCEEDED(device_->GetTransform(D3DTS_PROJECTION, &projection)))
        frustum.Set(view, projection);
    return frustum;
}

const CStageIndex& CStage::Index() {
    index_.Update(document_);
    return index_;
}

void CStage::Draw(const std::string& tag) {
    // Drawing changes no group; the look-up makes an empty one for a new tag, which changes no object.
    document_.GroupsToEdit()[tag];
    const std::vector<StageObject>& group = std::as_const(document_).Groups().at(tag);
    reach_.clear();
    placeholders_.clear();
    index_.Update(document_);
    DrawGroup(tag, group, ViewFrustum());
}

void CStage::DrawGroup(const std::string& tag, const std::vector<StageObject>& group, const CViewFrustum& frustum) {
    if (!device_ || !models_) return;
    // What lies wholly outside the view would be clipped away whole: it is not sent at all. The index gives
    // the objects whose boxes the view may see, in the group's order, so the picture is drawn as before.
    const CGroupIndex* index = frustum.IsSet() ? index_.Group(tag) : nullptr;
    const std::vector<int>& selected = document_.Selection().Of(tag);
    const std::vector<int>& hidden = document_.HiddenObjects().Of(tag);
    auto draw = [&](std::size_t i) {
        if (hidden.empty() || !std::binary_search(hidden.begin(), hidden.end(), static_cast<int>(i)))
            DrawObject(tag, group, i, frustum, selected);
    };
    if (index && index->Size() == group.size()) {
        for (int i : index->InFrustum(frustum)) draw(static_cast<std::size_t>(i));
        return;
    }
    for (std::size_t i = 0; i < group.size(); ++i) draw(i);
}

void CStage::DrawObject(const std::string& tag, const std::vector<StageObject>& group, std::size_t i,
                        const CViewFrustum& frustum, const std::vector<int>& selected) {
    IDirect3DDevice9* device = device_;
    const ObjectPart& part = group[i].part;
    // An object whose model the catalog does not hold is drawn by the view as its placeholder's edges.
    const ModelData* model = models_->Get(group[i].model);
    if (!model) {
        const D3DXMATRIX world = PlaceholderWorld(part);
        if (std::all_of(&world._11, &world._11 + 16, [](float v) { return std::isfinite(v); }))
            placeholders_.push_back(world);
        return;
    }
    if (!model->mesh || (model->numMaterials > 0 && !model->materialBuffer)) return;
    // Its sphere is tested too: the box of a turned object may reach past it.
    if (frustum.IsSet()) {
        if (static_cast<std::size_t>(group[i].model) >= reach_.size()) reach_.resize(group[i].model + 1, -1.0f);
        float& reach = reach_[static_cast<std::size_t>(group[i].model)];
        if (reach < 0.0f) reach = CViewFrustum::Reach(*model);
        if (frustum.ObjectOutside(reach, part)) return;
    }

    device->SetTexture(0, nullptr);

    const D3DXMATRIX world = ObjectWorld(part);

    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetTransform(D3DTS_WORLD, &world);

    D3DMATERIAL9 saved{};
    device->GetMaterial(&saved);

    int count = static_cast<int>(model->numMaterials);
    const D3DXMATERIAL* materials = nullptr;
    if (model->materialBuffer) {
        materials = static_cast<const D3DXMATERIAL*>(model->materialBuffer->GetBufferPointer());
        int held = static_cast<int>(model->materialBuffer->GetBufferSize() / sizeof(D3DXMATERIAL));
        if (count > held) count = held;
    }
    const bool highlighted = (document_.IsSelectionValid() && document_.GetSelectedIndex() == static_cast<int>(i) &&
                              tag == document_.GetCurrentTag()) ||
                             std::binary_search(selected.begin(), selected.end(), static_cast<int>(i));
    for (int m = 0; m < count; ++m) {
        const D3DXMATERIAL& material = materials[m];
        if (highlighted) {
            // A copy is changed: the catalog's materials are shared by every object of the model.
            D3DMATERIAL9 highlight = Highlighted(material.MatD3D);
            device->SetMaterial(&highlight);
        } else {
            if (material.pTextureFilename) {
                IDirect3DTexture9* texture =
                    textureCache_ ? textureCache_->GetTexture(material.pTextureFilename) : nullptr;
                device->SetTexture(0, texture);
            }
            device->SetMaterial(&material.MatD3D);
        }
        model->mesh->DrawSubset(static_cast<DWORD>(m));
    }

    device->SetMaterial(&saved);
    device->SetTexture(0, nullptr);
}

void CStage::FindNewModels() {
    if (!models_) return;
    auto found = [this](const StageObject& object) {
        return object.model == kNoModel && models_->Find(object.part.ModelLabel) != kNoModel;
    };
    auto resolve = [&](StageGroups& groups) {
        for (auto& [tag, group] : groups)
            for (StageObject& object : group)
                if (found(object)) object.model = models_->Find(object.part.ModelLabel);
    };
    bool any = false;
    for (const auto& [tag, group] : std::as_const(document_).Groups())
        any = any || std::any_of(group.begin(), group.end(), found);
    if (any) resolve(document_.Groups());  // through the non-const look-up: the index measures again
    resolve(document_.WorkingGroups());
}

void CStage::DrawVisible() {
    // Empty groups cost no look-up: a stage of many tags draws in the time of its objects.
    const CViewFrustum frustum = ViewFrustum();
    reach_.clear();  // measured again each frame: the catalog may change between frames
    placeholders_.clear();
    index_.Update(document_);
    for (const StageGroups::value_type* entry : document_.FilledGroups())
        if (IsTagVisible(entry->first)) DrawGroup(entry->first, entry->second, frustum);
}

FileResult CStage::SaveText() { return SaveTextFile(std::string(kStageFolder) + "stage.txt"); }

FileResult CStage::SaveTextFile(const std::string& path) { return document_.SaveTextFile(path); }

FileResult CStage::LoadText(StageGroups* editorGroups, const std::string& fileName) {
    return LoadTextFile(editorGroups, kStageFolder + fileName);
}

FileResult CStage::LoadTextFile(StageGroups* editorGroups, const std::string& path) {
    return document_.ReadTextFile(path, false, editorGroups);
}

FileResult CStage::OpenTextFile(StageGroups* editorGroups, const std::string& path) {
    return document_.ReadTextFile(path, true, editorGroups);
}
