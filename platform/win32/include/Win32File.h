// Opening files by the system's own names: backslash-separated paths,
// relative to the working directory. Every file the engine and the game
// open goes through here.
#pragma once

#include <cstdio>
#include <string>

std::string Win32_MapFileName(const char* name);          // "kMedia\\a.x" -> "kMedia/a.x"; "" for NULL
// fopen of the mapped name, matching each part of the path without regard to
// case as Windows does; NULL on failure (errno from fopen). The caller closes it.
FILE* Win32_OpenFile(const char* name, const char* mode);
// Renames the file from over the file to (both system names, resolved as
// above), replacing to in one step; false on failure, when neither changes.
bool Win32_ReplaceFile(const char* from, const char* to);
// Deletes the file; false when it cannot be deleted.
bool Win32_DeleteFile(const char* name);
