#include "editor/model_palette.h"

#include <imgui.h>

#include <algorithm>
#include <utility>

#include "editor/creation_panel.h"
#include "editor/editor.h"
#include "editor/outliner_rows.h"
#include "editor/window_layout.h"
#include "platform/platform.h"
#include "resource/model_manager.h"
#include "scene/pointer.h"
#include "scene/stage.h"

namespace {

constexpr const char* kDragPayload = "VELLUMAR_MODEL";

}  // namespace

void CModelPalette::SetSearch(const std::string& text) { SetSearchField(search_, text); }

std::vector<std::string> CModelPalette::Shown() const {
    std::vector<std::string> labels;
    if (const CModelManager* models = editor_.Parts().models)
        for (const auto& entry : models->GetModelMap())
            if (ContainsIgnoringCase(entry.first, search_.data())) labels.push_back(entry.first);
    return labels;
}

bool CModelPalette::Choose(const std::string& label) {
    const CModelManager* models = editor_.Parts().models;
    if (!models) return false;
    // The "Model" combo lists the catalog's labels in the same order.
    int index = 0;
    for (const auto& entry : models->GetModelMap()) {
        if (entry.first == label) {
            editor_.modelIndex = index;
            if (CPointer* pointer = editor_.Parts().pointer) pointer->SetModel(label);
            return true;
        }
        ++index;
    }
    return false;
}

std::optional<StageHit> CModelPalette::HitAt(float x, float y) const {
    CStage* stage = editor_.Parts().stage;
    if (!stage || !editor_.GetCreationPanel()) return std::nullopt;
    return stage->HitUnderCursor(D3DXVECTOR3(x, y, 0.0f), true);
}

bool CModelPalette::DropInView(const std::string& label, float x, float y) {
    const std::optional<StageHit> hit = HitAt(x, y);
    if (!hit || !Choose(label)) return false;
    // The pointer, and with it the camera, stays: the view does not jump with every object dropped.
    const std::string tag = editor_.SelectedTag();
    if (!editor_.GetCreationPanel()->CreateOnSurface(tag, hit->point, hit->normal)) return false;
    CStageDocument& document = editor_.Document();
    const StageGroups& groups = std::as_const(document).Groups();
    if (auto group = groups.find(tag); group != groups.end() && !group->second.empty())
        document.SelectObject(tag, static_cast<int>(group->second.size()) - 1, CStageDocument::Pick::Replace);
    return true;
}

std::optional<ObjectPart> CModelPalette::DropPreview() const {
    if (dragged_.empty() || !ImGui::GetCurrentContext() || !ImGui::IsMouseDown(0)) return std::nullopt;
    // Over a window nothing would be placed.
    if (ImGui::IsWindowHovered(ImGuiHoveredFlags_AnyWindow | ImGuiHoveredFlags_AllowWhenBlockedByActiveItem))
        return std::nullopt;
    const ImVec2 at = ImGui::GetIO().MousePos;
    const std::optional<StageHit> hit = HitAt(at.x, at.y);
    if (!hit) return std::nullopt;
    return editor_.GetCreationPanel()->PlannedOnSurface(dragged_, hit->point, hit->normal);
}

void CModelPalette::Show(bool* open) {
    PlaceNextWindow(kModelsPlace);
    const bool shown = ImGui::Begin(kWindow, open);
    FinishDrag();
    if (!shown) {
        ImGui::End();
        return;
    }
    // The pictures are drawn the first time the window shows, and again when a model or a texture changes.
    if (const CModelManager* models = editor_.Parts().models) {
        CStage* stage = editor_.Parts().stage;
        thumbnails_.Render(editor_.Parts().device, *models, stage ? stage->TextureCache() : nullptr);
    }
    ImGui::SetNextItemWidth(-1.0f);
    // Enter in the search field chooses the first model it shows: type a few letters, Enter, and place.
    if (ImGui::InputTextWithHint("##ModelSearch", "Search models", search_.data(), search_.size(),
                                 ImGuiInputTextFlags_EnterReturnsTrue))
        if (const std::vector<std::string> shown = Shown(); !shown.empty()) Choose(shown.front());

    const float size = static_cast<float>(CModelThumbnails::kSize);
    const ImGuiStyle& style = ImGui::GetStyle();
    const float tileWidth = size + style.FramePadding.x * 2.0f + style.ItemSpacing.x;
    const int columns = std::max(1, static_cast<int>(ImGui::GetContentRegionAvail().x / tileWidth));
    int column = 0;
    for (const std::string& label : Shown()) {
        if (column++ % columns != 0) ImGui::SameLine();
        ShowTile(label, size);
    }
    // What the catalog could not load, each named with its reason.
    if (const CModelManager* models = editor_.Parts().models) {
        int problem = 0;
        for (const std::string& reason : models->GetProblems()) {
            if (column++ % columns != 0) ImGui::SameLine();
            ImGui::PushID(problem++);
            ImGui::BeginGroup();
            ImGui::PushStyleColor(ImGuiCol_Button, ImVec4(0.55f, 0.12f, 0.12f, 1.0f));
            ImGui::Button("failed", ImVec2(size + style.FramePadding.x * 2.0f, size + style.FramePadding.y * 2.0f));
            ImGui::PopStyleColor();
            if (ImGui::IsItemHovered()) ImGui::SetTooltip("%s", reason.c_str());
            ImGui::TextUnformatted("(not loaded)");
            ImGui::EndGroup();
            ImGui::PopID();
        }
    }
    ImGui::End();
}

void CModelPalette::ShowTile(const std::string& label, float size) {
    ImGui::PushID(label.c_str());
    ImGui::BeginGroup();
    const std::vector<std::string>& catalog = editor_.GetCreationPanel()->ModelLabels();
    const bool chosen = editor_.modelIndex >= 0 && static_cast<std::size_t>(editor_.modelIndex) < catalog.size() &&
                        catalog[static_cast<std::size_t>(editor_.modelIndex)] == label;
    // The square is a button of its own name, so it is found the same way whether or not it has a picture.
    const ImVec2 pad = ImGui::GetStyle().FramePadding;
    const ImVec2 corner = ImGui::GetCursorScreenPos();
    const ImVec2 extent(size + pad.x * 2.0f, size + pad.y * 2.0f);
    if (ImGui::InvisibleButton("tile", extent)) Choose(label);
    const ImU32 frame = ImGui::GetColorU32(chosen                    ? ImVec4(0.2f, 0.7f, 0.35f, 1.0f)
                                           : ImGui::IsItemHovered() ? ImGui::GetStyleColorVec4(ImGuiCol_ButtonHovered)
                                                                    : ImGui::GetStyleColorVec4(ImGuiCol_Button));
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImVec2 opposite(corner.x + extent.x, corner.y + extent.y);
    draw->AddRectFilled(corner, opposite, frame);
    IDirect3DTexture9* picture = thumbnails_.Get(label);
    IPlatform* platform = editor_.Parts().platform;
    if (void* image = picture && platform ? platform->GuiTexture(picture) : nullptr)
        draw->AddImage(image, ImVec2(corner.x + pad.x, corner.y + pad.y), ImVec2(opposite.x - pad.x, opposite.y - pad.y));
    else
        draw->AddText(ImVec2(corner.x + pad.x, corner.y + pad.y), ImGui::GetColorU32(ImGuiCol_Text), "?");
    if (ImGui::IsItemHovered()) ShowTileTooltip(label);
    if (ImGui::BeginDragDropSource()) {
        dragged_ = label;
        ImGui::SetDragDropPayload(kDragPayload, label.c_str(), label.size() + 1);
        ImGui::Text("Drop into the view to place %s", label.c_str());
        ImGui::EndDragDropSource();
    }
    // The label under the picture, cut to its width.
    const std::string shown = ImGui::CalcTextSize(label.c_str()).x > size ? label.substr(0, 8) + "..." : label;
    ImGui::TextUnformatted(shown.c_str());
    ImGui::EndGroup();
    ImGui::PopID();
}

void CModelPalette::ShowTileTooltip(const std::string& label) const {
    const CModelManager* models = editor_.Parts().models;
    const ModelData* model = models ? models->Get(models->Find(label)) : nullptr;
    if (!model) {
        ImGui::SetTooltip("%s", label.c_str());
        return;
    }
    // Its size in world units at scale 1, from the catalog's bounds (whole units).
    ImGui::SetTooltip("%s\n%g x %g x %g units (width, height, depth)", label.c_str(), model->max.x - model->min.x,
                      model->max.y - model->min.y, model->max.z - model->min.z);
}

void CModelPalette::FinishDrag() {
    if (dragged_.empty() || ImGui::IsMouseDown(0)) return;
    const std::string label = std::exchange(dragged_, std::string());
    // Let go over a window: nothing is placed.
    if (ImGui::IsWindowHovered(ImGuiHoveredFlags_AnyWindow | ImGuiHoveredFlags_AllowWhenBlockedByActiveItem)) return;
    const ImVec2 at = ImGui::GetIO().MousePos;
    DropInView(label, at.x, at.y);
}
