#include "media/Meshes.h"

#include <cmath>

namespace media {
namespace {

constexpr float kPi = 3.14159265358979f;

XMaterial Textured(const char* texture, float diffuse, float alpha = 1.0f)
{
    XMaterial m;
    m.r = m.g = m.b = diffuse;
    m.a = alpha;
    m.texture = texture;
    return m;
}

// A flat quad facing up at height y, spanning x0..x1 and z0..z1, with the
// texture's top edge at the far (high z) side.
void FlatQuad(XMesh& mesh, float x0, float z0, float x1, float z1, float y, float u0, float v0, float u1, float v1,
              int material)
{
    const Vec up{0, 1, 0};
    const int a = mesh.AddVertex({x0, y, z0}, up, u0, v1);
    const int b = mesh.AddVertex({x0, y, z1}, up, u0, v0);
    const int c = mesh.AddVertex({x1, y, z1}, up, u1, v0);
    const int d = mesh.AddVertex({x1, y, z0}, up, u1, v1);
    mesh.AddQuad(a, b, c, d, material);
}

// A flat disc or annulus facing up, textured by planar projection of the
// square -extent..extent onto the whole image.
void FlatRing(XMesh& mesh, float inner, float outer, float y, float extent, int segments, int material)
{
    const Vec up{0, 1, 0};
    auto uv = [&](float x, float z, float& u, float& v) {
        u = 0.5f + x / (2 * extent);
        v = 0.5f - z / (2 * extent);
    };
    if (inner <= 0) {
        const int centre = mesh.AddVertex({0, y, 0}, up, 0.5f, 0.5f);
        int first = -1, prev = -1;
        for (int i = 0; i < segments; ++i) {
            const float t = 2 * kPi * i / segments;
            const float x = outer * std::cos(t), z = outer * std::sin(t);
            float u, v;
            uv(x, z, u, v);
            const int cur = mesh.AddVertex({x, y, z}, up, u, v);
            if (prev >= 0) mesh.AddTriangle(centre, prev, cur, material);
            if (first < 0) first = cur;
            prev = cur;
        }
        mesh.AddTriangle(centre, prev, first, material);
        return;
    }
    std::vector<int> in, out;
    for (int i = 0; i < segments; ++i) {
        const float t = 2 * kPi * i / segments;
        const float c = std::cos(t), s = std::sin(t);
        float u, v;
        uv(inner * c, inner * s, u, v);
        in.push_back(mesh.AddVertex({inner * c, y, inner * s}, up, u, v));
        uv(outer * c, outer * s, u, v);
        out.push_back(mesh.AddVertex({outer * c, y, outer * s}, up, u, v));
    }
    for (int i = 0; i < segments; ++i) {
        const int j = (i + 1) % segments;
        mesh.AddQuad(in[i], out[i], out[j], in[j], material);
    }
}

}  // namespace

XMesh MakeBoardMesh()
{
    // The board model is drawn at (45, 0, 45), so model x = -45 is world x = 0,
    // a tile edge: u = (x + 45) / 2 puts every whole u on a tile edge.
    XMesh mesh("Board");
    const int mat = mesh.AddMaterial(Textured("Grid.tga", kLevelFaceDiffuse));
    const float h = 45.0f, bottom = -2.0f;
    auto U = [&](float x) { return (x + h) * 0.5f; };
    auto V = [&](float z) { return (h - z) * 0.5f; };
    FlatQuad(mesh, -h, -h, h, h, 0.0f, U(-h), V(h), U(h), V(-h), mat);

    // Sides: one texture row down the 2-unit depth, one cell per tile along.
    struct Side {
        Vec a, b, n;
    };
    const Side sides[4] = {{{-h, 0, -h}, {h, 0, -h}, {0, 0, -1}},
                           {{h, 0, -h}, {h, 0, h}, {1, 0, 0}},
                           {{h, 0, h}, {-h, 0, h}, {0, 0, 1}},
                           {{-h, 0, h}, {-h, 0, -h}, {-1, 0, 0}}};
    for (const Side& s : sides) {
        const float len = std::hypot(s.b.x - s.a.x, s.b.z - s.a.z) * 0.5f;
        const int a = mesh.AddVertex(s.a, s.n, 0, 0);
        const int b = mesh.AddVertex(s.b, s.n, len, 0);
        const int c = mesh.AddVertex({s.b.x, bottom, s.b.z}, s.n, len, 1);
        const int d = mesh.AddVertex({s.a.x, bottom, s.a.z}, s.n, 0, 1);
        mesh.AddQuad(a, b, c, d, mat);
    }
    const Vec down{0, -1, 0};
    const int a = mesh.AddVertex({-h, bottom, -h}, down, 0, 0);
    const int b = mesh.AddVertex({h, bottom, -h}, down, 45, 0);
    const int c = mesh.AddVertex({h, bottom, h}, down, 45, 45);
    const int d = mesh.AddVertex({-h, bottom, h}, down, 0, 45);
    mesh.AddQuad(a, b, c, d, mat);
    return mesh;
}

XMesh MakeBallMesh()
{
    // Eight grid cells around the equator and four from pole to pole, so the
    // lines on the ball show every turn it makes.
    XMesh mesh("Ball");
    const int mat = mesh.AddMaterial(Textured("Grid.tga", 1.0f));
    const int slices = 32, stacks = 16;
    std::vector<int> idx;
    for (int i = 0; i <= stacks; ++i) {
        const float phi = kPi * i / stacks;  // 0 at the top pole
        for (int j = 0; j <= slices; ++j) {
            const float theta = 2 * kPi * j / slices;
            const Vec n{std::sin(phi) * std::cos(theta), std::cos(phi), std::sin(phi) * std::sin(theta)};
            idx.push_back(mesh.AddVertex(n, n, 8.0f * j / slices, 4.0f * i / stacks));
        }
    }
    for (int i = 0; i < stacks; ++i)
        for (int j = 0; j < slices; ++j) {
            const int a = idx[i * (slices + 1) + j], b = idx[i * (slices + 1) + j + 1];
            const int c = idx[(i + 1) * (slices + 1) + j + 1], d = idx[(i + 1) * (slices + 1) + j];
            if (i > 0) mesh.AddTriangle(a, b, c, mat);
            if (i < stacks - 1) mesh.AddTriangle(a, c, d, mat);
        }
    return mesh;
}

XMesh MakeShadowPlaneMesh()
{
    // The game draws this quad at the ball centre's height (1.1 for the ball,
    // the coin's own height for coins) with depth testing off; it lies lower
    // by that height so the shadow lands on the board under the object.
    XMesh mesh("ShadowPlane");
    const int mat = mesh.AddMaterial(Textured("BallShadow.tga", 1.0f));
    const float s = kShadowPlaneHalf;
    FlatQuad(mesh, -s, -s, s, s, -kShadowPlaneDrop, 0, 0, 1, 1, mat);
    return mesh;
}

XMesh MakeCoinMesh()
{
    // Faces toward -z and +z; the emblem is mirrored on the back so it reads
    // the right way round from both sides. The rim samples the gold edge ring.
    XMesh mesh("Coin");
    const int mat = mesh.AddMaterial(Textured("coin.tga", 1.0f));
    const int segments = 32;
    const float r = kCoinRadius, t = kCoinHalfThickness, rimUv = 0.47f;
    for (int side = 0; side < 2; ++side) {
        const float z = side == 0 ? -t : t;
        const Vec n{0, 0, side == 0 ? -1.0f : 1.0f};
        const float flip = side == 0 ? 1.0f : -1.0f;
        const int centre = mesh.AddVertex({0, 0, z}, n, 0.5f, 0.5f);
        int first = -1, prev = -1;
        for (int i = 0; i < segments; ++i) {
            const float a = 2 * kPi * i / segments;
            const float x = r * std::cos(a), y = r * std::sin(a);
            const int cur = mesh.AddVertex({x, y, z}, n, 0.5f + flip * 0.5f * x / r, 0.5f - 0.5f * y / r);
            if (prev >= 0) mesh.AddTriangle(centre, prev, cur, mat);
            if (first < 0) first = cur;
            prev = cur;
        }
        mesh.AddTriangle(centre, prev, first, mat);
    }
    for (int i = 0; i < segments; ++i) {
        const float a0 = 2 * kPi * i / segments, a1 = 2 * kPi * (i + 1) / segments;
        const Vec n0{std::cos(a0), std::sin(a0), 0}, n1{std::cos(a1), std::sin(a1), 0};
        auto uvAt = [&](float a, float& u, float& v) {
            u = 0.5f + rimUv * std::cos(a);
            v = 0.5f - rimUv * std::sin(a);
        };
        float u0, v0, u1, v1;
        uvAt(a0, u0, v0);
        uvAt(a1, u1, v1);
        const int p = mesh.AddVertex({r * n0.x, r * n0.y, -t}, n0, u0, v0);
        const int q = mesh.AddVertex({r * n1.x, r * n1.y, -t}, n1, u1, v1);
        const int s = mesh.AddVertex({r * n1.x, r * n1.y, t}, n1, u1, v1);
        const int w = mesh.AddVertex({r * n0.x, r * n0.y, t}, n0, u0, v0);
        mesh.AddQuad(p, q, s, w, mat);
    }
    return mesh;
}

XMesh MakeBombPlaneMesh()
{
    XMesh mesh("BombPlane");
    const int mat = mesh.AddMaterial(Textured("Bomb.tga", kLevelFaceDiffuse));
    FlatQuad(mesh, -1, -1, 1, 1, 0.0f, 0, 0, 1, 1, mat);
    return mesh;
}

XMesh MakeGoalMesh()
{
    // Flat on the board, a little above it so the board never shows through.
    // The ring's middle (2.0) marks how close the ball must come: within 2.3
    // of the goal point with its centre 1.0 up is 2.07 across the board.
    XMesh mesh("Goal");
    const int pad = mesh.AddMaterial(Textured("goal.tga", kLevelFaceDiffuse));
    const int ring = mesh.AddMaterial(Textured("ring.tga", kLevelFaceDiffuse));
    FlatRing(mesh, 0.0f, kGoalPadRadius, 0.02f, kGoalPadRadius, 32, pad);
    FlatRing(mesh, kGoalRingInner, kGoalRingOuter, 0.03f, kGoalRingOuter, 48, ring);
    return mesh;
}

}  // namespace media
