// Windows-style file names on this machine: the show names files relative to the working
// directory with backslashes ("images\\load.bmp"). Stand-in internal.
#pragma once

#include <string>

// Maps '\\' to '/'; when the name does not exist as written, matches each path component
// case-insensitively against the directory's entries. Returns the mapped name either way
// (a missing file then fails where it is opened, with its own error).
std::string ResolvePath(const char* windowsName);
