// The "Edit" menu beside "File": "Undo <what>" and "Redo <what>", greyed when there is nothing to take
// back or do again; and the keys Ctrl+Z (undo), Ctrl+Y and Ctrl+Shift+Z (redo) and Ctrl+S (save), with
// either Ctrl key.
#pragma once

class CEditor;

class CEditMenu {
public:
    explicit CEditMenu(CEditor& editor) : editor_(editor) {}

    // The menu itself; run inside the main window's menu bar.
    void ShowMenu();
    // The keys; they do nothing while a text field is being typed into.
    void HandleKeys();

private:
    CEditor& editor_;
};
