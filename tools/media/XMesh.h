// A triangle mesh with per-vertex normals and texture coordinates and a
// material per face, written as a text .X file ("xof 0303txt 0032": one Frame
// holding one Mesh with MeshNormals, MeshTextureCoords and MeshMaterialList).
//
// Coordinates are Direct3D's: left-handed, y up; front faces are clockwise
// seen from outside, so cross(b - a, c - a) points out of the solid; texture
// v runs down the image (v = 0 is the top row).
#pragma once

#include <array>
#include <string>
#include <vector>

namespace media {

struct Vec {
    float x = 0, y = 0, z = 0;
};

struct XMaterial {
    float r = 1, g = 1, b = 1, a = 1;  // faceColor (the diffuse colour)
    float power = 0;
    Vec specular;
    Vec emissive;
    std::string texture;  // TextureFilename; empty writes none
};

struct XVertex {
    Vec position;
    Vec normal;
    float u = 0, v = 0;
};

class XMesh {
public:
    explicit XMesh(std::string name) : name_(std::move(name)) {}

    int AddMaterial(const XMaterial& material);
    int AddVertex(const Vec& position, const Vec& normal, float u, float v);
    // Adds triangle a, b, c, reversing its order when needed so that it is
    // front-facing from the side its vertex normals point to.
    void AddTriangle(int a, int b, int c, int material);
    void AddQuad(int a, int b, int c, int d, int material);  // a b c d around the edge

    const std::string& Name() const { return name_; }
    const std::vector<XVertex>& Vertices() const { return vertices_; }
    const std::vector<std::array<int, 3>>& Faces() const { return faces_; }
    const std::vector<int>& FaceMaterials() const { return faceMaterials_; }
    const std::vector<XMaterial>& Materials() const { return materials_; }

    std::string ToText() const;  // the whole .X file

private:
    std::string name_;
    std::vector<XVertex> vertices_;
    std::vector<std::array<int, 3>> faces_;
    std::vector<int> faceMaterials_;
    std::vector<XMaterial> materials_;
};

}  // namespace media
