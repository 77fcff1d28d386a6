// The JSON export of a stage's tag groups, for the game.
#pragma once

#include <string>

#include "scene/stage_types.h"
#include "stagefile/file_result.h"

// Writes the groups to "Data/FILE/" + fileName; on failure the old file is left as it was.
FileResult SaveJson(const StageGroups* groups, const std::string& fileName);
