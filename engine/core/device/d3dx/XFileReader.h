// .X mesh files to plain vertex, index and material arrays, with no device
// involved, the way D3DX sees the file: every mesh of the frame hierarchy
// merged in model space, polygons fanned into triangles, left-handed
// positions, clockwise front faces, the file's own texture coordinates, one
// attribute (material index) per face, faces sorted by attribute.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace d3dx {
namespace detail {

struct XMaterial {
    float diffuse[4] = {1, 1, 1, 1};  // r, g, b, a: the file's faceColor
    float specular[4] = {0, 0, 0, 1};
    float emissive[4] = {0, 0, 0, 1};
    float power = 0;
    bool hasTexture = false;
    std::string textureFile;  // as written in TextureFilename
};

struct XMeshData {
    bool hasNormals = false;
    bool hasTexCoords = false;
    std::vector<float> positions;      // 3 per vertex
    std::vector<float> normals;        // 3 per vertex, when hasNormals
    std::vector<float> texCoords;      // 2 per vertex, when hasTexCoords
    std::vector<uint32_t> indices;     // 3 per face, faces in attribute order
    std::vector<uint32_t> attributes;  // one per face, ascending
    std::vector<XMaterial> materials;

    size_t VertexCount() const { return positions.size() / 3; }
    size_t FaceCount() const { return attributes.size(); }
};

// Parses a whole .X file (text or binary; compressed ones are refused) held
// in memory. False, with the reader's message in error, for an empty,
// truncated or corrupt file or one without any triangle; out is then empty.
// The importer runs only in the helper program d3dx-xfile-helper, found
// in the vorpex/ folder beside this library (an install), beside the
// library or beside the program, and started on first use; without it
// every read fails with a message that says so (and one line on stderr). A
// file whose counts exceed its size, that indexes past its arrays or that
// the pre-scan cannot follow is refused before the importer sees it.
bool ReadXFile(const uint8_t* data, size_t size, XMeshData& out, std::string* error);

// The helper's process id while one runs, else 0 (for tests).
int XFileHelperProcessId();

// For tests: stops a running helper and takes the helper program from path
// from now on (empty: the one beside the library or the program again).
void SetXFileHelperPathForTests(const std::string& path);

}  // namespace detail
}  // namespace d3dx
