// Who the keyboard and the mouse belong to in this frame. The editor decides it once, right after the
// GUI's new frame; the camera, the 3D pointer, picking, the gizmo and the editing keys read the decision
// instead of asking the GUI library each on its own.
#pragma once

struct InputFocus {
    bool typing = false;           // a text field has the keyboard: keys act on that field only
    bool modalPopup = false;       // a modal popup (a dialog, a question, an error) has the user's attention
    bool mouseOverWindow = false;  // the GUI has the mouse (over or dragging a window, or a popup is open)
    bool gizmoHoldsMouse = false;  // a gizmo handle holds the left button from its press to its release
    bool selectingRect = false;    // the left button draws a selection rectangle (Shift is held)
};
