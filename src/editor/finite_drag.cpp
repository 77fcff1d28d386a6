#include "editor/finite_drag.h"

#include <imgui.h>

#include <cmath>

bool DragFiniteFloat3(const char* label, float v[3], float speed, float min, float max) {
    const float old[3] = {v[0], v[1], v[2]};
    if (!ImGui::DragFloat3(label, v, speed, min, max, "%.3f", 0)) return false;
    bool changed = false;
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(v[i])) v[i] = old[i];
        changed = changed || v[i] != old[i];
    }
    return changed;
}
