#include "editor/edit_menu.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <string>

#include "app/manager.h"
#include "document/edit_history.h"
#include "editor/editor.h"
#include "editor/file_menu.h"
#include "input/input.h"

namespace {

std::string ItemText(const char* verb, const std::string& what) { return what.empty() ? verb : std::string(verb) + " " + what; }

}  // namespace

void CEditMenu::ShowMenu() {
    CEditHistory& history = *editor_.GetHistory();
    if (!ImGui::BeginMenu("Edit")) return;
    // The items' IDs stay the same whatever step they name.
    std::string undo = ItemText("Undo", history.UndoName()) + "###Undo";
    std::string redo = ItemText("Redo", history.RedoName()) + "###Redo";
    if (ImGui::MenuItem(undo.c_str(), "Ctrl+Z", false, history.CanUndo()))
        history.Undo();
    else if (ImGui::MenuItem(redo.c_str(), "Ctrl+Y", false, history.CanRedo()))
        history.Redo();
    ImGui::EndMenu();
}

void CEditMenu::HandleKeys() {
    CInputKeyboard* keyboard = CManager::GetInstance()->GetKeyboard();
    // Keys typed into a text field belong to it; a modal popup has the user's attention.
    if (!keyboard || editor_.IsTypingText() || ImGui::GetTopMostPopupModal()) return;
    bool ctrl = keyboard->GetPress(DIK_LCONTROL) || keyboard->GetPress(DIK_RCONTROL);
    if (!ctrl) return;
    bool shift = keyboard->GetPress(DIK_LSHIFT) || keyboard->GetPress(DIK_RSHIFT);
    CEditHistory& history = *editor_.GetHistory();
    if (keyboard->GetTrigger(DIK_Z)) {
        if (shift)
            history.Redo();
        else
            history.Undo();
    }
    if (keyboard->GetTrigger(DIK_Y)) history.Redo();
    if (!shift && keyboard->GetTrigger(DIK_S)) editor_.GetFileMenu()->SaveText();  // Ctrl+Shift+S saves as
}
