#include "detail/XFileReader.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

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

bool ReadXFile(const uint8_t* data, size_t size, XMeshData& out, std::string* error) {
    out = XMeshData();
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        out = XMeshData();
        return false;
    };
    if (!data || size < 16) return fail("not an .X file: too short");
    if (std::memcmp(data, "xof ", 4) != 0) return fail("not an .X file: no 'xof ' header");

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

}  // namespace detail
}  // namespace d3dx
