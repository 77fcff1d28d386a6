// The editing GUI: the main window with the file menu, tag controls, creation panel and object list.
#pragma once

#include <string>
#include <vector>

#include "scene/stage_types.h"

class CEditor {
public:
    int Init();
    void Uninit();
    // Begins the GUI frame and builds every editing window; returns the new "Another Window" flag.
    bool Update(bool showMain, bool showAnother);

    bool IsMouseOverWindow() const { return mouseOverWindow; }
    // True while a GUI text field has the keyboard focus: keys then act on that field only, not on the
    // editing, camera, pointer or fill-mode keys.
    bool IsTypingText() const;

    StageGroups groups;
    std::vector<std::string> tags;
    int tagIndex = 0;
    int modelIndex = 0;
    bool mouseOverWindow = false;
    bool showMainWindow = true;
    bool showAnotherWindow = false;
};
