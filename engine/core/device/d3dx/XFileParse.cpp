#include "d3dx/XFileParse.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

namespace d3dx {
namespace detail {
namespace {

// ---------------------------------------------------------------------------
// Pre-scan. Both encodings become one stream of tokens: names, strings,
// braces, GUIDs and runs of numbers (separators dropped). The walk then
// follows the data objects and checks each count of the templates that
// size arrays against the numbers left in the file.

enum class Tk { Name, String, Open, Close, Numbers, Guid, Template };

struct Token {
    Tk kind;
    size_t first = 0;  // Numbers: index of the run's first value in the value table
    size_t count = 0;  // Numbers: values in the run
    std::string text;  // Name
};

enum class Scan { Ok, Stop, Refuse };  // Stop: not understood, the importer decides

struct Stream {
    std::vector<Token> tokens;
    std::vector<double> values;
    std::string why;

    void Push(Tk kind, std::string text = std::string())
    {
        Token t;
        t.kind = kind;
        t.text = std::move(text);
        tokens.push_back(std::move(t));
    }
    void Number(double v)
    {
        if (tokens.empty() || tokens.back().kind != Tk::Numbers) {
            Token t;
            t.kind = Tk::Numbers;
            t.first = values.size();
            tokens.push_back(t);
        }
        values.push_back(v);
        tokens.back().count++;
    }
};

// Names run to white space or punctuation, as the importer reads them
// ("O#e" is one name); a '#' or "//" only starts a comment between tokens.
bool Punctuation(char c)
{
    return std::strchr("{};,\"<>", c) != nullptr;
}
bool NameStart(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return !std::isspace(u) && !std::isdigit(u) && !Punctuation(c) && !std::strchr("+-.#/", c) && c != '\0';
}
bool NameChar(char c)
{
    return !std::isspace(static_cast<unsigned char>(c)) && !Punctuation(c) && c != '\0';
}
bool NumberChar(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

Scan TokenizeText(const char* p, const char* end, Stream& s)
{
    while (p < end) {
        const char c = *p;
        if (c == '#' || (c == '/' && p + 1 < end && p[1] == '/')) {
            while (p < end && *p != '\n') ++p;
        } else if (c == '{') {
            s.Push(Tk::Open);
            ++p;
        } else if (c == '}') {
            s.Push(Tk::Close);
            ++p;
        } else if (c == '"') {
            const char* close = static_cast<const char*>(std::memchr(p + 1, '"', size_t(end - p - 1)));
            if (!close) return Scan::Stop;
            s.Push(Tk::String);
            p = close + 1;
        } else if (c == '<') {
            const char* close = static_cast<const char*>(std::memchr(p + 1, '>', size_t(end - p - 1)));
            if (!close) return Scan::Stop;
            s.Push(Tk::Guid);
            p = close + 1;
        } else if (NameStart(c)) {
            const char* q = p;
            while (q < end && NameChar(*q)) ++q;
            std::string name(p, q);
            s.Push(name == "template" ? Tk::Template : Tk::Name, name);
            p = q;
        } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.') {
            char buffer[64];
            size_t n = 0;
            while (p < end && NumberChar(*p) && n + 1 < sizeof(buffer)) buffer[n++] = *p++;
            buffer[n] = '\0';
            while (p < end && NumberChar(*p)) ++p;  // past a number too long to matter
            s.Number(std::strtod(buffer, nullptr));
        } else {
            ++p;  // white space, separators and the characters of template definitions
        }
    }
    return Scan::Ok;
}

uint32_t Word32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

Scan TokenizeBinary(const uint8_t* p, const uint8_t* end, size_t floatSize, Stream& s)
{
    while (end - p >= 2) {
        const unsigned code = unsigned(p[0]) | unsigned(p[1]) << 8;
        p += 2;
        const size_t left = size_t(end - p);
        switch (code) {
            case 1:    // name: length, characters
            case 2: {  // string: length, characters (its separator follows as a token)
                if (left < 4) return Scan::Stop;
                const uint32_t n = Word32(p);
                if (n > left - 4) {
                    s.why = "a name or string of " + std::to_string(n) + " bytes runs past the end of the file";
                    return Scan::Refuse;
                }
                if (code == 1)
                    s.Push(Tk::Name, std::string(reinterpret_cast<const char*>(p + 4), n));
                else
                    s.Push(Tk::String);
                p += 4 + n;
                break;
            }
            case 3:  // one integer
                if (left < 4) return Scan::Stop;
                s.Number(double(Word32(p)));
                p += 4;
                break;
            case 5:  // GUID
                if (left < 16) return Scan::Stop;
                s.Push(Tk::Guid);
                p += 16;
                break;
            case 6:    // integer list: count, values
            case 7: {  // float list: count, values of the file's float size
                if (left < 4) return Scan::Stop;
                const uint32_t n = Word32(p);
                const size_t unit = code == 6 ? 4 : floatSize;
                if (n > (left - 4) / unit) {
                    s.why = "a list of " + std::to_string(n) + " values needs more bytes than the file holds";
                    return Scan::Refuse;
                }
                p += 4;
                for (uint32_t i = 0; i < n; ++i, p += unit) {
                    if (code == 6) {
                        s.Number(double(Word32(p)));
                    } else if (unit == 4) {
                        float f;
                        std::memcpy(&f, p, 4);
                        s.Number(double(f));
                    } else {
                        double d;
                        std::memcpy(&d, p, 8);
                        s.Number(d);
                    }
                }
                break;
            }
            case 0x0a:
                s.Push(Tk::Open);
                break;
            case 0x0b:
                s.Push(Tk::Close);
                break;
            case 0x1f:
                s.Push(Tk::Template);
                break;
            default:
                // Punctuation (0x0c ... 0x14) and the type words of template
                // definitions (0x28 ... 0x34) carry nothing to check.
                if ((code >= 0x0c && code <= 0x14) || (code >= 0x28 && code <= 0x34)) break;
                return Scan::Stop;
        }
    }
    return Scan::Ok;
}

class Walker {
public:
    explicit Walker(Stream& s) : s_(s), after_(s.tokens.size() + 1, 0)
    {
        for (size_t i = s.tokens.size(); i-- > 0;)
            after_[i] = after_[i + 1] + (s.tokens[i].kind == Tk::Numbers ? s.tokens[i].count : 0);
    }

    Scan File()
    {
        while (t_ < s_.tokens.size()) {
            Scan r = Next(0);
            if (r != Scan::Ok) return r;
        }
        return Scan::Ok;
    }

private:
    const Token* At(size_t i) const { return i < s_.tokens.size() ? &s_.tokens[i] : nullptr; }
    bool Is(size_t i, Tk kind) const { return At(i) && At(i)->kind == kind; }
    size_t NumbersLeft() const { return t_ < s_.tokens.size() ? after_[t_] - used_ : 0; }
    void Advance()
    {
        ++t_;
        used_ = 0;
    }

    // One item of a body: a nested object, a reference, a template
    // definition, or data passed over.
    Scan Next(int depth)
    {
        if (depth > 64) return Scan::Stop;
        if (Is(t_, Tk::Template)) return SkipTemplate();
        if (Is(t_, Tk::Name) && (Is(t_ + 1, Tk::Open) || (Is(t_ + 1, Tk::Name) && Is(t_ + 2, Tk::Open))))
            return Object(depth);
        if (Is(t_, Tk::Open)) {
            Advance();
            return Body(depth + 1);
        }
        if (Is(t_, Tk::Close)) return Scan::Stop;  // a brace too many
        Advance();
        return Scan::Ok;
    }

    Scan Body(int depth)
    {
        while (t_ < s_.tokens.size()) {
            if (Is(t_, Tk::Close)) {
                Advance();
                return Scan::Ok;
            }
            Scan r = Next(depth);
            if (r != Scan::Ok) return r;
        }
        return Scan::Stop;  // ends inside an object
    }

    Scan SkipTemplate()
    {
        int open = 0;
        for (Advance(); t_ < s_.tokens.size(); Advance()) {
            if (Is(t_, Tk::Open)) ++open;
            if (Is(t_, Tk::Close) && --open == 0) {
                Advance();
                return Scan::Ok;
            }
        }
        return Scan::Stop;
    }

    Scan Object(int depth)
    {
        const std::string type = At(t_)->text;
        Advance();
        if (Is(t_, Tk::Name)) Advance();
        Advance();  // the opening brace
        if (Is(t_, Tk::Guid)) Advance();
        Scan r = Members(type);
        if (r != Scan::Ok) return r;
        return Body(depth + 1);
    }

    // The next value of the object's data; Stop when something else comes first.
    Scan Value(double& v)
    {
        if (!Is(t_, Tk::Numbers)) return Scan::Stop;
        const Token& run = *At(t_);
        v = s_.values[run.first + used_];
        if (++used_ == run.count) Advance();
        return Scan::Ok;
    }

    Scan Skip(size_t n)
    {
        while (n > 0) {
            if (!Is(t_, Tk::Numbers)) return Scan::Stop;
            const size_t here = std::min(n, At(t_)->count - used_);
            used_ += here;
            n -= here;
            if (used_ == At(t_)->count) Advance();
        }
        return Scan::Ok;
    }

    // A count of items of at least `per` values each (0: items that are
    // objects, at least one token each) that must fit in what follows.
    Scan Count(const char* what, size_t per, size_t& n)
    {
        double v = 0;
        Scan r = Value(v);
        if (r != Scan::Ok) return r;
        if (!(v >= 0) || v > 4294967295.0 || v != std::floor(v)) {
            s_.why = std::string("the ") + what + " count is not a count";
            return Scan::Refuse;
        }
        n = size_t(v);
        const size_t room = per ? NumbersLeft() / per : s_.tokens.size() - t_;
        if (n > room) {
            s_.why = "declares " + std::to_string(n) + " " + what + ", more than the rest of the file holds";
            return Scan::Refuse;
        }
        return Scan::Ok;
    }

    // Counted arrays of values, each item `per` values long.
    Scan Array(const char* what, size_t per)
    {
        size_t n = 0;
        Scan r = Count(what, per, n);
        return r != Scan::Ok ? r : Skip(n * per);
    }

    // Faces: a count, then per face an index count and that many indices.
    Scan Faces(const char* what)
    {
        size_t n = 0;
        Scan r = Count(what, 1, n);
        for (size_t i = 0; r == Scan::Ok && i < n; ++i) r = Array("face indices", 1);
        return r;
    }

    Scan Members(const std::string& type)
    {
        Scan r = Scan::Ok;
        size_t n = 0;
        double ignored = 0;
        if (type == "Mesh") {
            r = Array("vertices", 3);
            if (r == Scan::Ok) r = Faces("faces");
        } else if (type == "MeshNormals") {
            r = Array("normals", 3);
            if (r == Scan::Ok) r = Faces("normal faces");
        } else if (type == "MeshTextureCoords") {
            r = Array("texture coordinates", 2);
        } else if (type == "MeshVertexColors") {
            r = Array("vertex colours", 5);
        } else if (type == "MeshFaceWraps") {
            r = Array("face wraps", 2);
        } else if (type == "MeshMaterialList") {
            r = Count("materials", 0, n);
            if (r == Scan::Ok) r = Array("material indices", 1);
        } else if (type == "SkinWeights") {
            if (Is(t_, Tk::String)) Advance();
            r = Count("weights", 2, n);
            if (r == Scan::Ok) r = Skip(2 * n);
        } else if (type == "DeclData") {
            r = Array("declaration elements", 4);
            if (r == Scan::Ok) r = Array("declaration words", 1);
        } else if (type == "FVFData") {
            r = Value(ignored);
            if (r == Scan::Ok) r = Array("vertex data words", 1);
        } else if (type == "AnimationKey") {
            r = Value(ignored);
            if (r == Scan::Ok) r = Count("animation keys", 2, n);
            for (size_t i = 0; r == Scan::Ok && i < n; ++i) {
                r = Value(ignored);
                if (r == Scan::Ok) r = Array("key values", 1);
            }
        }
        return r;
    }

    Stream& s_;
    std::vector<size_t> after_;  // values in tokens i ... end
    size_t t_ = 0;               // current token
    size_t used_ = 0;            // values of the current run already taken
};

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

    void Walk(const aiNode* node, const aiMatrix4x4& parent, int depth)
    {
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

    void Finish()
    {
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
    uint32_t Vertex(const aiMesh* mesh, unsigned i, const aiMatrix4x4& world, const aiMatrix3x3& nm)
    {
        VertexKey key{};
        aiVector3D p = world * mesh->mVertices[i];
        key.p[0] = p.x;
        key.p[1] = p.y;
        key.p[2] = p.z;
        if (out_.hasNormals && mesh->mNormals) {
            aiVector3D n = nm * mesh->mNormals[i];
            n.NormalizeSafe();
            key.n[0] = n.x;
            key.n[1] = n.y;
            key.n[2] = n.z;
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

    void AddMesh(const aiMesh* mesh, const aiMatrix4x4& world, const aiMatrix3x3& nm)
    {
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

void Colour(const aiMaterial* m, const char* key, unsigned type, unsigned index, float* rgba)
{
    aiColor4D c;
    if (m->Get(key, type, index, c) == AI_SUCCESS) {
        rgba[0] = c.r;
        rgba[1] = c.g;
        rgba[2] = c.b;
        rgba[3] = c.a;
    }
}

}  // namespace

bool PrescanXFile(const uint8_t* data, size_t size, std::string* error)
{
    if (!data || size < 16) return true;
    const char* format = reinterpret_cast<const char*>(data) + 8;
    Stream s;
    Scan r = Scan::Stop;
    if (std::memcmp(format, "txt ", 4) == 0)
        r = TokenizeText(reinterpret_cast<const char*>(data) + 16, reinterpret_cast<const char*>(data) + size, s);
    else if (std::memcmp(format, "bin ", 4) == 0)
        r = TokenizeBinary(data + 16, data + size, std::memcmp(data + 12, "0064", 4) == 0 ? 8 : 4, s);
    if (r == Scan::Ok) r = Walker(s).File();
    if (r != Scan::Refuse) return true;
    if (error) *error = "corrupt .X file: " + s.why;
    return false;
}

bool AcceptXFile(const uint8_t* data, size_t size, std::string* error)
{
    const char* why = nullptr;
    if (!data || size < 16)
        why = "not an .X file: too short";
    else if (std::memcmp(data, "xof ", 4) != 0)
        why = "not an .X file: no 'xof ' header";
    if (why) {
        if (error) *error = why;
        return false;
    }
    return PrescanXFile(data, size, error);
}

bool ParseXFile(const uint8_t* data, size_t size, XMeshData& out, std::string* error)
{
    out = XMeshData();
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        out = XMeshData();
        return false;
    };
    if (!AcceptXFile(data, size, error)) return false;
    Assimp::Importer importer;
    // Left-handed positions, clockwise winding and v downward as the file
    // has them; polygons are fanned by hand below, so no triangulation here.
    const aiScene* scene =
        importer.ReadFileFromMemory(data, size, aiProcess_ConvertToLeftHanded | aiProcess_ValidateDataStructure, "x");
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

}  // namespace detail
}  // namespace d3dx
