// Saving a file without ever destroying the last good one: the new bytes go to a temporary file of this
// save's own beside the target (temp_file.h), which is renamed over the target only when everything was
// written. A name that is a symbolic link saves into the file the link ends at; the replacement keeps
// that file's permissions and, where the system allows, its owner.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "stagefile/file_result.h"

// Replaces the file at `path` with what `write` puts into the stream. When `write` fails (its result is
// not ok), or the file cannot be created, written or renamed, the old file is left as it was, the
// temporary file is removed and the result says why. When the folder takes no new file but the file
// itself is writable, the file is rewritten in place instead (RewriteFileInPlace; the result's inPlace
// says so). When `modeOf` names a file, the new file takes its permissions (and owner where allowed),
// readable and writable by the owner: the recovery file of a private stage file is private too.
FileResult ReplaceFile(const std::string& path, const std::function<FileResult(std::ostream&)>& write,
                       const std::string& modeOf = {});

// Rewrites an existing file where it stands: the new bytes are made in memory, a copy of the old ones is
// kept on the disk (in_place_copy.h), the new bytes are written over the old ones and read back; when
// that fails, the old bytes are written back and the result says whether that worked and, if not, where
// the copy is. The copy is removed once the file holds whole contents again.
FileResult RewriteFileInPlace(const std::string& path, const std::function<FileResult(std::ostream&)>& write);

// A failure naming the copy of the old contents when a rewrite in place of `path` was cut short and the
// file holds neither its old nor its new contents; ok otherwise. Loading and saving refuse such a file.
FileResult CheckInterruptedRewrite(const std::string& path);
