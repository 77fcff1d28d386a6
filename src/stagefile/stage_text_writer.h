// The stage text writer: one tag line per group, six lines per placed object.
#pragma once

#include <ostream>

#include "stagefile/stage_types.h"
#include "stagefile/file_result.h"

// Whether the groups can be written and read back as they are: no tag or label holds a line break, every
// number is finite, and the stage stays within what the reader accepts (kMaxStageRecords objects). The
// result names the first problem, or counts the groups and objects.
FileResult CheckStageText(const StageGroups& groups);

// Writes every group in tag order. Floats are written in the shortest form that reads back as the same
// float. Groups that CheckStageText refuses fail the write before anything is written. A failed stream
// gives the system's reason. The result counts the groups and objects written.
FileResult WriteStageText(const StageGroups& groups, std::ostream& out);
