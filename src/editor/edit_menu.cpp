#include "editor/edit_menu.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <string>

#include "document/edit_history.h"
#include "editor/editor.h"
#include "editor/shortcuts.h"
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
    if (ImGui::MenuItem(undo.c_str(), ShortcutKeys(EditorCommand::Undo), false, history.CanUndo()))
        history.Undo();
    else if (ImGui::MenuItem(redo.c_str(), ShortcutKeys(EditorCommand::Redo), false, history.CanRedo()))
        history.Redo();
    ImGui::EndMenu();
}

void CEditMenu::HandleKeys() {
    CInputKeyboard* keyboard = editor_.Parts().keyboard;
    // Keys typed into a text field belong to it; a modal popup has the user's attention.
    if (!keyboard || editor_.Focus().typing || editor_.Focus().modalPopup) return;
    CEditHistory& history = *editor_.GetHistory();
    if (ShortcutPressed(EditorCommand::Undo, *keyboard)) history.Undo();
    if (ShortcutPressed(EditorCommand::Redo, *keyboard)) history.Redo();
    if (ShortcutPressed(EditorCommand::Save, *keyboard)) editor_.GetFileMenu()->SaveText();
}
