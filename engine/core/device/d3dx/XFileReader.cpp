#include "d3dx/XFileReader.h"

#include "d3dx/XFileParse.h"
#include "d3dx/XFileWire.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace d3dx {
namespace detail {
namespace {

// The helper program's file name; CMake builds and installs it under this name.
constexpr char kHelperName[] = "d3dx-xfile-helper";

// Seconds one parse may take before the helper is stopped.
constexpr int kParseSeconds = 30;

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The helper lies in the vorpex/ folder beside the library that holds this
// code (an install) or beside the library itself (the build tree), or, where
// this code is linked into a program, beside it.
std::string FindHelper()
{
    std::string folders[3];
    Dl_info info{};
    char real[PATH_MAX];
    if (dladdr(reinterpret_cast<void*>(&ReadXFile), &info) && info.dli_fname && realpath(info.dli_fname, real))
        folders[1] = FolderOf(real);
    if (!folders[1].empty()) folders[0] = folders[1] + "/vorpex";
    const ssize_t n = readlink("/proc/self/exe", real, sizeof(real) - 1);
    if (n > 0) {
        real[n] = '\0';
        folders[2] = FolderOf(real);
    }
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        const std::string path = folder + "/" + kHelperName;
        if (access(path.c_str(), X_OK) == 0) return path;
    }
    return std::string();
}

// The helper process: started on first use, it answers one request at a
// time until its socket closes. A crash or hang there costs that one file
// and a fresh process for the next.
class HelperProcess {
public:
    ~HelperProcess() { Stop(); }

    int Pid() const { return child_ > 0 ? int(child_) : 0; }

    void UsePath(const std::string& path)
    {
        Stop();
        path_ = path;
        unavailable_.clear();
    }

    // The reply, or false with failure set to why there is none (no
    // helper to be had among them).
    bool Parse(const uint8_t* data, size_t size, std::vector<uint8_t>& reply, std::string& failure)
    {
        if (socket_ < 0 && !Start()) {
            failure = unavailable_;
            return false;
        }
        const uint64_t length = size;
        if (!SendAll(socket_, &length, sizeof length) || !SendAll(socket_, data, size)) {
            Stop();
            failure = "the .X reader failed on this file";
            return false;
        }
        const int64_t deadline = MonotonicMs() + kParseSeconds * 1000;
        bool timedOut = false;
        uint64_t replyLength = 0;
        bool received =
            ReceiveAll(socket_, &replyLength, sizeof replyLength, deadline, &timedOut) && replyLength <= kXWireMaxBytes;
        if (received) {
            reply.resize(size_t(replyLength));
            received = ReceiveAll(socket_, reply.data(), reply.size(), deadline, &timedOut);
        }
        if (!received) {
            Stop();
            failure = timedOut ? "the .X reader took too long" : "the .X reader failed on this file";
        }
        return received;
    }

private:
    bool Start()
    {
        if (!unavailable_.empty()) return false;
        const std::string path = path_.empty() ? FindHelper() : path_;
        if (path.empty() || access(path.c_str(), X_OK) != 0) {
            Unavailable(std::string("the .X reader's helper program ") + kHelperName + " is missing (" +
                        (path.empty() ? "not beside the library or the program" : path) + "); no .X file is read");
            return false;
        }
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
            Unavailable(std::string("the .X reader's helper program ") + kHelperName +
                        " could not start: " + std::strerror(errno) + "; no .X file is read");
            return false;
        }

        // The helper gets its end of the socket as standard input (dup2
        // clears close-on-exec there) and nothing else of this process.
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_adddup2(&files, fds[1], 0);
        posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t none, all;
        sigemptyset(&none);
        sigfillset(&all);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

        std::string program = path, serve = "--serve", parent = std::to_string(getpid());
        char* argv[] = {&program[0], &serve[0], &parent[0], nullptr};
        pid_t child = -1;
        const int spawned = posix_spawn(&child, path.c_str(), &files, &attributes, argv, environ);
        posix_spawn_file_actions_destroy(&files);
        posix_spawnattr_destroy(&attributes);
        close(fds[1]);
        if (spawned != 0) {
            close(fds[0]);
            Unavailable(std::string("the .X reader's helper program ") + kHelperName + " could not start (" + path +
                        ": " + std::strerror(spawned) + "); no .X file is read");
            return false;
        }
        socket_ = fds[0];
        child_ = child;
        return true;
    }

    // Remembered for every later file, and said once on stderr.
    void Unavailable(const std::string& why)
    {
        unavailable_ = why;
        std::fprintf(stderr, "device: %s\n", why.c_str());
    }

    void Stop()
    {
        if (socket_ >= 0) close(socket_);
        socket_ = -1;
        if (child_ > 0) {
            kill(child_, SIGKILL);
            while (waitpid(child_, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
        child_ = -1;
    }

    int socket_ = -1;
    pid_t child_ = -1;
    std::string unavailable_;  // why no helper can be had; empty while one may
    std::string path_;         // set by tests; empty: found beside the library or the program
};

HelperProcess& Helper()
{
    static HelperProcess helper;
    return helper;
}

}  // namespace

// The .X importer trusts the file in places (a material list shorter than
// its face indices crashes it), so it runs in the helper only, never in this
// process: a crash, a hang or a runaway allocation there is a failed load
// here, and without the helper no .X file is read.
bool ReadXFile(const uint8_t* data, size_t size, XMeshData& out, std::string* error)
{
    out = XMeshData();
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        out = XMeshData();
        return false;
    };
    std::string why;
    if (!AcceptXFile(data, size, &why)) return fail(why);

    std::vector<uint8_t> reply;
    std::string failure;
    if (!Helper().Parse(data, size, reply, failure)) return fail(failure);
    bool ok = false;
    if (!DecodeXReply(reply, ok, out, why)) return fail("the .X reader gave an inconsistent mesh");
    if (!ok) return fail(why.empty() ? "corrupt .X file" : why);
    return true;
}

int XFileHelperProcessId()
{
    return Helper().Pid();
}

void SetXFileHelperPathForTests(const std::string& path)
{
    Helper().UsePath(path);
}

}  // namespace detail
}  // namespace d3dx
