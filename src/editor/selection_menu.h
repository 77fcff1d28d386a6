// The "Select" menu: select all of the selected tag's group or of every visible group, select none,
// invert, select every object with a selected object's model, move the selection to another tag, and the
// gizmo's pivot and axes for a selection of many, hiding and isolating the selection and showing all; the
// keys Ctrl+A, Ctrl+Shift+A, Ctrl+I, Ctrl+H and Ctrl+Shift+H. And, in the view: the right button picks across every visible,
// unlocked group (Shift+right button adds or removes the object), and Shift with a left drag draws a
// selection rectangle.
#pragma once

#include "d3d/d3dx9.h"

class CEditor;

class CSelectionMenu {
public:
    explicit CSelectionMenu(CEditor& editor) : editor_(editor) {}

    // The menu itself; run inside the main window's menu bar.
    void ShowMenu();
    // The keys; they do nothing while a text field is being typed into or a modal popup is open.
    void HandleKeys();
    // Once a frame, unless a modal popup is open or the gizmo holds the mouse: picking with the right
    // button and the rectangle with Shift and the left button.
    void HandleView(bool pickingBlocked);
    // True while a rectangle is being drawn: the camera holds still.
    bool IsDrawingRect() const { return drawingRect_; }
    // Drops a rectangle being drawn, selecting nothing (a modal popup took the user's attention).
    void CancelRect() { drawingRect_ = false; }
    // The selection becomes the objects of every visible, unlocked group that show inside the rectangle
    // between the two client pixels; true when the rectangle had an area.
    bool SelectInRect(const D3DXVECTOR3& from, const D3DXVECTOR3& to);

private:
    CEditor& editor_;
    bool drawingRect_ = false;
    D3DXVECTOR3 rectStart_{0.0f, 0.0f, 0.0f};
};
