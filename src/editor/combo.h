// The combo box every list of names in the editor uses (tags, models).
#pragma once

#include <functional>
#include <string>
#include <vector>

// A combo labelled `label` over `items`, previewing items[*index]. Picking an entry sets *index and then
// runs `action` (when given). An index outside the list previews `emptyPreview` instead.
void ShowCombo(int* index, const std::vector<std::string>& items, std::string label,
               const std::function<void()>& action = {}, const char* emptyPreview = "");
