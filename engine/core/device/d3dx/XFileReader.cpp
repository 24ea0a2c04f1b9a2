#include "d3dx/XFileReader.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <map>
#include <tuple>

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace d3dx {
namespace detail {
namespace {

struct Face {
    uint32_t attribute;
    uint32_t v[3];
};

// One output vertex, compared bit for bit so identical corners are shared.
struct VertexKey {
    float p[3], n[3], t[2];
    bool operator<(const VertexKey& o) const { return std::memcmp(this, &o, sizeof *this) < 0; }
};

class Merger {
public:
    Merger(const aiScene* scene, XMeshData& out) : scene_(scene), out_(out) {}

    void Walk(const aiNode* node, const aiMatrix4x4& parent, int depth) {
        if (!node || depth > 256) return;
        aiMatrix4x4 world = parent * node->mTransformation;
        aiMatrix3x3 normalMatrix(world);
        normalMatrix.Inverse().Transpose();
        for (unsigned m = 0; m < node->mNumMeshes; ++m) {
            unsigned index = node->mMeshes[m];
            if (index < scene_->mNumMeshes) AddMesh(scene_->mMeshes[index], world, normalMatrix);
        }
        for (unsigned c = 0; c < node->mNumChildren; ++c) Walk(node->mChildren[c], world, depth + 1);
    }

    void Finish() {
        std::stable_sort(faces_.begin(), faces_.end(),
                         [](const Face& a, const Face& b) { return a.attribute < b.attribute; });
        out_.indices.reserve(faces_.size() * 3);
        out_.attributes.reserve(faces_.size());
        for (const Face& f : faces_) {
            out_.attributes.push_back(f.attribute);
            out_.indices.insert(out_.indices.end(), f.v, f.v + 3);
        }
    }

private:
    uint32_t Vertex(const aiMesh* mesh, unsigned i, const aiMatrix4x4& world, const aiMatrix3x3& nm) {
        VertexKey key{};
        aiVector3D p = world * mesh->mVertices[i];
        key.p[0] = p.x; key.p[1] = p.y; key.p[2] = p.z;
        if (out_.hasNormals && mesh->mNormals) {
            aiVector3D n = nm * mesh->mNormals[i];
            n.NormalizeSafe();
            key.n[0] = n.x; key.n[1] = n.y; key.n[2] = n.z;
        }
        if (out_.hasTexCoords && mesh->mTextureCoords[0]) {
            key.t[0] = mesh->mTextureCoords[0][i].x;
            key.t[1] = mesh->mTextureCoords[0][i].y;
        }
        auto found = shared_.find(key);
        if (found != shared_.end()) return found->second;
        uint32_t index = uint32_t(out_.positions.size() / 3);
        shared_.emplace(key, index);
        out_.positions.insert(out_.positions.end(), key.p, key.p + 3);
        if (out_.hasNormals) out_.normals.insert(out_.normals.end(), key.n, key.n + 3);
        if (out_.hasTexCoords) out_.texCoords.insert(out_.texCoords.end(), key.t, key.t + 2);
        return index;
    }

    void AddMesh(const aiMesh* mesh, const aiMatrix4x4& world, const aiMatrix3x3& nm) {
        if (!mesh || !mesh->mVertices) return;
        uint32_t attribute = mesh->mMaterialIndex;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            if (face.mNumIndices < 3 || !face.mIndices) continue;
            bool valid = true;
            for (unsigned k = 0; k < face.mNumIndices; ++k) valid = valid && face.mIndices[k] < mesh->mNumVertices;
            if (!valid) continue;
            // Polygons become fans around their first corner.
            uint32_t v0 = Vertex(mesh, face.mIndices[0], world, nm);
            uint32_t prev = Vertex(mesh, face.mIndices[1], world, nm);
            for (unsigned k = 2; k < face.mNumIndices; ++k) {
                uint32_t next = Vertex(mesh, face.mIndices[k], world, nm);
                faces_.push_back(Face{attribute, {v0, prev, next}});
                prev = next;
            }
        }
    }

    const aiScene* scene_;
    XMeshData& out_;
    std::vector<Face> faces_;
    std::map<VertexKey, uint32_t> shared_;
};

void Colour(const aiMaterial* m, const char* key, unsigned type, unsigned index, float* rgba) {
    aiColor4D c;
    if (m->Get(key, type, index, c) == AI_SUCCESS) {
        rgba[0] = c.r; rgba[1] = c.g; rgba[2] = c.b; rgba[3] = c.a;
    }
}

}  // namespace

namespace {

bool ParseHere(const uint8_t* data, size_t size, XMeshData& out, std::string* error) {
    out = XMeshData();
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        out = XMeshData();
        return false;
    };
    Assimp::Importer importer;
    // Left-handed positions, clockwise winding and v downward as the file
    // has them; polygons are fanned by hand below, so no triangulation here.
    const aiScene* scene = importer.ReadFileFromMemory(
        data, size, aiProcess_ConvertToLeftHanded | aiProcess_ValidateDataStructure, "x");
    if (!scene || !scene->mRootNode) return fail(importer.GetErrorString());
    if (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) return fail("incomplete .X file");

    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        if (!mesh) continue;
        if (mesh->mNormals) out.hasNormals = true;
        if (mesh->mTextureCoords[0]) out.hasTexCoords = true;
        if (mesh->mMaterialIndex >= scene->mNumMaterials) return fail("mesh refers to a missing material");
    }

    Merger merger(scene, out);
    merger.Walk(scene->mRootNode, aiMatrix4x4(), 0);
    merger.Finish();
    if (out.attributes.empty()) return fail("the file holds no triangles");

    for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
        const aiMaterial* m = scene->mMaterials[i];
        XMaterial mat;
        if (m) {
            Colour(m, AI_MATKEY_COLOR_DIFFUSE, mat.diffuse);
            Colour(m, AI_MATKEY_COLOR_SPECULAR, mat.specular);
            Colour(m, AI_MATKEY_COLOR_EMISSIVE, mat.emissive);
            mat.specular[3] = 1;
            mat.emissive[3] = 1;
            m->Get(AI_MATKEY_SHININESS, mat.power);
            aiString name;
            if (m->GetTexture(aiTextureType_DIFFUSE, 0, &name) == AI_SUCCESS) {
                mat.hasTexture = true;
                mat.textureFile.assign(name.C_Str());
            }
        }
        out.materials.push_back(mat);
    }
    return true;
}

// The parse result as bytes, for the trip from the parsing process.
class Wire {
public:
    void Put(const void* p, size_t n) { bytes.insert(bytes.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n); }
    void PutSize(size_t n) { uint64_t v = n; Put(&v, sizeof v); }
    template <class T> void PutVector(const std::vector<T>& v) {
        PutSize(v.size());
        if (!v.empty()) Put(v.data(), v.size() * sizeof(T));
    }
    void PutString(const std::string& s) {
        PutSize(s.size());
        Put(s.data(), s.size());
    }

    bool Get(void* p, size_t n) {
        if (n > bytes.size() - at) return false;
        std::memcpy(p, bytes.data() + at, n);
        at += n;
        return true;
    }
    bool GetSize(size_t& n, size_t unit) {
        uint64_t v = 0;
        if (!Get(&v, sizeof v) || unit == 0 || v > (bytes.size() - at) / unit) return false;
        n = size_t(v);
        return true;
    }
    template <class T> bool GetVector(std::vector<T>& v) {
        size_t n = 0;
        if (!GetSize(n, sizeof(T))) return false;
        v.resize(n);
        return n == 0 || Get(v.data(), n * sizeof(T));
    }
    bool GetString(std::string& s) {
        size_t n = 0;
        if (!GetSize(n, 1)) return false;
        s.assign(reinterpret_cast<const char*>(bytes.data() + at), n);
        at += n;
        return true;
    }

    std::vector<uint8_t> bytes;
    size_t at = 0;
};

void Encode(const XMeshData& m, Wire& w) {
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

bool Decode(Wire& w, XMeshData& m) {
    uint8_t flags = 0;
    if (!w.Get(&flags, 1)) return false;
    m.hasNormals = flags & 1;
    m.hasTexCoords = flags & 2;
    size_t count = 0;
    if (!w.GetVector(m.positions) || !w.GetVector(m.normals) || !w.GetVector(m.texCoords) ||
        !w.GetVector(m.indices) || !w.GetVector(m.attributes) || !w.GetSize(count, 1))
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

// Seconds one parse may take before the parsing process is stopped.
constexpr int kParseSeconds = 30;

bool SendAll(int fd, const void* p, size_t n) {
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

// Reads n bytes, waiting at most until deadline (milliseconds of the
// monotonic clock); false on end of stream, error or time-out.
bool ReceiveAll(int fd, void* p, size_t n, int64_t deadline, bool* timedOut) {
    uint8_t* b = static_cast<uint8_t*>(p);
    while (n > 0) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        int64_t left = deadline - (int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000);
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

// The parsing process: started on first use, it answers one request
// (size, bytes) with one reply (size, bytes) at a time until its socket
// closes. A crash or hang there costs that one file and a fresh process.
class ParserProcess {
public:
    ~ParserProcess() { Stop(); }

    // False when no process can be had (the caller then parses here).
    bool Parse(const uint8_t* data, size_t size, Wire& reply, std::string& failure) {
        if (socket_ < 0 && !Start()) return false;
        uint64_t length = size;
        if (!SendAll(socket_, &length, sizeof length) || !SendAll(socket_, data, size)) {
            Stop();
            failure = "the .X reader failed on this file";
            return true;
        }
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        int64_t deadline = int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000 + kParseSeconds * 1000;
        bool timedOut = false;
        uint64_t replyLength = 0;
        if (!ReceiveAll(socket_, &replyLength, sizeof replyLength, deadline, &timedOut) ||
            replyLength > (uint64_t(1) << 32)) {
            Stop();
            failure = timedOut ? "the .X reader took too long" : "the .X reader failed on this file";
            return true;
        }
        reply.bytes.resize(size_t(replyLength));
        reply.at = 0;
        if (!ReceiveAll(socket_, reply.bytes.data(), reply.bytes.size(), deadline, &timedOut)) {
            Stop();
            failure = timedOut ? "the .X reader took too long" : "the .X reader failed on this file";
            return true;
        }
        return true;
    }

private:
    bool Start() {
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return false;
        pid_t child = fork();
        if (child < 0) {
            close(fds[0]);
            close(fds[1]);
            return false;
        }
        if (child == 0) {
            close(fds[0]);
            Serve(fds[1]);
            _exit(0);
        }
        close(fds[1]);
        socket_ = fds[0];
        child_ = child;
        return true;
    }

    static void Serve(int fd) {
        // A crash here ends this process quietly; the caller reports it.
        for (int sig : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL, SIGINT, SIGTERM}) signal(sig, SIG_DFL);
        int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (quiet >= 0) {
            dup2(quiet, STDERR_FILENO);
            close(quiet);
        }
        if (!kSanitized) {
            rlimit limit{rlim_t(4) << 30, rlim_t(4) << 30};
            setrlimit(RLIMIT_AS, &limit);
        }
        for (;;) {
            uint64_t length = 0;
            if (!ReceiveAll(fd, &length, sizeof length, INT64_MAX, nullptr) || length > (uint64_t(1) << 32)) return;
            std::vector<uint8_t> data(static_cast<size_t>(length));
            if (!ReceiveAll(fd, data.data(), data.size(), INT64_MAX, nullptr)) return;
            XMeshData mesh;
            std::string why;
            Wire w;
            uint8_t ok = ParseHere(data.data(), data.size(), mesh, &why) ? 1 : 0;
            w.Put(&ok, 1);
            if (ok)
                Encode(mesh, w);
            else
                w.PutString(why);
            uint64_t replyLength = w.bytes.size();
            if (!SendAll(fd, &replyLength, sizeof replyLength) || !SendAll(fd, w.bytes.data(), w.bytes.size()))
                return;
        }
    }

    void Stop() {
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
};

}  // namespace

// The .X importer trusts the file in places (a material list shorter than
// its face indices crashes it), so it runs in a process of its own: a
// crash, a hang or a runaway allocation there is a failed load here.
bool ReadXFile(const uint8_t* data, size_t size, XMeshData& out, std::string* error) {
    out = XMeshData();
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        out = XMeshData();
        return false;
    };
    if (!data || size < 16) return fail("not an .X file: too short");
    if (std::memcmp(data, "xof ", 4) != 0) return fail("not an .X file: no 'xof ' header");

    static ParserProcess parser;
    Wire w;
    std::string failure;
    if (!parser.Parse(data, size, w, failure)) return ParseHere(data, size, out, error);
    if (!failure.empty()) return fail(failure);
    uint8_t ok = 0;
    if (!w.Get(&ok, 1)) return fail("the .X reader gave no result");
    if (!ok) {
        std::string why;
        w.GetString(why);
        return fail(why.empty() ? "corrupt .X file" : why);
    }
    if (!Decode(w, out)) return fail("the .X reader gave an inconsistent mesh");
    return true;
}

}  // namespace detail
}  // namespace d3dx
