// Drag fields for three floats that never take a nan or an infinity (typed in, or dragged past the
// largest float): such a value cannot be drawn, picked or saved.
#pragma once

// ImGui::DragFloat3 with the format "%.3f" and no flags; a component that would become non-finite keeps
// its old value. True when a value changed.
bool DragFiniteFloat3(const char* label, float v[3], float speed, float min, float max);
