// The copy of a file's old contents that a rewrite in place keeps until it is done. A rewrite cut short
// (the program killed, the system down) can leave the file half old and half new; its copy is then still
// there, and the next load or save of the file finds it, refuses the file as possibly damaged and names
// the copy, which holds the old contents to put back.
//
// A copy is "<file name>.<16 hex digits>.<16 hex digits>.old": the first digits are a hash of the file's
// full path, the second a hash of the contents the rewrite writes. It is kept in the user's cache folder
// ($XDG_CACHE_HOME/vellumar/in-place, else ~/.cache/vellumar/in-place; %LOCALAPPDATA%\Vellumar\in-place on
// Windows), or in a folder of the system's temporary folder when that cannot be written.
#pragma once

#include <string>

// Keeps `old` as the copy for the file `target` (a full path) while `fresh` is written over it: written
// whole and pushed to the disk before this returns true with the copy's name in `copy`; false with the
// reason when no folder takes it.
bool KeepInPlaceCopy(const std::string& target, const std::string& old, const std::string& fresh, std::string& copy,
                     std::string& reason);

// The copy a rewrite of `target` left, or "" when there is none. `finished` says whether the file holds
// either whole contents, the old (the copy's) or the new (the rewrite's): then the copy is of no more use.
// `contents` are the file's bytes now.
std::string FindInPlaceCopy(const std::string& target, const std::string& contents, bool& finished);

// Whether a copy of `target` exists at all, without reading anything.
bool HasInPlaceCopy(const std::string& target);

// What a load or save of `target` reports while a rewrite's copy says the file may be damaged.
std::string InterruptedRewriteMessage(const std::string& copy);
