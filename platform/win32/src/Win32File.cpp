// Opening files by the system's own names.
#include "Win32File.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

bool Exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// Windows file names ignore case: each part of the path that does not exist
// as written is looked up in its folder without regard to case. Parts with no
// match stay as written (a file about to be created).
std::string ResolveCase(const std::string& path)
{
    if (path.empty() || Exists(path)) return path;
    std::string result;
    std::size_t pos = 0;
    if (path[0] == '/') {
        result = "/";
        pos = 1;
    }
    bool resolving = true;
    while (pos <= path.size()) {
        std::size_t end = path.find('/', pos);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty()) continue;
        std::string folder = result.empty() ? "." : result;
        std::string joined = result.empty() || result == "/" ? result + part : result + "/" + part;
        if (resolving && !Exists(joined)) {
            bool found = false;
            if (DIR* dir = ::opendir(folder.c_str())) {
                while (dirent* e = ::readdir(dir)) {
                    if (strcasecmp(e->d_name, part.c_str()) == 0) {
                        part = e->d_name;
                        found = true;
                        break;
                    }
                }
                ::closedir(dir);
            }
            if (!found) resolving = false;
            joined = result.empty() || result == "/" ? result + part : result + "/" + part;
        }
        result = joined;
    }
    return result;
}

// The data folders by their prefix, in lower case.
struct DataFolders {
    std::mutex lock;
    std::map<std::string, std::string> byPrefix;
};

DataFolders& Folders()
{
    static DataFolders folders;
    return folders;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

// The name to read: the file in the working directory when it is there,
// else the one in its prefix's data folder when that is there, else the
// working directory's name (so errors speak of the name as given).
std::string ResolveForReading(const char* name)
{
    const std::string mapped = Win32_MapFileName(name);
    const std::string local = ResolveCase(mapped);
    if (Exists(local) || mapped.empty() || mapped[0] == '/') return local;
    const std::size_t slash = mapped.find('/');
    if (slash == std::string::npos || slash + 1 >= mapped.size()) return local;
    std::string folder;
    {
        DataFolders& folders = Folders();
        std::lock_guard<std::mutex> guard(folders.lock);
        auto it = folders.byPrefix.find(Lower(mapped.substr(0, slash)));
        if (it == folders.byPrefix.end()) return local;
        folder = it->second;
    }
    const std::string installed = ResolveCase(folder + "/" + mapped.substr(slash + 1));
    return Exists(installed) ? installed : local;
}

bool ReadOnlyMode(const char* mode)
{
    return mode[0] == 'r' && !std::strchr(mode, '+');
}

// Opens the file for reading; null with *error set (EISDIR for a folder, which
// fopen alone would take) when that fails.
FILE* OpenForReading(const char* name, int* error)
{
    *error = 0;
    if (!name || name[0] == '\0') {
        *error = ENOENT;
        return nullptr;
    }
    errno = 0;
    FILE* f = std::fopen(ResolveForReading(name).c_str(), "rb");
    if (!f) {
        *error = errno ? errno : ENOENT;
        return nullptr;
    }
    struct stat st;
    if (::fstat(::fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(f);
        *error = EISDIR;
        return nullptr;
    }
    return f;
}

}  // namespace

std::string Win32_MapFileName(const char* name)
{
    if (!name) return std::string();
    std::string mapped(name);
    for (char& c : mapped)
        if (c == '\\') c = '/';
    return mapped;
}

FILE* Win32_OpenFile(const char* name, const char* mode)
{
    if (!name || !mode || name[0] == '\0') return nullptr;
    const std::string path = ReadOnlyMode(mode) ? ResolveForReading(name) : ResolveCase(Win32_MapFileName(name));
    return std::fopen(path.c_str(), mode);
}

void Win32_SetDataFolder(const char* prefix, const char* folder)
{
    if (!prefix || prefix[0] == '\0') return;
    DataFolders& folders = Folders();
    std::lock_guard<std::mutex> guard(folders.lock);
    const std::string key = Lower(Win32_MapFileName(prefix));
    if (!folder || folder[0] == '\0')
        folders.byPrefix.erase(key);
    else
        folders.byPrefix[key] = folder;
}

std::string Win32_GetDataFolder(const char* prefix)
{
    if (!prefix) return std::string();
    DataFolders& folders = Folders();
    std::lock_guard<std::mutex> guard(folders.lock);
    auto it = folders.byPrefix.find(Lower(Win32_MapFileName(prefix)));
    return it == folders.byPrefix.end() ? std::string() : it->second;
}

bool Win32_ReplaceFile(const char* from, const char* to)
{
    if (!from || !to || from[0] == '\0' || to[0] == '\0') return false;
    std::string source = ResolveCase(Win32_MapFileName(from));
    std::string target = ResolveCase(Win32_MapFileName(to));
    return std::rename(source.c_str(), target.c_str()) == 0;
}

bool Win32_DeleteFile(const char* name)
{
    if (!name || name[0] == '\0') return false;
    return std::remove(ResolveCase(Win32_MapFileName(name)).c_str()) == 0;
}

int Win32_OpenError(const char* name)
{
    int error = 0;
    if (FILE* f = OpenForReading(name, &error)) std::fclose(f);
    return error;
}

Win32ReadResult Win32_ReadWholeFile(const char* name, std::size_t limit, std::vector<std::uint8_t>& bytes, int* error)
{
    bytes.clear();
    int why = 0;
    if (error) *error = 0;
    FILE* f = OpenForReading(name, &why);
    if (!f) {
        if (error) *error = why;
        return why == ENOENT || why == ENOTDIR ? WIN32_READ_MISSING : WIN32_READ_REFUSED;
    }
    // A regular file is read in one call of its size; anything else (or a
    // file that grows meanwhile) in chunks up to the limit.
    struct stat st;
    std::size_t expected = 0;
    if (::fstat(::fileno(f), &st) == 0 && S_ISREG(st.st_mode)) {
        if (static_cast<unsigned long long>(st.st_size) > limit) {
            std::fclose(f);
            if (error) *error = EFBIG;
            return WIN32_READ_TOO_LARGE;
        }
        expected = static_cast<std::size_t>(st.st_size);
    }
    Win32ReadResult result = WIN32_READ_OK;
    errno = 0;
    bytes.resize(expected);
    std::size_t got = expected ? std::fread(bytes.data(), 1, expected, f) : 0;
    bytes.resize(got);
    if (got == expected) {
        std::uint8_t chunk[65536];
        for (;;) {
            std::size_t n = std::fread(chunk, 1, sizeof chunk, f);
            if (bytes.size() + n > limit) {
                result = WIN32_READ_TOO_LARGE;
                break;
            }
            bytes.insert(bytes.end(), chunk, chunk + n);
            if (n < sizeof chunk) break;
        }
    }
    if (result == WIN32_READ_OK && std::ferror(f)) result = WIN32_READ_ERROR;
    if (error && result != WIN32_READ_OK) *error = result == WIN32_READ_TOO_LARGE ? EFBIG : (errno ? errno : EIO);
    std::fclose(f);
    if (result != WIN32_READ_OK) bytes.clear();
    return result;
}
