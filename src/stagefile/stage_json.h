// The JSON export of a stage's tag groups, for the game.
#pragma once

#include <string>

#include "stagefile/stage_types.h"
#include "stagefile/file_result.h"

// Writes the groups to "Data/FILE/" + fileName; on failure the old file is left as it was.
FileResult SaveJson(const StageGroups* groups, const std::string& fileName);

// Writes the groups to the file at `path` (replacing it only when the whole export succeeded).
FileResult SaveJsonFile(const StageGroups& groups, const std::string& path);

// The export's text, ending in a newline: {"STAGE":[...]} with one element per group in tag order, or
// null when there are no groups. A tag or label that is not valid UTF-8 fails with the JSON library's
// message and leaves `text` as it was.
FileResult DumpStageJson(const StageGroups& groups, std::string& text);
