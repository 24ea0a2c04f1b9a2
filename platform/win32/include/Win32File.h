// Opening files by the system's own names: backslash-separated paths,
// relative to the working directory. Every file the engine and the game
// open goes through here. A name that is not in the working directory may be
// read from a data folder registered for its first part (see
// Win32_SetDataFolder).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

std::string Win32_MapFileName(const char* name);  // "kMedia\\a.x" -> "kMedia/a.x"; "" for NULL
// fopen of the mapped name, matching each part of the path without regard to
// case as Windows does; NULL on failure (errno from fopen). The caller closes it.
FILE* Win32_OpenFile(const char* name, const char* mode);
// A read-only folder behind the names whose first part is prefix (without
// regard to case): "prefix\\a\\b.tga" that does not exist in the working
// directory is read from "<folder>/a/b.tga" instead. Reading alone looks
// there (Win32_OpenFile in mode "r"/"rb", Win32_OpenError,
// Win32_ReadWholeFile); writing, renaming and deleting never do. A NULL or
// empty folder removes the prefix's folder; a later call replaces it.
void Win32_SetDataFolder(const char* prefix, const char* folder);
// The folder registered for prefix, "" when there is none.
std::string Win32_GetDataFolder(const char* prefix);

// Renames the file from over the file to (both system names, resolved as
// above), replacing to in one step; false on failure, when neither changes.
bool Win32_ReplaceFile(const char* from, const char* to);
// Deletes the file; false when it cannot be deleted.
bool Win32_DeleteFile(const char* name);

// Why the file (a system name, resolved as above) cannot be opened for
// reading as a file: 0 when it can, otherwise the errno value (ENOENT,
// EACCES, ELOOP, EISDIR for a folder, ...).
int Win32_OpenError(const char* name);

// What Win32_ReadWholeFile found.
enum Win32ReadResult {
    WIN32_READ_OK = 0,     // bytes holds the whole file (empty for an empty file)
    WIN32_READ_MISSING,    // no such file (or no file name); bytes empty
    WIN32_READ_TOO_LARGE,  // the file holds more than limit bytes; bytes empty
    WIN32_READ_ERROR,      // a read failed part-way; bytes empty
    WIN32_READ_REFUSED,    // it is there but cannot be opened as a file (permission, link loop, a folder); bytes empty
};
// Reads the whole file (a system name, resolved as above) into bytes in bulk,
// refusing one longer than limit bytes before reading it. On failure *error,
// when given, holds the errno value behind it (EFBIG for a file over the
// limit); 0 on success.
Win32ReadResult Win32_ReadWholeFile(const char* name, std::size_t limit, std::vector<std::uint8_t>& bytes,
                                    int* error = nullptr);
