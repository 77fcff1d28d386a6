// Where each of the editor's windows first stands on the 1280 x 720 view, and where "Reset layout" puts it
// back: the main window above the "Outliner" on the left, "Tags" above the "Inspector" on the right,
// "Models" along the bottom.
#pragma once

#include <imgui.h>

struct WindowPlace {
    float x, y, width, height;
};

inline constexpr WindowPlace kMainWindowPlace{0, 20, 400, 400};
inline constexpr WindowPlace kOutlinerPlace{0, 425, 400, 270};
inline constexpr WindowPlace kTagsPlace{940, 20, 330, 260};
inline constexpr WindowPlace kInspectorPlace{940, 285, 330, 250};
inline constexpr WindowPlace kModelsPlace{405, 545, 760, 150};

// The next window begun takes the place under `condition`: ImGuiCond_FirstUseEver leaves it where the
// settings file ("imgui.ini") remembers the user put it.
inline void PlaceNextWindow(const WindowPlace& place, ImGuiCond condition = ImGuiCond_FirstUseEver) {
    ImGui::SetNextWindowPos(ImVec2(place.x, place.y), condition);
    ImGui::SetNextWindowSize(ImVec2(place.width, place.height), condition);
}

// Puts the named window at its place now.
inline void PlaceWindow(const char* name, const WindowPlace& place) {
    ImGui::SetWindowPos(name, ImVec2(place.x, place.y));
    ImGui::SetWindowSize(name, ImVec2(place.width, place.height));
}
