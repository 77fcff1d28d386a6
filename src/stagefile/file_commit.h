// The last step of a save, in the system's own terms: putting the finished temporary file in the place of
// the old file in one step.
#pragma once

#include <string>

// Replaces `to` with `from` in one step that survives a crash (renamed, not copied). On failure `to` is as
// it was, `reason` is the system's, and `refused` says whether the folder refused the change (no right to
// write into it), where rewriting the file in place may still work.
bool MoveOver(const std::string& from, const std::string& to, std::string& reason, bool& refused);
