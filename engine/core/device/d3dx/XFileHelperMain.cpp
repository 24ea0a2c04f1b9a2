// The .X helper program. The device layer reads .X files through it, in a
// process of its own, so that an importer crash, hang or runaway allocation
// costs one failed load and nothing else. The layer starts it as
//   d3dx-xfile-helper --serve <parent process id>
// with one end of a stream socket as standard input, and talks to it in
// the protocol of XFileWire.h. It links the importer and nothing of the
// window or the device: it holds no window, display connection or GL
// context. It ends when its socket closes or its parent ends, however the
// parent ends.
#include "d3dx/XFileParse.h"
#include "d3dx/XFileWire.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Address space one parse may add to what the process already holds: a
// floor for the importer's own needs plus a share per byte of the file, so
// a small file that declares huge arrays runs out at once.
constexpr uint64_t kParseFloorBytes = uint64_t(64) << 20;
constexpr uint64_t kBytesPerFileByte = 256;

uint64_t AddressSpaceNow()
{
    unsigned long long pages = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (f) {
        if (std::fscanf(f, "%llu", &pages) != 1) pages = 0;
        std::fclose(f);
    }
    return uint64_t(pages) * uint64_t(sysconf(_SC_PAGESIZE));
}

// The soft address-space limit for a file of fileSize bytes; 0 lifts it.
// Address sanitizer reserves vast shadow space, so sanitized builds go without.
void LimitAddressSpace(uint64_t fileSize)
{
    if (kSanitized) return;
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0) return;
    rlim_t wanted = limit.rlim_max;
    if (fileSize > 0) {
        const uint64_t share = std::min<uint64_t>(fileSize, uint64_t(1) << 32) * kBytesPerFileByte;
        wanted = rlim_t(std::min<uint64_t>(AddressSpaceNow() + kParseFloorBytes + share, uint64_t(limit.rlim_max)));
    }
    limit.rlim_cur = wanted;
    setrlimit(RLIMIT_AS, &limit);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || std::strcmp(argv[1], "--serve") != 0) {
        std::fprintf(stderr,
                     "usage: %s --serve <parent process id>\n"
                     "Reads .X files for the graphics device layer, which starts it.\n",
                     argc > 0 ? argv[0] : "d3dx-xfile-helper");
        return 2;
    }
    const pid_t parent = pid_t(std::strtol(argv[2], nullptr, 10));
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) return 0;  // the parent ended before the line above

    // Started: what the importer (or a crash in it) prints is no news for
    // the parent, which reports a failed file itself.
    const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (quiet >= 0) {
        dup2(quiet, STDERR_FILENO);
        close(quiet);
    }

    using namespace d3dx::detail;
    const int socket = 0;
    for (;;) {
        uint64_t length = 0;
        if (!ReceiveAll(socket, &length, sizeof length, INT64_MAX, nullptr) || length > kXWireMaxBytes) return 0;
        bool ok = false;
        XMeshData mesh;
        std::string why;
        try {
            LimitAddressSpace(length);
            std::vector<uint8_t> data(static_cast<size_t>(length));
            if (!ReceiveAll(socket, data.data(), data.size(), INT64_MAX, nullptr)) return 0;
            ok = ParseXFile(data.data(), data.size(), mesh, &why);
        } catch (const std::bad_alloc&) {
            mesh = XMeshData();
            ok = false;
            why = "corrupt .X file: it needs more memory than a file of its size can";
        }
        LimitAddressSpace(0);
        const std::vector<uint8_t> reply = EncodeXReply(ok, mesh, why);
        const uint64_t replyLength = reply.size();
        if (!SendAll(socket, &replyLength, sizeof replyLength) || !SendAll(socket, reply.data(), reply.size()))
            return 0;
    }
}
