// The last two steps of a save, in the system's own terms: pushing the finished temporary file to the
// disk, and putting it in the place of the old file in one step.
#pragma once

#include <string>

// Pushes the data of the written and closed file at `path` to the disk; false with the system's reason.
bool SyncFile(const std::string& path, std::string& reason);

// Replaces `to` with `from` in one step that survives a crash (renamed, not copied). On failure `to` is as
// it was, `reason` is the system's, and `refused` says whether the folder refused the change (no right to
// write into it), where rewriting the file in place may still work.
bool MoveOver(const std::string& from, const std::string& to, std::string& reason, bool& refused);
