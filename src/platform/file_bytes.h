// Reads a whole file named the way the catalogs and meshes name files. A name written on Windows works
// too: when the name as given cannot be opened, `\` is taken as a folder separator.
#pragma once

#include <string>

// True with the file's bytes; false with a short reason ("cannot open file", ...).
bool ReadFileBytes(const char* fileName, std::string& bytes, std::string& error);
