#include "editor/shortcuts.h"

#include "d3d/dinput.h"
#include "input/input.h"

const std::vector<Shortcut>& Shortcuts() {
    using C = EditorCommand;
    static const std::vector<Shortcut> table = {
        {C::Open, DIK_O, CtrlNeed::Either, ShiftNeed::Without, "Ctrl+O", "Open..."},
        {C::Save, DIK_S, CtrlNeed::Either, ShiftNeed::Without, "Ctrl+S", "SaveText"},
        {C::SaveAs, DIK_S, CtrlNeed::Either, ShiftNeed::With, "Ctrl+Shift+S", "Save As..."},
        {C::Undo, DIK_Z, CtrlNeed::Either, ShiftNeed::Without, "Ctrl+Z", "Undo"},
        {C::Redo, DIK_Y, CtrlNeed::Either, ShiftNeed::Any, "Ctrl+Y", "Redo"},
        {C::Redo, DIK_Z, CtrlNeed::Either, ShiftNeed::With, "Ctrl+Shift+Z", nullptr},
        {C::Create, DIK_RETURN, CtrlNeed::Any, ShiftNeed::Any, "Enter", nullptr},
        {C::Delete, DIK_DELETE, CtrlNeed::Any, ShiftNeed::Any, "Delete", nullptr},
        {C::Copy, DIK_C, CtrlNeed::Left, ShiftNeed::Any, "Ctrl+C", nullptr},
        {C::Paste, DIK_V, CtrlNeed::Left, ShiftNeed::Any, "Ctrl+V", nullptr},
        {C::Duplicate, DIK_D, CtrlNeed::Left, ShiftNeed::Any, "Ctrl+D", nullptr},
        {C::GoToSelection, DIK_HOME, CtrlNeed::Any, ShiftNeed::Any, "Home", nullptr},
        {C::GizmoMove, DIK_1, CtrlNeed::Any, ShiftNeed::Any, "1", nullptr},
        {C::GizmoTurn, DIK_2, CtrlNeed::Any, ShiftNeed::Any, "2", nullptr},
        {C::GizmoScale, DIK_3, CtrlNeed::Any, ShiftNeed::Any, "3", nullptr},
        {C::FillMode, DIK_F2, CtrlNeed::Any, ShiftNeed::Any, "F2", nullptr},
        {C::FrameSelection, DIK_F, CtrlNeed::Either, ShiftNeed::Without, "Ctrl+F", "Frame selection"},
        {C::StartView, DIK_R, CtrlNeed::Either, ShiftNeed::Without, "Ctrl+R", "Start view"},
        {C::DropToSurface, DIK_END, CtrlNeed::Any, ShiftNeed::Any, "End", nullptr},
        {C::SelectAll, DIK_A, CtrlNeed::Either, ShiftNeed::Without, "Ctrl+A", "All in group"},
        {C::SelectNone, DIK_A, CtrlNeed::Either, ShiftNeed::With, "Ctrl+Shift+A", "None"},
        {C::InvertSelection, DIK_I, CtrlNeed::Either, ShiftNeed::Without, "Ctrl+I", "Invert"},
        {C::HideSelection, DIK_H, CtrlNeed::Either, ShiftNeed::Without, "Ctrl+H", "Hide selection"},
        {C::ShowAllObjects, DIK_H, CtrlNeed::Either, ShiftNeed::With, "Ctrl+Shift+H", "Show all"},
    };
    return table;
}

const char* ShortcutKeys(EditorCommand command) {
    for (const Shortcut& shortcut : Shortcuts())
        if (shortcut.command == command) return shortcut.keys;
    return nullptr;
}

namespace {

bool Matches(const Shortcut& shortcut, const CInputKeyboard& keyboard) {
    if (!keyboard.GetTrigger(shortcut.key)) return false;
    const bool left = keyboard.GetPress(DIK_LCONTROL);
    const bool ctrl = left || keyboard.GetPress(DIK_RCONTROL);
    const bool shift = keyboard.GetPress(DIK_LSHIFT) || keyboard.GetPress(DIK_RSHIFT);
    if (shortcut.ctrl == CtrlNeed::Either && !ctrl) return false;
    if (shortcut.ctrl == CtrlNeed::Left && !left) return false;
    if (shortcut.shift == ShiftNeed::Without && shift) return false;
    if (shortcut.shift == ShiftNeed::With && !shift) return false;
    return true;
}

}  // namespace

bool ShortcutPressed(EditorCommand command, const CInputKeyboard& keyboard) {
    for (const Shortcut& shortcut : Shortcuts())
        if (shortcut.command == command && Matches(shortcut, keyboard)) return true;
    return false;
}
