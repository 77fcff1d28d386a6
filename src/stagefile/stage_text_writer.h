// The stage text writer: one tag line per group, six lines per placed object.
#pragma once

#include <ostream>

#include "scene/stage_types.h"
#include "stagefile/file_result.h"

// Writes every group in tag order. Floats are written in the shortest form that reads back as the same
// float. A tag or label holding a line break could not be read back, so it fails the write before
// anything is written. The result counts the groups and objects written.
FileResult WriteStageText(const StageGroups& groups, std::ostream& out);
