// The D3DX readers without a device: image files, .X files, effect files,
// font faces and text layout.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <d3dx9.h>

#include "D3DXTestFiles.h"
#include "d3dx/EffectFile.h"
#include "d3dx/FontFace.h"
#include "d3dx/GlyphAtlas.h"
#include "d3dx/ImageCodec.h"
#include "d3dx/TextLayout.h"
#include "d3dx/XFileReader.h"

using namespace d3dx::detail;
using namespace d3dxtest;

namespace {

// ---------------------------------------------------------------------------
// Images

TEST(D3DXImage, TgaAndBmpDecodeToTheirOwnPixelsTopRowFirst)
{
    std::vector<uint32_t> src = Quadrants(6, 4);
    src[1] = 0x80123456u;  // one translucent texel
    ArgbImage tga;
    std::vector<uint8_t> bytes = Tga32(6, 4, src);
    ASSERT_TRUE(DecodeImage(bytes.data(), bytes.size(), tga, nullptr));
    EXPECT_EQ(tga.width, 6);
    EXPECT_EQ(tga.height, 4);
    EXPECT_EQ(tga.kind, kImageTga);
    EXPECT_EQ(tga.pixels, src);

    src[1] = 0xFF123456u;
    ArgbImage bmp;
    bytes = Bmp24(6, 4, src);
    ASSERT_TRUE(DecodeImage(bytes.data(), bytes.size(), bmp, nullptr));
    EXPECT_EQ(bmp.kind, kImageBmp);
    EXPECT_FALSE(bmp.hasAlpha);
    EXPECT_EQ(bmp.pixels, src);
}

TEST(D3DXImage, PngAndJpegRoundTripThroughTheEncoder)
{
    std::vector<uint32_t> src = Quadrants(16, 16);
    std::vector<uint8_t> png, jpg;
    ASSERT_TRUE(EncodeImage(kImagePng, 16, 16, src.data(), png));
    ASSERT_TRUE(EncodeImage(kImageJpg, 16, 16, src.data(), jpg));
    ArgbImage a, b;
    ASSERT_TRUE(DecodeImage(png.data(), png.size(), a, nullptr));
    ASSERT_TRUE(DecodeImage(jpg.data(), jpg.size(), b, nullptr));
    EXPECT_EQ(a.kind, kImagePng);
    EXPECT_EQ(b.kind, kImageJpg);
    EXPECT_EQ(a.pixels, src);
    // JPEG is lossy: every channel of the quadrant centres within a few steps.
    for (int y : {3, 12})
        for (int x : {3, 12}) {
            uint32_t want = src[size_t(y) * 16 + x], got = b.pixels[size_t(y) * 16 + x];
            for (int s = 0; s < 24; s += 8)
                EXPECT_NEAR(int((want >> s) & 0xFF), int((got >> s) & 0xFF), 12) << x << "," << y;
        }
}

TEST(D3DXImage, ImageInfoReportsTheSourceSize)
{
    std::string path = ScratchPath("info300x200.tga");
    ASSERT_TRUE(WriteBytes(path, Tga32(300, 200, std::vector<uint32_t>(300 * 200, 0xFF808080u))));
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXGetImageInfoFromFileA(path.c_str(), &info), D3D_OK);
    EXPECT_EQ(info.Width, 300u);
    EXPECT_EQ(info.Height, 200u);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_TGA);
    // The system's own names use backslashes.
    std::string backslashed = "d3dx_scratch\\info300x200.tga";
    EXPECT_EQ(D3DXGetImageInfoFromFileA(backslashed.c_str(), &info), D3D_OK);
}

TEST(D3DXImage, ColourKeyMakesMatchingTexelsTransparentBlack)
{
    ArgbImage img;
    img.width = 3;
    img.height = 1;
    img.pixels = {0xFF000000u, 0xFF000001u, 0x00000000u};
    ApplyColourKey(img, 0xFF000000u);
    EXPECT_EQ(img.pixels[0], 0u);
    EXPECT_EQ(img.pixels[1], 0xFF000001u);  // near misses stay
}

TEST(D3DXImage, PackingToA4R4G4B4KeepsTheTopNibbles)
{
    uint32_t argb[2] = {0xFFF08040u, 0x80123456u};
    uint8_t out[4];
    PackRow(argb, 2, D3DFMT_A4R4G4B4, out);
    EXPECT_EQ(out[0] | (out[1] << 8), 0xFF84);
    EXPECT_EQ(out[2] | (out[3] << 8), 0x8135);
    uint32_t back[2];
    ASSERT_TRUE(UnpackRow(out, 2, D3DFMT_A4R4G4B4, back));
    EXPECT_EQ(back[0], 0xFFFF8844u);
}

TEST(D3DXImage, MipLevelsHalveDownToOneTexel)
{
    ArgbImage img;
    img.width = 4;
    img.height = 2;
    img.pixels = {0xFF000000u, 0xFFFFFFFFu, 0xFF000000u, 0xFF000000u,
                  0xFF000000u, 0xFFFFFFFFu, 0xFF000000u, 0xFF000000u};
    ArgbImage half = HalveImage(img, false);
    ASSERT_EQ(half.width, 2);
    ASSERT_EQ(half.height, 1);
    EXPECT_EQ(half.pixels[0], 0xFF808080u);  // box average of black and white
    EXPECT_EQ(half.pixels[1], 0xFF000000u);
    ArgbImage last = HalveImage(HalveImage(half, false), false);
    EXPECT_EQ(last.width, 1);
    EXPECT_EQ(last.height, 1);
}

TEST(D3DXImage, BadFilesFailWithoutPixels)
{
    std::vector<uint32_t> src = Quadrants(8, 8);
    std::vector<uint8_t> good = Tga32(8, 8, src), png;
    ASSERT_TRUE(EncodeImage(kImagePng, 8, 8, src.data(), png));
    std::vector<std::vector<uint8_t>> bad = {
        {},
        {0x89, 'P', 'N', 'G'},
        std::vector<uint8_t>(good.begin(), good.begin() + 18 + 10),  // truncated pixels
        std::vector<uint8_t>(png.begin(), png.begin() + png.size() / 2),
        std::vector<uint8_t>(64, 0xAB),
    };
    // A TGA that claims 60000 x 60000 pixels.
    std::vector<uint8_t> huge = good;
    huge[12] = huge[14] = 0x60;
    huge[13] = huge[15] = 0xEA;
    bad.push_back(huge);
    for (size_t i = 0; i < bad.size(); ++i) {
        ArgbImage out;
        std::string why;
        EXPECT_FALSE(DecodeImage(bad[i].data(), bad[i].size(), out, &why)) << "case " << i;
        EXPECT_TRUE(out.pixels.empty());
        EXPECT_FALSE(why.empty());
    }
    D3DXIMAGE_INFO info{};
    EXPECT_LT(D3DXGetImageInfoFromFileA("d3dx_scratch/no-such-file.tga", &info), 0);
    std::string empty = ScratchPath("empty.png");
    ASSERT_TRUE(WriteBytes(empty, {}));
    EXPECT_LT(D3DXGetImageInfoFromFileA(empty.c_str(), &info), 0);
}

// ---------------------------------------------------------------------------

// A Huffman table holds at most 256 codes; the decoder fills fixed arrays of
// that size, so a table claiming more is refused before it reads one. The
// table is one the image never uses, so the file is otherwise good.
TEST(D3DXImage, JpegWithAHuffmanTableOfMoreThan256CodesIsRefused)
{
    std::vector<uint32_t> src = Quadrants(16, 16);
    std::vector<uint8_t> jpg;
    ASSERT_TRUE(EncodeImage(kImageJpg, 16, 16, src.data(), jpg));
    auto withTable = [&](int codes) {
        std::vector<uint8_t> out(jpg.begin(), jpg.begin() + 2);  // start of image
        const int length = 2 + 17 + codes;
        out.insert(out.end(), {0xFF, 0xC4, uint8_t(length >> 8), uint8_t(length), 0x03});  // DC table 3
        out.insert(out.end(), 14, 0);
        out.push_back(uint8_t(codes - 255));  // codes of 15 bits
        out.push_back(255);                   // and of 16 bits
        for (int i = 0; i < codes; ++i) out.push_back(uint8_t(i));
        out.insert(out.end(), jpg.begin() + 2, jpg.end());
        return out;
    };
    ArgbImage image;
    std::vector<uint8_t> bytes = withTable(256);
    EXPECT_TRUE(DecodeImage(bytes.data(), bytes.size(), image, nullptr)) << "a full table is allowed";

    bytes = withTable(300);
    std::string why;
    EXPECT_FALSE(DecodeImage(bytes.data(), bytes.size(), image, &why));
    EXPECT_EQ(why, "not a readable TGA, BMP, PNG or JPEG image");
    const std::string path = ScratchPath("300codes.jpg");
    ASSERT_TRUE(WriteBytes(path, bytes));
    D3DXIMAGE_INFO info{};
    EXPECT_EQ(D3DXGetImageInfoFromFileA(path.c_str(), &info), D3DXERR_INVALIDDATA);
}
// .X files

XMeshData ReadText(const std::string& text, bool* ok = nullptr)
{
    XMeshData m;
    bool r = ReadXFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), m, nullptr);
    if (ok) *ok = r;
    return m;
}

TEST(D3DXXFile, TwoMaterialCubeGivesSortedFacesMaterialsAndTextureNames)
{
    bool ok = false;
    XMeshData m = ReadText(kTwoMaterialCube, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(m.VertexCount(), 8u);  // shared corners stay shared
    ASSERT_EQ(m.FaceCount(), 12u);   // six quads fanned into pairs
    for (size_t f = 0; f < 12; ++f) EXPECT_EQ(m.attributes[f], f < 6 ? 0u : 1u) << f;
    ASSERT_EQ(m.materials.size(), 2u);
    EXPECT_FLOAT_EQ(m.materials[0].diffuse[0], 1.0f);
    EXPECT_FLOAT_EQ(m.materials[0].diffuse[2], 0.0f);
    EXPECT_FLOAT_EQ(m.materials[0].power, 8.0f);
    EXPECT_FLOAT_EQ(m.materials[0].specular[0], 0.25f);
    EXPECT_TRUE(m.materials[0].hasTexture);
    EXPECT_EQ(m.materials[0].textureFile, "red.tga");
    EXPECT_FLOAT_EQ(m.materials[1].diffuse[2], 1.0f);
    EXPECT_FALSE(m.materials[1].hasTexture);
    EXPECT_TRUE(m.hasTexCoords);
}

TEST(D3DXXFile, PositionsWindingAndTexCoordsStayInTheFilesConvention)
{
    XMeshData m = ReadText(kTwoMaterialCube);
    ASSERT_EQ(m.FaceCount(), 12u);
    // The first face is the fan (v0, v1, v2) of the file's face 0: corners
    // (-1,-1,-1), (-1,1,-1), (1,1,-1), moved by the frame to z = 4.
    const float want[3][3] = {{-1, -1, 4}, {-1, 1, 4}, {1, 1, 4}};
    const float wantUv[3][2] = {{0, 1}, {0, 0}, {1, 0}};
    for (int k = 0; k < 3; ++k) {
        uint32_t v = m.indices[k];
        for (int c = 0; c < 3; ++c) EXPECT_FLOAT_EQ(m.positions[v * 3 + c], want[k][c]) << k << "," << c;
        EXPECT_NEAR(m.texCoords[v * 2], wantUv[k][0], 1e-6);
        EXPECT_NEAR(m.texCoords[v * 2 + 1], wantUv[k][1], 1e-6);
    }
    // The second triangle of the fan is (v0, v2, v3).
    EXPECT_EQ(m.indices[3], m.indices[0]);
    EXPECT_EQ(m.indices[4], m.indices[2]);
    // The one odd texture coordinate of the file (corner 7) reads back as written.
    bool found = false;
    for (size_t v = 0; v < m.VertexCount(); ++v)
        if (m.positions[v * 3] == 1 && m.positions[v * 3 + 1] == -1 && m.positions[v * 3 + 2] == 6) {
            EXPECT_NEAR(m.texCoords[v * 2], 0.25, 1e-6);
            EXPECT_NEAR(m.texCoords[v * 2 + 1], 0.75, 1e-6);
            found = true;
        }
    EXPECT_TRUE(found);
}

TEST(D3DXXFile, NestedFramesAreMergedWithTheirTransforms)
{
    const char* text = R"(xof 0303txt 0032
Frame A {
 FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 0.0,0.0,5.0,1.0;; }
 Mesh One { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;; }
 Frame B {
  FrameTransformMatrix { 2.0,0.0,0.0,0.0, 0.0,2.0,0.0,0.0, 0.0,0.0,2.0,0.0, 0.0,3.0,0.0,1.0;; }
  Mesh Two { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;; }
 }
}
)";
    bool ok = false;
    XMeshData m = ReadText(text, &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(m.FaceCount(), 2u);
    float maxY = -1e9f, maxX = -1e9f;
    for (size_t v = 0; v < m.VertexCount(); ++v) {
        EXPECT_FLOAT_EQ(m.positions[v * 3 + 2], 5.0f);
        maxY = std::max(maxY, m.positions[v * 3 + 1]);
        maxX = std::max(maxX, m.positions[v * 3]);
    }
    EXPECT_FLOAT_EQ(maxY, 5.0f);  // B's corner (0, 1, 0) scaled by 2, moved up 3
    EXPECT_FLOAT_EQ(maxX, 2.0f);
}

TEST(D3DXXFile, PentagonsFanAroundTheirFirstCorner)
{
    const char* text = R"(xof 0303txt 0032
Mesh P { 5; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 2.0;1.0;0.0;, 1.0;2.0;0.0;, 0.0;2.0;0.0;; 1; 5;0,1,2,3,4;; }
)";
    bool ok = false;
    XMeshData m = ReadText(text, &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(m.FaceCount(), 3u);
    auto x = [&](size_t i) { return m.positions[m.indices[i] * 3]; };
    auto y = [&](size_t i) { return m.positions[m.indices[i] * 3 + 1]; };
    for (size_t f = 0; f < 3; ++f) {
        EXPECT_FLOAT_EQ(x(f * 3), 0.0f);  // every triangle starts at corner 0
        EXPECT_FLOAT_EQ(y(f * 3), 0.0f);
    }
    EXPECT_FLOAT_EQ(x(7), 1.0f);  // (v0, v3, v4)
    EXPECT_FLOAT_EQ(y(7), 2.0f);
}

TEST(D3DXXFile, BadFilesFailCleanly)
{
    std::string cube = kTwoMaterialCube;
    std::vector<std::string> bad = {
        "",
        "xof 0303txt 0032\n",
        "xof 0303txt 0032\nMesh { 3; 0.0;0.0;0.0;, 1.0;0.0;",
        cube.substr(0, cube.size() / 2),
        "xof 0303txt 0032\nMesh { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,9;; }\n",  // index out of range
        "not an x file at all, just words",
        std::string("xof 0303bin 0032") + std::string(40, '\xff'),
        // A material list that names two materials and lists none (this
        // crashes the importer itself, so it must run apart).
        cube.substr(0, cube.find("   { Red }")) + " }\n }\n}\n",
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        XMeshData m;
        std::string why;
        EXPECT_FALSE(ReadXFile(reinterpret_cast<const uint8_t*>(bad[i].data()), bad[i].size(), m, &why)) << i;
        EXPECT_EQ(m.FaceCount(), 0u);
        EXPECT_FALSE(why.empty()) << i;
    }
}

// ---------------------------------------------------------------------------
// Effect files

const char* kEffect = R"(// a test effect
shared {
    uniform mat4 WorldViewProj;
    uniform vec4 Colour;
    uniform sampler2D tex01;
    uniform float Weights[3];
}
technique Main {
    pass P0 {
        vertex {
            in vec4 POSITION;
            void main() { gl_Position = WorldViewProj * POSITION; }
        }
        fragment {
            out vec4 colour;
            void main() { colour = Colour * texture(tex01, vec2(0.5)) * Weights[0]; }
        }
    }
    pass P1 {
        vertex { in vec4 POSITION; void main() { gl_Position = POSITION; } }
        fragment { out vec4 c; uniform float Extra; void main() { c = vec4(Extra); /* } in a comment */ } }
    }
}
technique Other { pass Only { vertex { void main() {} } fragment { void main() {} } } }
)";

TEST(D3DXEffectFile, TechniquesPassesAndParametersByName)
{
    EffectFile f;
    std::string why;
    ASSERT_TRUE(ParseEffectFile(kEffect, std::strlen(kEffect), f, &why)) << why;
    ASSERT_EQ(f.techniques.size(), 2u);
    EXPECT_EQ(f.techniques[0].name, "Main");
    ASSERT_EQ(f.techniques[0].passes.size(), 2u);
    EXPECT_EQ(f.techniques[0].passes[1].name, "P1");
    EXPECT_NE(f.techniques[0].passes[1].fragment.source.find("/* } in a comment */"), std::string::npos);
    ASSERT_NE(f.FindParameter("WorldViewProj"), nullptr);
    EXPECT_EQ(f.FindParameter("WorldViewProj")->type, EffectParamType::Mat4);
    EXPECT_EQ(f.FindParameter("tex01")->type, EffectParamType::Texture);
    EXPECT_EQ(f.FindParameter("Weights")->arraySize, 3);
    EXPECT_NE(f.FindParameter("Extra"), nullptr);  // declared inside a stage
    EXPECT_EQ(f.FindParameter("Missing"), nullptr);
    // The stage text keeps its file line, so compiler messages point into the file.
    std::string src = StageSource(f, f.techniques[0].passes[0].fragment, false);
    EXPECT_EQ(src.rfind("#version", 0), 0u);
    EXPECT_NE(src.find("#line 14"), std::string::npos);
}

TEST(D3DXEffectFile, MalformedFilesNameTheLine)
{
    struct Case {
        const char* text;
        const char* expect;
    } cases[] = {
        {"", "no technique"},
        {"technique T {\n pass P {\n vertex { void main() {} }\n }\n}\n", "line 4"},
        {"technique T {\n}\n", "no pass"},
        {"shared { uniform float a; }\ntechnique T { pass P { vertex { } fragment { } }\n", "expected"},
        {"technique T { pass P { vertex { void main() { } fragment { } } }", "needs a vertex and a fragment"},
        {"technique T { pass P { vertex { void main() { }", "missing '}'"},
        {"bogus T {}", "bogus"},
        {"/* never closed", "unterminated"},
        {"shared { uniform float a; uniform vec2 a; }\ntechnique T { pass P { vertex { } fragment { } } }", "twice"},
    };
    for (const Case& c : cases) {
        EffectFile f;
        std::string why;
        EXPECT_FALSE(ParseEffectFile(c.text, std::strlen(c.text), f, &why)) << c.text;
        EXPECT_NE(why.find(c.expect), std::string::npos) << "got: " << why;
        EXPECT_TRUE(f.techniques.empty());
    }
}

TEST(D3DXEffectFile, TheEnginesEffectsDeclareTheirParameters)
{
    struct Want {
        const char* file;
        std::vector<std::pair<const char*, EffectParamType>> params;
    } wants[] = {
        {KOLVAR_MEDIA_DIR "/fx/water.fx",
         {{"ViewProj", EffectParamType::Mat4},
          {"Mprojtex", EffectParamType::Mat4},
          {"Water", EffectParamType::Texture},
          {"Dudv", EffectParamType::Texture},
          {"DudvOffset", EffectParamType::Float}}},
        {KOLVAR_MEDIA_DIR "/fx/terrain.fx",
         {{"alphatex1", EffectParamType::Texture},
          {"tex01", EffectParamType::Texture},
          {"tex02", EffectParamType::Texture},
          {"tex03", EffectParamType::Texture},
          {"tex04", EffectParamType::Texture},
          {"World", EffectParamType::Mat4},
          {"WorldViewProj", EffectParamType::Mat4}}},
    };
    for (const Want& w : wants) {
        std::vector<uint8_t> bytes = ReadBytes(w.file);
        ASSERT_FALSE(bytes.empty()) << w.file;
        EffectFile f;
        std::string why;
        ASSERT_TRUE(ParseEffectFile(reinterpret_cast<const char*>(bytes.data()), bytes.size(), f, &why))
            << w.file << ": " << why;
        for (const auto& p : w.params) {
            const EffectParameter* got = f.FindParameter(p.first);
            ASSERT_NE(got, nullptr) << w.file << " lacks " << p.first;
            EXPECT_EQ(got->type, p.second) << p.first;
        }
    }
}

// ---------------------------------------------------------------------------
// Font faces and layout

TEST(D3DXFontFace, WindowsNamesResolveToTheirSubstitutes)
{
    struct Case {
        const char* asked;
        const char* family;
    } cases[] = {{"Arial", "Liberation Sans"}, {"Courier New", "Liberation Mono"}, {"Comic Sans MS", "Comic Neue"}};
    for (const Case& c : cases) {
        std::string why;
        auto face = FontFace::Open(c.asked, 18, 0, 400, false, &why);
        ASSERT_TRUE(face) << c.asked << ": " << why;
        EXPECT_EQ(face->Family(), c.family) << c.asked;
    }
}

TEST(D3DXFontFace, PositiveHeightIsTheCellHeight)
{
    for (int h : {12, 18, 72}) {
        auto face = FontFace::Open("Arial", h, 0, 900, false, nullptr);
        ASSERT_TRUE(face);
        EXPECT_EQ(face->Height(), h);
        EXPECT_GT(face->Ascent(), face->Descent());
    }
    // A negative height is the em: the cell is taller than it.
    auto em = FontFace::Open("Arial", -18, 0, 400, false, nullptr);
    ASSERT_TRUE(em);
    EXPECT_GT(em->Height(), 18);
}

TEST(D3DXFontFace, MonospacedAdvancesAreEqualAndHeavyIsWider)
{
    auto mono = FontFace::Open("Courier New", 18, 0, 400, false, nullptr);
    ASSERT_TRUE(mono);
    EXPECT_EQ(mono->Advance('i'), mono->Advance('W'));
    EXPECT_GT(mono->Advance('i'), 0);
    auto regular = FontFace::Open("Arial", 40, 0, 400, false, nullptr);
    auto heavy = FontFace::Open("Arial", 40, 0, 900, false, nullptr);
    ASSERT_TRUE(regular && heavy);
    int r = 0, b = 0;
    for (char c : std::string("Hello World")) {
        r += regular->Advance(uint32_t(c));
        b += heavy->Advance(uint32_t(c));
    }
    EXPECT_GT(b, r);
}

TEST(D3DXGlyphAtlas, GlyphsArePackedOnceWithoutOverlap)
{
    auto face = FontFace::Open("Arial", 50, 0, 400, false, nullptr);
    ASSERT_TRUE(face);
    GlyphAtlas atlas(256);
    std::vector<AtlasGlyph> glyphs;
    for (uint32_t c = 33; c < 127; ++c) {
        const AtlasGlyph* g = atlas.Find(*face, c);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(atlas.Find(*face, c), g);  // cached
        glyphs.push_back(*g);
    }
    EXPECT_GT(atlas.PageCount(), 1);  // 94 glyphs of 50 pixels overflow one 256 page
    for (size_t i = 0; i < glyphs.size(); ++i)
        for (size_t j = i + 1; j < glyphs.size(); ++j) {
            const AtlasGlyph &a = glyphs[i], &b = glyphs[j];
            if (a.page != b.page || !a.width || !b.width) continue;
            bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y || b.y + b.height <= a.y;
            EXPECT_TRUE(apart) << char(33 + i) << " overlaps " << char(33 + j);
        }
    // Ink was written where the glyph sits.
    const AtlasGlyph* m = atlas.Find(*face, 'M');
    const uint8_t* page = atlas.PageCoverage(m->page);
    int ink = 0;
    for (int y = m->y; y < m->y + m->height; ++y)
        for (int x = m->x; x < m->x + m->width; ++x) ink += page[size_t(y) * atlas.PageSize() + x] > 128;
    EXPECT_GT(ink, m->width * m->height / 5);
}

TextMetrics FixedMetrics()
{
    TextMetrics m;
    m.lineHeight = 10;
    m.averageWidth = 5;
    m.advance = [](uint32_t c) { return c == ' ' ? 3 : 5; };
    return m;
}

TEST(D3DXTextLayout, LinesStartOneLineHeightApart)
{
    TextBlock b = LayoutText(U"ab\ncd\r\nef", 7, 20, 200, 200, 0, FixedMetrics());
    ASSERT_EQ(b.chars.size(), 6u);
    EXPECT_EQ(b.chars[0].penX, 7);
    EXPECT_EQ(b.chars[1].penX, 12);
    EXPECT_EQ(b.chars[2].penX, 7);
    EXPECT_EQ(b.chars[2].lineTop, 30);
    EXPECT_EQ(b.chars[4].lineTop, 40);
    EXPECT_EQ(b.height, 30);
}

TEST(D3DXTextLayout, RightAndCentreAlignEachLine)
{
    TextBlock r = LayoutText(U"abc\nd", 0, 0, 100, 50, kDtRight, FixedMetrics());
    EXPECT_EQ(r.chars[0].penX, 85);
    EXPECT_EQ(r.chars[3].penX, 95);
    TextBlock c = LayoutText(U"abcd", 0, 0, 100, 50, kDtCenter, FixedMetrics());
    EXPECT_EQ(c.chars[0].penX, 40);
}

TEST(D3DXTextLayout, VCentreSingleLineCentresInTheRectangle)
{
    TextBlock b = LayoutText(U"ab\ncd", 10, 10, 110, 60, kDtVCenter | kDtRight | kDtSingleLine, FixedMetrics());
    ASSERT_EQ(b.chars.size(), 4u);        // the break is dropped on a single line
    EXPECT_EQ(b.chars[3].penX + 5, 110);  // ends at the right edge
    EXPECT_EQ(b.chars[0].lineTop, 30);    // (50 - 10) / 2 below the top
}

TEST(D3DXTextLayout, CalcRectMeasuresWithoutPlacing)
{
    TextBlock b = LayoutText(U"abc\nd", 5, 5, 6, 6, kDtCalcRect, FixedMetrics());
    EXPECT_TRUE(b.chars.empty());
    EXPECT_EQ(b.right, 20);
    EXPECT_EQ(b.bottom, 25);
    EXPECT_EQ(b.height, 20);
}

TEST(D3DXTextLayout, WordBreakWrapsAtSpaces)
{
    TextBlock b = LayoutText(U"aa bb cc", 0, 0, 28, 100, kDtWordBreak, FixedMetrics());
    // "aa bb" is 23 wide and fits; "cc" goes to the next line.
    ASSERT_EQ(b.chars.size(), 7u);
    EXPECT_EQ(b.chars[5].lineTop, 10);
    EXPECT_EQ(b.chars[5].penX, 0);
}

TEST(D3DXTextLayout, DecodersHandleBadSequences)
{
    EXPECT_EQ(DecodeUtf8("a\xc3\xa9z", -1), U"a\u00e9z");
    EXPECT_EQ(DecodeUtf8("\xe9\xff", -1), std::u32string(U"\u00e9\u00ff"));  // Latin-1 bytes
    EXPECT_EQ(DecodeUtf8("\xe2\x82", 2).size(), 2u);                         // truncated sequence
    const uint16_t wide[] = {'h', 0xD83D, 0xDE00, 'i', 0};
    EXPECT_EQ(DecodeUtf16(wide, -1), U"h\U0001F600i");
    EXPECT_EQ(DecodeUtf16(wide, 2).size(), 2u);  // a cut surrogate pair stays as it is
}

}  // namespace
