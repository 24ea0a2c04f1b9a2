#include "d3dx/XFileWire.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <time.h>

namespace d3dx {
namespace detail {
namespace {

// The parse result as bytes, for the trip from the helper.
class Wire {
public:
    void Put(const void* p, size_t n)
    {
        bytes.insert(bytes.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
    }
    void PutSize(size_t n)
    {
        uint64_t v = n;
        Put(&v, sizeof v);
    }
    template <class T>
    void PutVector(const std::vector<T>& v)
    {
        PutSize(v.size());
        if (!v.empty()) Put(v.data(), v.size() * sizeof(T));
    }
    void PutString(const std::string& s)
    {
        PutSize(s.size());
        Put(s.data(), s.size());
    }

    bool Get(void* p, size_t n)
    {
        if (n > bytes.size() - at) return false;
        std::memcpy(p, bytes.data() + at, n);
        at += n;
        return true;
    }
    bool GetSize(size_t& n, size_t unit)
    {
        uint64_t v = 0;
        if (!Get(&v, sizeof v) || unit == 0 || v > (bytes.size() - at) / unit) return false;
        n = size_t(v);
        return true;
    }
    template <class T>
    bool GetVector(std::vector<T>& v)
    {
        size_t n = 0;
        if (!GetSize(n, sizeof(T))) return false;
        v.resize(n);
        return n == 0 || Get(v.data(), n * sizeof(T));
    }
    bool GetString(std::string& s)
    {
        size_t n = 0;
        if (!GetSize(n, 1)) return false;
        s.assign(reinterpret_cast<const char*>(bytes.data() + at), n);
        at += n;
        return true;
    }

    std::vector<uint8_t> bytes;
    size_t at = 0;
};

void Encode(const XMeshData& m, Wire& w)
{
    uint8_t flags = uint8_t((m.hasNormals ? 1 : 0) | (m.hasTexCoords ? 2 : 0));
    w.Put(&flags, 1);
    w.PutVector(m.positions);
    w.PutVector(m.normals);
    w.PutVector(m.texCoords);
    w.PutVector(m.indices);
    w.PutVector(m.attributes);
    w.PutSize(m.materials.size());
    for (const XMaterial& mat : m.materials) {
        w.Put(mat.diffuse, sizeof mat.diffuse);
        w.Put(mat.specular, sizeof mat.specular);
        w.Put(mat.emissive, sizeof mat.emissive);
        w.Put(&mat.power, sizeof mat.power);
        uint8_t t = mat.hasTexture ? 1 : 0;
        w.Put(&t, 1);
        w.PutString(mat.textureFile);
    }
}

bool Decode(Wire& w, XMeshData& m)
{
    uint8_t flags = 0;
    if (!w.Get(&flags, 1)) return false;
    m.hasNormals = flags & 1;
    m.hasTexCoords = flags & 2;
    size_t count = 0;
    if (!w.GetVector(m.positions) || !w.GetVector(m.normals) || !w.GetVector(m.texCoords) || !w.GetVector(m.indices) ||
        !w.GetVector(m.attributes) || !w.GetSize(count, 1))
        return false;
    m.materials.resize(count);
    for (XMaterial& mat : m.materials) {
        uint8_t t = 0;
        if (!w.Get(mat.diffuse, sizeof mat.diffuse) || !w.Get(mat.specular, sizeof mat.specular) ||
            !w.Get(mat.emissive, sizeof mat.emissive) || !w.Get(&mat.power, sizeof mat.power) || !w.Get(&t, 1) ||
            !w.GetString(mat.textureFile))
            return false;
        mat.hasTexture = t != 0;
    }
    // Everything a caller indexes with must be in range.
    size_t vertices = m.positions.size() / 3;
    if (m.positions.size() % 3 || m.indices.size() != m.attributes.size() * 3) return false;
    if ((m.hasNormals && m.normals.size() != vertices * 3) || (m.hasTexCoords && m.texCoords.size() != vertices * 2))
        return false;
    for (uint32_t i : m.indices)
        if (i >= vertices) return false;
    for (uint32_t a : m.attributes)
        if (a >= m.materials.size()) return false;
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeXReply(bool ok, const XMeshData& mesh, const std::string& why)
{
    Wire w;
    uint8_t flag = ok ? 1 : 0;
    w.Put(&flag, 1);
    if (ok)
        Encode(mesh, w);
    else
        w.PutString(why);
    return std::move(w.bytes);
}

bool DecodeXReply(const std::vector<uint8_t>& bytes, bool& ok, XMeshData& mesh, std::string& why)
{
    Wire w;
    w.bytes = bytes;
    uint8_t flag = 0;
    if (!w.Get(&flag, 1)) return false;
    ok = flag != 0;
    if (!ok) return w.GetString(why);
    return Decode(w, mesh);
}

int64_t MonotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool SendAll(int fd, const void* p, size_t n)
{
    const uint8_t* b = static_cast<const uint8_t*>(p);
    while (n > 0) {
        ssize_t k = send(fd, b, n, MSG_NOSIGNAL);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) return false;
        b += k;
        n -= size_t(k);
    }
    return true;
}

bool ReceiveAll(int fd, void* p, size_t n, int64_t deadline, bool* timedOut)
{
    uint8_t* b = static_cast<uint8_t*>(p);
    while (n > 0) {
        int64_t left = deadline == INT64_MAX ? INT64_MAX : deadline - MonotonicMs();
        if (left <= 0) {
            if (timedOut) *timedOut = true;
            return false;
        }
        pollfd pf{fd, POLLIN, 0};
        int ready = poll(&pf, 1, int(std::min<int64_t>(left, 1 << 30)));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;
        ssize_t k = recv(fd, b, n, 0);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) return false;
        b += k;
        n -= size_t(k);
    }
    return true;
}

}  // namespace detail
}  // namespace d3dx
