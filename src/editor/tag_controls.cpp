#include "editor/tag_controls.h"

#include <imgui.h>
#include <imgui_internal.h>

#include "editor/combo.h"
#include "editor/editor.h"

void CTagControls::Show() {
    ImGui::InputText("##StageLabel", stageLabelBuffer_, sizeof(stageLabelBuffer_), 0);
    ImGui::SameLine();
    if (ImGui::Button("SetTag")) editor_.AddTag(stageLabelBuffer_);

    if (!editor_.tags.empty()) {
        ShowCombo(&editor_.tagIndex, editor_.tags, "StageTagList");
        ShowContextMenu();
    }
    if (changeMode_) ShowRenameField();
    ImGui::Separator();
    if (copyMode_) ShowCopyControls();
    if (!notice_.empty()) ImGui::TextWrapped("%s", notice_.c_str());
}

// "Change" and "Copy" on the tag combo (the last item drawn), once the combo has been right-clicked.
void CTagControls::ShowContextMenu() {
    if (ImGui::IsItemHovered() && ImGui::IsMouseClicked(1)) contextMenuArmed_ = true;
    if (!contextMenuArmed_ || !ImGui::BeginPopupContextItem()) return;
    if (ImGui::Selectable("Change", false, 0, ImVec2(0, 0)))
        changeMode_ = true;
    else if (ImGui::Selectable("Copy", false, 0, ImVec2(0, 0)))
        copyMode_ = true;
    ImGui::EndPopup();
}

void CTagControls::ShowRenameField() {
    // Enter renames when it was typed into this field or while no text field has the focus; Enter typed
    // into another field belongs to that field.
    bool fieldHadFocus = ImGui::GetActiveID() == ImGui::GetID("ChangeTag");
    ImGui::InputText("ChangeTag", changeTagBuffer_, sizeof(changeTagBuffer_), 0);
    bool enter = ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter)) ||
                 ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_KeyPadEnter));
    if (!enter || changeTagBuffer_[0] == '\0') return;
    if (editor_.IsTypingText() && !fieldHadFocus) return;
    editor_.RenameSelectedTag(changeTagBuffer_);
    changeMode_ = false;
}

void CTagControls::ShowCopyControls() {
    ShowCombo(&editor_.tagIndex, editor_.tags, "CopySource");
    ShowCombo(&copyTargetIndex_, editor_.tags, "CopyTarget");
    if (ImGui::Button("OK")) {
        notice_ = editor_.CopyTagGroup(editor_.tagIndex, copyTargetIndex_);
        copyTargetIndex_ = 0;
        copyMode_ = false;
    }
    ImGui::SameLine();
    if (ImGui::Button("NO")) {
        notice_.clear();
        copyTargetIndex_ = 0;
        copyMode_ = false;
    }
}
