// The temporary files a save writes beside its target before renaming them over it. Each save makes a
// file of its own, "<target's name>.<16 hex digits>.tmp", created new (an existing file or link of that
// name is never opened), so saves running at once never write into one file. Files of that form that a
// killed save left behind are removed by the next save of the same target.
#pragma once

#include <string>

// Creates a new temporary file beside `target` with the permissions `mode` (POSIX; the umask applies) and
// returns its descriptor, open for writing in binary mode; on POSIX the file stays locked while it is
// open, which marks it as in use. -1 when it cannot be made, with `error` the system's errno and
// `reason` its text.
int CreateTempFile(const std::string& target, int mode, std::string& temp, int& error, std::string& reason);

// Whether `name` (a file name without folder) is a temporary name of the file named `targetName`.
bool IsTempNameOf(const std::string& name, const std::string& targetName);

// Removes the temporary files of `target` that earlier saves left behind: only names of the exact form
// above, only regular files unchanged for a minute and held open by no running save.
void RemoveStaleTempFiles(const std::string& target);
