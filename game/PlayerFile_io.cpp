// Reading, setting aside and writing the player's files.
//
// These are POSIX paths taken from the environment, not the system's own
// names that Win32File.h maps: a backslash in them is part of a folder's
// name and case matters, so the window layer's name mapping and its lookup
// without regard to case would read or replace some other file. Opening
// without blocking also keeps a pipe or device in the file's place from
// stalling start-up.
#include "PlayerFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace playerfile {

namespace {

std::string ErrnoText(const char* doing, int error)
{
    return std::string(doing) + ": " + std::strerror(error ? error : EIO);
}

bool IsAbsolute(const char* path)
{
    return path && path[0] == '/';
}

std::string Folder(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Leaf(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

enum class Read { Ok, Missing, TooLarge, Refused };

// The whole file into bytes, refusing one over limit bytes before reading it.
Read ReadFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes, std::string& why)
{
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return Read::Missing;
        why = ErrnoText("cannot open it", errno);
        return Read::Refused;
    }
    struct stat st;
    Read result = Read::Ok;
    if (::fstat(fd, &st) != 0) {
        why = ErrnoText("cannot read it", errno);
        result = Read::Refused;
    } else if (!S_ISREG(st.st_mode)) {
        why = S_ISDIR(st.st_mode) ? "a folder, not a file" : "not a regular file";
        result = Read::Refused;
    } else if (static_cast<unsigned long long>(st.st_size) > limit) {
        why = "too large: " + std::to_string(static_cast<long long>(st.st_size)) + " bytes, at most " +
              std::to_string(limit);
        result = Read::TooLarge;
    } else {
        // Read until the end, which may lie past the size seen (a file that
        // grows meanwhile), but never past the limit.
        bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
        std::size_t got = 0;
        for (;;) {
            if (got == bytes.size()) {
                if (bytes.size() > limit) break;
                bytes.resize(bytes.size() * 2 > limit + 1 ? limit + 1 : bytes.size() * 2);
            }
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                why = ErrnoText("read error", errno);
                result = Read::Refused;
                break;
            }
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        if (result == Read::Ok && got > limit) {
            why = "too large: over " + std::to_string(limit) + " bytes";
            result = Read::TooLarge;
        }
        bytes.resize(result == Read::Ok ? got : 0);
    }
    ::close(fd);
    return result;
}

// Creates each missing folder of path, 0700 as the XDG rules ask.
bool MakeFolders(const std::string& path, std::string& why)
{
    std::size_t pos = 1;
    for (;;) {
        const std::size_t slash = path.find('/', pos);
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            why = ErrnoText(("cannot create the folder " + part).c_str(), errno);
            return false;
        }
        if (slash == std::string::npos) break;
        pos = slash + 1;
    }
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        why = path + " is not a folder";
        return false;
    }
    return true;
}

bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

const char* ProblemWords(Problem problem)
{
    switch (problem) {
        case Problem::Foreign:
            return "were in a foreign file";
        case Problem::Newer:
            return "were from a newer Kolvar";
        case Problem::Unreadable:
            return "could not be read";
        case Problem::Damaged:
            break;
    }
    return "were damaged";
}

}  // namespace

std::string XdgPath(const char* variable, const char* homeFallback, const char* leaf)
{
    const char* base = std::getenv(variable);
    std::string folder;
    if (IsAbsolute(base)) {
        folder = base;
    } else {
        const char* home = std::getenv("HOME");
        if (!IsAbsolute(home)) return std::string();
        folder = std::string(home) + "/" + homeFallback;
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder == "/") folder.clear();
    return folder + "/kolvar/" + leaf;
}

FileOutcome Load(const Kind& kind, const std::string& path,
                 const std::function<bool(const std::uint8_t*, std::size_t, std::string&)>& decode,
                 std::string* hudMessage)
{
    if (path.empty()) {
        std::fprintf(stderr, "%s: no folder for the file (neither %s nor HOME is an absolute path), %s\n", kind.tag,
                     kind.variable, kind.fallback);
        return FileOutcome::Missing;
    }
    std::vector<std::uint8_t> bytes;
    std::string why;
    Problem problem = Problem::Unreadable;
    switch (ReadFile(path, kind.limit, bytes, why)) {
        case Read::Missing:
            return FileOutcome::Missing;
        case Read::TooLarge:
            problem = Problem::Damaged;
            break;
        case Read::Refused:
            break;
        case Read::Ok:
            if (decode(bytes.data(), bytes.size(), why)) return FileOutcome::Loaded;
            problem = Classify(bytes.data(), bytes.size(), kind.magic, kind.version);
            break;
    }

    // Kept beside it, so the next save cannot overwrite what the player had.
    const std::string aside = path + ".bad";
    const bool moved = std::rename(path.c_str(), aside.c_str()) == 0;
    const int error = errno;
    if (moved)
        std::fprintf(stderr, "%s: %s: %s; moved to %s, %s\n", kind.tag, path.c_str(), why.c_str(), aside.c_str(),
                     kind.fallback);
    else
        std::fprintf(stderr, "%s: %s: %s; cannot move it to %s (%s), %s\n", kind.tag, path.c_str(), why.c_str(),
                     aside.c_str(), std::strerror(error), kind.fallback);
    if (hudMessage)
        *hudMessage = std::string(kind.title) + " " + ProblemWords(problem) + " and were reset (" +
                      (moved ? "kept as " + Leaf(aside) : std::string("could not be set aside")) + ")";
    return FileOutcome::Damaged;
}

bool Save(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* why)
{
    std::string reason;
    auto fail = [&](const std::string& text) {
        if (why) *why = path.empty() ? text : path + ": " + text;
        return false;
    };
    if (path.empty()) return fail("no folder for the file (no absolute XDG folder or HOME)");
    const std::string folder = Folder(path);
    if (!MakeFolders(folder, reason)) return fail(reason);

    std::string temp = path + ".tmp.XXXXXX";
    const int fd = ::mkstemp(&temp[0]);
    if (fd < 0) return fail(ErrnoText("cannot create a temporary file", errno));
    bool ok = WriteAll(fd, bytes);
    if (!ok) reason = ErrnoText("write failed", errno);
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        reason = ErrnoText("cannot flush the file", errno);
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        reason = ErrnoText("write failed", errno);
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        reason = ErrnoText("cannot replace the file", errno);
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return fail(reason);
    }
    // The rename itself reaches the disk with the folder.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace playerfile
