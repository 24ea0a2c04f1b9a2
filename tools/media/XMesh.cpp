#include "media/XMesh.h"

#include <cstdio>

namespace media {
namespace {

Vec Sub(const Vec& a, const Vec& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec Cross(const Vec& a, const Vec& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(const Vec& a, const Vec& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Fixed notation keeps the files byte-identical from run to run; "-0.000000"
// is folded into "0.000000".
std::string F(float v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6f", static_cast<double>(v));
    std::string s = buf;
    if (s == "-0.000000") s = "0.000000";
    return s;
}

void Line(std::string& out, int indent, const std::string& text)
{
    out.append(static_cast<std::size_t>(indent), ' ');
    out += text;
    out += '\n';
}

// Writes "count;" then the items, comma-separated, the last closed by ";;".
template <class Item>
void List(std::string& out, int indent, std::size_t count, Item item)
{
    Line(out, indent, std::to_string(count) + ";");
    for (std::size_t i = 0; i < count; ++i) Line(out, indent, item(i) + (i + 1 < count ? "," : ";"));
}

}  // namespace

int XMesh::AddMaterial(const XMaterial& material)
{
    materials_.push_back(material);
    return static_cast<int>(materials_.size()) - 1;
}

int XMesh::AddVertex(const Vec& position, const Vec& normal, float u, float v)
{
    vertices_.push_back({position, normal, u, v});
    return static_cast<int>(vertices_.size()) - 1;
}

void XMesh::AddTriangle(int a, int b, int c, int material)
{
    const Vec& pa = vertices_[a].position;
    const Vec n = Cross(Sub(vertices_[b].position, pa), Sub(vertices_[c].position, pa));
    const Vec& na = vertices_[a].normal;
    const Vec& nb = vertices_[b].normal;
    const Vec& nc = vertices_[c].normal;
    const Vec outward{na.x + nb.x + nc.x, na.y + nb.y + nc.y, na.z + nb.z + nc.z};
    if (Dot(n, outward) < 0)
        faces_.push_back({a, c, b});
    else
        faces_.push_back({a, b, c});
    faceMaterials_.push_back(material);
}

void XMesh::AddQuad(int a, int b, int c, int d, int material)
{
    AddTriangle(a, b, c, material);
    AddTriangle(a, c, d, material);
}

std::string XMesh::ToText() const
{
    std::string out = "xof 0303txt 0032\n\n";
    Line(out, 0, "Frame " + name_ + " {");
    Line(out, 1, "FrameTransformMatrix {");
    Line(out, 2,
         "1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,"
         "0.000000,0.000000,1.000000,0.000000,0.000000,0.000000,0.000000,1.000000;;");
    Line(out, 1, "}");
    Line(out, 1, "Mesh " + name_ + "Mesh {");
    auto face = [&](std::size_t i) {
        const auto& f = faces_[i];
        return "3;" + std::to_string(f[0]) + "," + std::to_string(f[1]) + "," + std::to_string(f[2]) + ";";
    };
    List(out, 2, vertices_.size(), [&](std::size_t i) {
        const Vec& p = vertices_[i].position;
        return F(p.x) + ";" + F(p.y) + ";" + F(p.z) + ";";
    });
    List(out, 2, faces_.size(), face);

    Line(out, 2, "MeshNormals {");
    List(out, 3, vertices_.size(), [&](std::size_t i) {
        const Vec& n = vertices_[i].normal;
        return F(n.x) + ";" + F(n.y) + ";" + F(n.z) + ";";
    });
    List(out, 3, faces_.size(), face);
    Line(out, 2, "}");

    Line(out, 2, "MeshTextureCoords {");
    List(out, 3, vertices_.size(), [&](std::size_t i) { return F(vertices_[i].u) + ";" + F(vertices_[i].v) + ";"; });
    Line(out, 2, "}");

    Line(out, 2, "MeshMaterialList {");
    Line(out, 3, std::to_string(materials_.size()) + ";");
    Line(out, 3, std::to_string(faceMaterials_.size()) + ";");
    for (std::size_t i = 0; i < faceMaterials_.size(); ++i)
        Line(out, 3, std::to_string(faceMaterials_[i]) + (i + 1 < faceMaterials_.size() ? "," : ";"));
    for (const XMaterial& m : materials_) {
        Line(out, 3, "Material {");
        Line(out, 4, F(m.r) + ";" + F(m.g) + ";" + F(m.b) + ";" + F(m.a) + ";;");
        Line(out, 4, F(m.power) + ";");
        Line(out, 4, F(m.specular.x) + ";" + F(m.specular.y) + ";" + F(m.specular.z) + ";;");
        Line(out, 4, F(m.emissive.x) + ";" + F(m.emissive.y) + ";" + F(m.emissive.z) + ";;");
        if (!m.texture.empty()) {
            Line(out, 4, "TextureFilename {");
            Line(out, 5, "\"" + m.texture + "\";");
            Line(out, 4, "}");
        }
        Line(out, 3, "}");
    }
    Line(out, 2, "}");
    Line(out, 1, "}");
    Line(out, 0, "}");
    return out;
}

}  // namespace media
