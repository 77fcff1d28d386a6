// Every key command of the editor in one table: the key, the modifiers it needs, the command and the
// menu item that shows it. The menus take their shortcut text from here, the key handling matches
// against it, and a test holds the README's key table to it. (Held keys that steer the camera and the
// 3D pointer are not commands and stay with them.)
#pragma once

#include <vector>

class CInputKeyboard;

enum class EditorCommand {
    Open,
    Save,
    SaveAs,
    Undo,
    Redo,
    Create,
    Delete,
    Copy,
    Paste,
    Duplicate,
    GoToSelection,
    GizmoMove,
    GizmoTurn,
    GizmoScale,
    FillMode,
    FrameSelection,
    StartView,
    DropToSurface,
    SelectAll,
    SelectNone,
    InvertSelection,
    HideSelection,
    ShowAllObjects,
};

enum class CtrlNeed { Any, Either, Left };  // Left: the left Ctrl key only
enum class ShiftNeed { Any, Without, With };

struct Shortcut {
    EditorCommand command;
    int key;  // a DIK_ code
    CtrlNeed ctrl;
    ShiftNeed shift;
    const char* keys;  // as the menus and the README write it
    const char* menu;  // the menu item that shows it, or nullptr
};

// The table; a command may have more than one shortcut (redo has two).
const std::vector<Shortcut>& Shortcuts();
// The first shortcut's text for a menu item ("Ctrl+S"), or nullptr when the command has none.
const char* ShortcutKeys(EditorCommand command);
// True when one of the command's shortcuts was pressed in this frame with the modifiers it needs.
bool ShortcutPressed(EditorCommand command, const CInputKeyboard& keyboard);
