// The fixed-function pipeline as generated GLSL: a key of the states that
// shape the program, the program built from it, and its uniform locations.
#pragma once

#include <epoxy/gl.h>

#include <stdint.h>
#include <string.h>

#include <string>

namespace d3d9gl {

constexpr int kMaxLights = 8;
constexpr int kMaxFFStages = 4;  // texture stages the generated programs combine
constexpr int kMaxTexCoords = 8;

// Attribute locations shared by every program and the vertex layout code.
enum AttribLocation {
    kAttrPosition = 0,
    kAttrNormal = 1,
    kAttrDiffuse = 2,
    kAttrSpecular = 3,
    kAttrPSize = 4,
    kAttrTex0 = 5,  // .. kAttrTex0 + 7
};

struct StageKey {
    uint8_t colorOp, colorArg0, colorArg1, colorArg2;
    uint8_t alphaOp, alphaArg0, alphaArg1, alphaArg2;
    uint8_t texCoord;  // texture coordinate set (0xff: none)
    uint8_t hasTexture;
    // Texture transform: output count 1..4 (0: none) and whether the
    // coordinates are projected; both 0 unless the stage transforms.
    uint8_t texTransformCount, texProjected;
    uint8_t texComps;  // components of the source set, where a transform reads them
    uint8_t texGen;    // 0 the vertex's set, else D3DTSS_TCI_* >> 16
    uint8_t srgbRead;  // D3DSAMP_SRGBTEXTURE: texels decoded from sRGB
};

// Where the fog factor comes from.
enum FogKind : uint8_t {
    kFogNone = 0,
    kFogVertex = 1,    // fogMode's formula per vertex, by eye-space depth
    kFogTable = 2,     // fogMode's formula per pixel, by device depth or w
    kFogSpecular = 3,  // the specular colour's alpha (no formula, or pre-transformed vertices)
};

// All bytes are significant: build it zeroed (FFKey k{} then memset).
struct FFKey {
    uint8_t rhw;  // XYZRHW positions
    uint8_t hasNormal, hasDiffuse, hasSpecular, hasPSize;
    uint8_t texCount;
    uint8_t lighting;
    uint8_t lightCount;
    uint8_t lightType[kMaxLights];                             // D3DLIGHTTYPE of each enabled light, packed
    uint8_t diffuseSrc, ambientSrc, specularSrc, emissiveSrc;  // 0 material, 1 vertex diffuse, 2 vertex specular
    uint8_t specularEnable, normalizeNormals, localViewer;
    uint8_t fogMode;    // D3DFOGMODE of the fog formula, 0 without one
    uint8_t fogKind;    // FogKind
    uint8_t fogByZ;     // table fog by device depth (orthographic projections), else by w
    uint8_t flatShade;  // D3DSHADE_FLAT: colours from each triangle's first vertex
    uint8_t srgbWrite;  // D3DRS_SRGBWRITEENABLE: the colour written encoded to sRGB
    uint8_t alphaFunc;  // D3DCMPFUNC, 0 when the test is off
    uint8_t points, pointSprite, pointScale;
    uint8_t stageCount;
    StageKey stages[kMaxFFStages];

    bool operator==(const FFKey& o) const { return memcmp(this, &o, sizeof(*this)) == 0; }
};

struct FFKeyHash {
    size_t operator()(const FFKey& k) const
    {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(&k);
        uint64_t h = 1469598103934665603ull;
        for (size_t i = 0; i < sizeof(k); ++i) h = (h ^ p[i]) * 1099511628211ull;
        return (size_t)h;
    }
};

struct FFProgram {
    GLuint program = 0;
    // Uniform locations (-1 when unused).
    GLint wvp = -1, wv = -1, normalMat = -1, posFixup = -1, rhwScale = -1;
    GLint matDiffuse = -1, matAmbient = -1, matSpecular = -1, matEmissive = -1, matPower = -1;
    GLint globalAmbient = -1;
    GLint lightDiffuse = -1, lightAmbient = -1, lightSpecular = -1, lightDir = -1, lightPos = -1, lightAtt = -1;
    GLint lightSpot = -1, texMat = -1;
    GLint pointParams = -1, pointScale = -1;
    GLint tfactor = -1, fogColor = -1, fogParams = -1, alphaRef = -1;
    GLint sampler[kMaxFFStages] = {-1, -1, -1, -1};
    // Serial numbers of the device state last uploaded to this program.
    uint64_t transformSerial = 0, lightSerial = 0, miscSerial = 0;
};

// Builds the program for the key; program 0 on a compile or link error
// (logged once on standard error).
FFProgram BuildFFProgram(const FFKey& key);

// GLSL text of the two stages, for tests and diagnostics.
std::string FFVertexSource(const FFKey& key);
std::string FFFragmentSource(const FFKey& key);

// The position fix-up shared with custom shaders (see DeviceGL.h).
extern const char* const kPositionFixupGLSL;

}  // namespace d3d9gl
