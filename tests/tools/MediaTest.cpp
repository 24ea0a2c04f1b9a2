// The generated media tree: the files the game loads, read back the way the
// game's loaders read them (stb_image for textures, assimp for .X meshes).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#include <stb/stb_image.h>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include "TestTempDir.h"
#include "kmf/KmfChecker.h"
#include "kmf/KmfLevel.h"
#include "media/MediaGenerator.h"
#include "media/TerrainMedia.h"

namespace {

// The names LoadMedia and the level loader open, exactly.
const char* const kTextureNames[] = {"XRayFrame.tga",  "plstart.tga",    "Logo.tga",    "Grid.tga",
                                     "BallShadow.tga", "coinshadow.tga", "coin.tga",    "Bomb.tga",
                                     "goal.tga",       "ring.tga",       "particle.tga"};
const char* const kMeshNames[] = {"board.x", "ball.x", "shadowplane.X", "coin.X", "bombplane.X", "goal.X"};
// The game's sounds, under kMedia/sounds/.
const char* const kSoundNames[] = {"roll.wav", "coin.wav",    "lastcoin.wav", "blast.wav",
                                   "goal.wav", "restart.wav", "click.wav"};
// The engine GUI's skin.
const char* const kGuiNames[] = {"button_up.tga",      "button_down.tga",  "button_third.tga",   "textbox_back.tga",
                                 "textbox_border.tga", "listbox_back.tga", "listbox_border.tga", "listbox_scroll.tga",
                                 "window_back.tga",    "window_border.tga"};

class MediaTree : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new TestTempDir;
        ok_ = dir_->Ok() && media::GenerateMedia(dir_->Path(), error_);
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(ok_) << error_; }

    static std::string PathOf(const std::string& rel) { return dir_->File(rel); }

    static std::vector<std::uint8_t> Bytes(const std::string& rel)
    {
        std::vector<std::uint8_t> b;
        std::string error;
        EXPECT_TRUE(kmf::ReadFileBytes(PathOf(rel), b, error)) << error;
        return b;
    }

    struct Picture {
        int w = 0, h = 0;
        std::vector<std::uint8_t> rgba;  // top row first
        const std::uint8_t* At(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * w + x) * 4]; }
        int Alpha(int x, int y) const { return At(x, y)[3]; }
    };

    static Picture Load(const std::string& name) { return LoadFile("kMedia/" + name); }

    static Picture LoadFile(const std::string& rel)
    {
        Picture p;
        const std::vector<std::uint8_t> b = Bytes(rel);
        int channels = 0;
        stbi_uc* data = stbi_load_from_memory(b.data(), static_cast<int>(b.size()), &p.w, &p.h, &channels, 4);
        EXPECT_NE(data, nullptr) << rel << ": " << stbi_failure_reason();
        if (data) {
            p.rgba.assign(data, data + static_cast<std::size_t>(p.w) * p.h * 4);
            stbi_image_free(data);
        }
        return p;
    }

    static TestTempDir* dir_;
    static bool ok_;
    static std::string error_;
};

TestTempDir* MediaTree::dir_ = nullptr;
bool MediaTree::ok_ = false;
std::string MediaTree::error_;

bool PowerOfTwo(int v)
{
    return v > 0 && (v & (v - 1)) == 0;
}

}  // namespace

TEST_F(MediaTree, HoldsExactlyTheFilesTheGameAndTheGuiLoad)
{
    std::set<std::string> want;
    for (const char* n : kTextureNames) want.insert(std::string("kMedia/") + n);
    for (const char* n : kMeshNames) want.insert(std::string("kMedia/") + n);
    for (int i = 1; i <= 6; ++i) want.insert("kMedia/kMaps/level" + std::to_string(i) + ".kmf");
    for (const char* n : kSoundNames) want.insert(std::string("kMedia/sounds/") + n);
    for (const char* n :
         {"sky_front.tga", "sky_right.tga", "sky_back.tga", "sky_left.tga", "sky_up.tga", "sky_down.tga"})
        want.insert(std::string("media/sky/") + n);
    want.insert("media/water/dudv.tga");
    for (const std::string& n : media::TerrainMediaFileNames()) want.insert(n);
    for (const char* n : kGuiNames) want.insert(std::string("media/gui/") + n);
    std::set<std::string> have;
    for (const auto& e : std::filesystem::recursive_directory_iterator(PathOf("")))
        if (e.is_regular_file()) have.insert(std::filesystem::relative(e.path(), PathOf("")).generic_string());
    EXPECT_EQ(have, want);
    const std::vector<std::string> listed = media::MediaFileNames();
    EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()), want);
}

TEST_F(MediaTree, TexturesAreUncompressed32BitTargasWithAlpha)
{
    for (const char* name : kTextureNames) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> b = Bytes(std::string("kMedia/") + name);
        ASSERT_GE(b.size(), 18u);
        EXPECT_EQ(b[1], 0);          // no colour map
        EXPECT_EQ(b[2], 2);          // uncompressed true-colour
        EXPECT_EQ(b[16], 32);        // bits per pixel
        EXPECT_EQ(b[17] & 0x0F, 8);  // alpha bits
        EXPECT_EQ(b[17] & 0x20, 0);  // bottom-left origin, as the rows are stored
        const int w = b[12] | (b[13] << 8), h = b[14] | (b[15] << 8);
        EXPECT_TRUE(PowerOfTwo(w) && PowerOfTwo(h)) << w << " x " << h;
        EXPECT_EQ(b.size(), 18u + static_cast<std::size_t>(w) * h * 4);
        const Picture p = Load(name);
        EXPECT_EQ(p.w, w);
        EXPECT_EQ(p.h, h);
    }
    EXPECT_EQ(Load("Logo.tga").w, 256);
    EXPECT_EQ(Load("Logo.tga").h, 128);
}

TEST_F(MediaTree, XRayFrameIsClearInTheMiddleAndLabelledAtTheTop)
{
    const Picture p = Load("XRayFrame.tga");
    ASSERT_EQ(p.w, p.h);
    const int c = p.w / 2;
    EXPECT_EQ(p.Alpha(c, c), 0);  // the ball's spot in the X-ray view
    int clear = 0, total = 0;
    for (int y = p.h / 4; y < 3 * p.h / 4; ++y)
        for (int x = p.w / 4; x < 3 * p.w / 4; ++x, ++total) clear += p.Alpha(x, y) < 64;
    EXPECT_GT(clear, total * 9 / 10);
    // Bezel opaque all round.
    for (int i = 24; i < p.w - 24; i += 8) {
        EXPECT_EQ(p.Alpha(i, 6), 255) << i;
        EXPECT_EQ(p.Alpha(i, p.h - 6), 255) << i;
        EXPECT_EQ(p.Alpha(6, i), 255) << i;
        EXPECT_EQ(p.Alpha(p.w - 6, i), 255) << i;
    }
    // The bright label ink is in the top bar, so the image is upright.
    auto ink = [&](int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < p.w; ++x) n += p.At(x, y)[1] > 200 && p.At(x, y)[0] < 160 && p.Alpha(x, y) == 255;
        return n;
    };
    EXPECT_GT(ink(0, 32), 100);
    EXPECT_EQ(ink(p.h - 32, p.h), 0);
}

TEST_F(MediaTree, LogoShowsGoldLettersOnAPlaqueUpright)
{
    const Picture p = Load("Logo.tga");
    EXPECT_EQ(p.Alpha(0, 0), 0);
    EXPECT_EQ(p.Alpha(p.w - 1, p.h - 1), 0);
    // Gold: strong red, less blue. Count letter pixels in bands of rows.
    auto gold = [&](int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < p.w; ++x) {
                const std::uint8_t* q = p.At(x, y);
                n += q[3] == 255 && q[0] > 200 && q[2] < 120;
            }
        return n;
    };
    EXPECT_GT(gold(35, 80), 1500);  // the word, in the upper part of the plaque
    // The letters' glossy tops: bright rows that an upside-down image would have at the bottom.
    auto shine = [&](int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < p.w; ++x) {
                const std::uint8_t* q = p.At(x, y);
                n += q[3] == 255 && q[0] > 240 && q[1] > 220 && q[2] > 150;
            }
        return n;
    };
    EXPECT_GT(shine(36, 46), 200);
    EXPECT_EQ(shine(80, 92), 0);
    EXPECT_EQ(gold(90, 128), 0);  // the trail under it is not gold
    EXPECT_EQ(gold(0, 20), 0);
}

TEST_F(MediaTree, ShadowsAndSpriteFadeOutFromTheirMiddle)
{
    for (const char* name : {"BallShadow.tga", "coinshadow.tga", "particle.tga"}) {
        SCOPED_TRACE(name);
        const Picture p = Load(name);
        const int c = p.w / 2;
        EXPECT_GT(p.Alpha(c, c), 150);
        EXPECT_EQ(p.Alpha(0, 0), 0);
        EXPECT_EQ(p.Alpha(p.w - 1, c), 0);
        for (int x = c; x + 1 < p.w; ++x) EXPECT_GE(p.Alpha(x, c), p.Alpha(x + 1, c)) << x;
        const bool white = std::string(name) == "particle.tga";
        EXPECT_EQ(p.At(c, c)[0], white ? 255 : 0);
    }
    // The coin's shadow is long across its face (u) and thin through it (v).
    const Picture coin = Load("coinshadow.tga");
    const int c = coin.w / 2;
    EXPECT_GT(coin.Alpha(c + 12, c), 40);
    EXPECT_LT(coin.Alpha(c, c + 12), 5);
}

TEST_F(MediaTree, OpaqueAndCutOutTexturesHaveTheirAlphaWhereTheGameNeedsIt)
{
    for (const char* name : {"Grid.tga", "Bomb.tga"}) {
        const Picture p = Load(name);
        int low = 255;
        for (int i = 3; i < static_cast<int>(p.rgba.size()); i += 4) low = std::min<int>(low, p.rgba[i]);
        EXPECT_EQ(low, 255) << name;
    }
    // Grid cell: a dark joint on every border so neighbouring tiles share a line.
    const Picture g = Load("Grid.tga");
    auto lum = [&](int x, int y) { return g.At(x, y)[0] + g.At(x, y)[1] + g.At(x, y)[2]; };
    const int mid = g.w / 2;
    for (auto [x, y] : {std::pair{0, mid}, {g.w - 1, mid}, {mid, 0}, {mid, g.h - 1}})
        EXPECT_LT(lum(x, y) * 2, lum(mid, mid));
    for (const char* name : {"coin.tga", "goal.tga", "ring.tga", "plstart.tga"}) {
        const Picture p = Load(name);
        EXPECT_EQ(p.Alpha(0, 0), 0) << name;
    }
    EXPECT_EQ(Load("coin.tga").Alpha(64, 64), 255);
    EXPECT_EQ(Load("goal.tga").Alpha(64, 64), 255);
    const Picture ring = Load("ring.tga");
    EXPECT_EQ(ring.Alpha(64, 64), 0);
    EXPECT_GT(ring.Alpha(64 + 57, 64), 150);  // radius 0.889 of the half-width: the goal zone's edge
}

TEST_F(MediaTree, MeshesAreTextDirectXFiles)
{
    for (const char* name : kMeshNames) {
        const std::vector<std::uint8_t> b = Bytes(std::string("kMedia/") + name);
        const std::string text(b.begin(), b.end());
        EXPECT_EQ(text.rfind("xof 0303txt 0032\n", 0), 0u) << name;
        for (const char* block : {"Frame ", "Mesh ", "MeshNormals {", "MeshTextureCoords {", "MeshMaterialList {",
                                  "Material {", "TextureFilename {"})
            EXPECT_NE(text.find(block), std::string::npos) << name << " lacks " << block;
    }
}

TEST_F(MediaTree, LevelFilesMatchTheirDesignsAndPassTheChecker)
{
    for (int i = 1; i <= 6; ++i) {
        const std::vector<std::uint8_t> b = Bytes("kMedia/kMaps/level" + std::to_string(i) + ".kmf");
        const kmf::KmfReport r = kmf::CheckKmfBytes(b);
        EXPECT_TRUE(r.completable) << kmf::FormatReport("level" + std::to_string(i), r, true);
    }
}

TEST(MediaGenerator, UnwritableRootIsReportedNotCrashed)
{
    TestTempDir dir;
    ASSERT_TRUE(dir.Ok());
    std::ofstream(dir.File("file")) << "x";
    std::string error;
    EXPECT_FALSE(media::GenerateMedia(dir.File("file"), error));
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
}

namespace {

// Loaded with the flags the device layer uses, which give back the file's
// own left-handed positions, winding and texture coordinates.
struct LoadedMesh {
    Assimp::Importer importer;
    const aiScene* scene = nullptr;
};

void LoadMesh(const std::string& path, LoadedMesh& out)
{
    out.scene = out.importer.ReadFile(path, aiProcess_ConvertToLeftHanded | aiProcess_Triangulate);
    ASSERT_NE(out.scene, nullptr) << path << ": " << out.importer.GetErrorString();
}

std::string TextureOf(const aiScene* s, unsigned material)
{
    aiString t;
    if (s->mMaterials[material]->GetTexture(aiTextureType_DIFFUSE, 0, &t) != AI_SUCCESS) return "";
    return t.C_Str();
}

void Bounds(const aiMesh* m, aiVector3D& lo, aiVector3D& hi)
{
    for (unsigned i = 0; i < m->mNumVertices; ++i) {
        const aiVector3D& p = m->mVertices[i];
        if (i == 0) lo = hi = p;
        lo.x = std::min(lo.x, p.x), lo.y = std::min(lo.y, p.y), lo.z = std::min(lo.z, p.z);
        hi.x = std::max(hi.x, p.x), hi.y = std::max(hi.y, p.y), hi.z = std::max(hi.z, p.z);
    }
}

}  // namespace

TEST_F(MediaTree, EveryFaceIsClockwiseSeenFromOutside)
{
    // Left-handed and clockwise: cross(b - a, c - a) points along the normals.
    for (const char* name : kMeshNames) {
        SCOPED_TRACE(name);
        LoadedMesh lm;
        LoadMesh(PathOf(std::string("kMedia/") + name), lm);
        if (!lm.scene) continue;
        for (unsigned m = 0; m < lm.scene->mNumMeshes; ++m) {
            const aiMesh* mesh = lm.scene->mMeshes[m];
            ASSERT_TRUE(mesh->HasNormals());
            ASSERT_TRUE(mesh->HasTextureCoords(0));
            int wrong = 0;
            for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
                const aiFace& face = mesh->mFaces[f];
                ASSERT_EQ(face.mNumIndices, 3u);
                const aiVector3D a = mesh->mVertices[face.mIndices[0]], b = mesh->mVertices[face.mIndices[1]],
                                 c = mesh->mVertices[face.mIndices[2]];
                const aiVector3D n = mesh->mNormals[face.mIndices[0]] + mesh->mNormals[face.mIndices[1]] +
                                     mesh->mNormals[face.mIndices[2]];
                wrong += ((b - a) ^ (c - a)) * n <= 0;
            }
            EXPECT_EQ(wrong, 0);
        }
    }
}

TEST_F(MediaTree, BoardIsCentredWithOneGridCellPerTile)
{
    LoadedMesh lm;
    LoadMesh(PathOf("kMedia/board.x"), lm);
    ASSERT_TRUE(lm.scene);
    ASSERT_EQ(lm.scene->mNumMeshes, 1u);
    const aiMesh* m = lm.scene->mMeshes[0];
    EXPECT_EQ(TextureOf(lm.scene, m->mMaterialIndex), "Grid.tga");
    aiVector3D lo, hi;
    Bounds(m, lo, hi);
    EXPECT_FLOAT_EQ(lo.x, -45);
    EXPECT_FLOAT_EQ(hi.x, 45);
    EXPECT_FLOAT_EQ(lo.z, -45);
    EXPECT_FLOAT_EQ(hi.z, 45);
    EXPECT_FLOAT_EQ(lo.y, -2);  // the board body spans y -2 .. 0
    EXPECT_FLOAT_EQ(hi.y, 0);
    // Drawn at (45, 0, 45): world x = 2k, a tile edge, must fall on a whole u.
    int top = 0;
    for (unsigned i = 0; i < m->mNumVertices; ++i) {
        if (m->mNormals[i].y < 0.99f) continue;
        ++top;
        const aiVector3D& p = m->mVertices[i];
        const aiVector3D& t = m->mTextureCoords[0][i];
        EXPECT_FLOAT_EQ(t.x, (p.x + 45) / 2);
        EXPECT_FLOAT_EQ(t.y, (45 - p.z) / 2);
    }
    EXPECT_GE(top, 4);
}

TEST_F(MediaTree, BallIsAUnitSphereWithTilingGrid)
{
    LoadedMesh lm;
    LoadMesh(PathOf("kMedia/ball.x"), lm);
    ASSERT_TRUE(lm.scene);
    const aiMesh* m = lm.scene->mMeshes[0];
    EXPECT_EQ(TextureOf(lm.scene, m->mMaterialIndex), "Grid.tga");
    float umax = 0, vmax = 0;
    for (unsigned i = 0; i < m->mNumVertices; ++i) {
        EXPECT_NEAR(m->mVertices[i].Length(), 1.0f, 1e-4f);
        EXPECT_NEAR((m->mNormals[i] - m->mVertices[i]).Length(), 0.0f, 1e-4f);
        umax = std::max(umax, m->mTextureCoords[0][i].x);
        vmax = std::max(vmax, m->mTextureCoords[0][i].y);
    }
    EXPECT_GE(umax, 4.0f);  // several cells round the ball, so its turning shows
    EXPECT_GE(vmax, 2.0f);
}

TEST_F(MediaTree, FlatPiecesLieLevelAndFaceUp)
{
    struct Flat {
        const char* name;
        float y, half;
        const char* texture;
    };
    for (const Flat& f :
         {Flat{"shadowplane.X", -1.05f, 1.5f, "BallShadow.tga"}, Flat{"bombplane.X", 0.0f, 1.0f, "Bomb.tga"}}) {
        SCOPED_TRACE(f.name);
        LoadedMesh lm;
        LoadMesh(PathOf(std::string("kMedia/") + f.name), lm);
        ASSERT_TRUE(lm.scene);
        const aiMesh* m = lm.scene->mMeshes[0];
        aiVector3D lo, hi;
        Bounds(m, lo, hi);
        EXPECT_FLOAT_EQ(lo.y, f.y);
        EXPECT_FLOAT_EQ(hi.y, f.y);
        EXPECT_FLOAT_EQ(lo.x, -f.half);
        EXPECT_FLOAT_EQ(hi.z, f.half);
        for (unsigned i = 0; i < m->mNumVertices; ++i) EXPECT_FLOAT_EQ(m->mNormals[i].y, 1.0f);
        EXPECT_EQ(TextureOf(lm.scene, m->mMaterialIndex), f.texture);
    }
}

TEST_F(MediaTree, CoinStandsUprightAndGoalHasPadAndRing)
{
    LoadedMesh coin;
    LoadMesh(PathOf("kMedia/coin.X"), coin);
    ASSERT_TRUE(coin.scene);
    aiVector3D lo, hi;
    Bounds(coin.scene->mMeshes[0], lo, hi);
    EXPECT_GT(hi.y - lo.y, 1.0f);  // tall
    EXPECT_LT(hi.z - lo.z, 0.5f);  // thin: turning about y shows its face and then its edge
    EXPECT_NEAR(lo.y + hi.y, 0.0f, 1e-4f);
    EXPECT_EQ(TextureOf(coin.scene, coin.scene->mMeshes[0]->mMaterialIndex), "coin.tga");

    LoadedMesh goal;
    LoadMesh(PathOf("kMedia/goal.X"), goal);
    ASSERT_TRUE(goal.scene);
    ASSERT_EQ(goal.scene->mNumMaterials, 2u);  // slot 0 the goal, slot 1 the ring
    EXPECT_EQ(TextureOf(goal.scene, 0), "goal.tga");
    EXPECT_EQ(TextureOf(goal.scene, 1), "ring.tga");
    for (unsigned m = 0; m < goal.scene->mNumMeshes; ++m) {
        Bounds(goal.scene->mMeshes[m], lo, hi);
        EXPECT_GT(lo.y, 0.0f);  // above the board, no depth fight
        EXPECT_LT(hi.y, 0.1f);
        if (goal.scene->mMeshes[m]->mMaterialIndex == 1) {
            EXPECT_GT(hi.x, 2.07f);  // the ring encloses the goal zone
        }
    }
}

TEST_F(MediaTree, GuiSkinIsOpaqueWithDistinctLooksAndAScrollAtlas)
{
    // Mean of r, g and b over a rectangle of a picture, 0 ... 255.
    auto MeanLevel = [](const Picture& p, int x0, int y0, int x1, int y1) {
        double sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) sum += (p.At(x, y)[0] + p.At(x, y)[1] + p.At(x, y)[2]) / 3.0;
        return sum / ((x1 - x0) * (y1 - y0));
    };
    for (const char* name : kGuiNames) {
        SCOPED_TRACE(name);
        const Picture p = LoadFile(std::string("media/gui/") + name);
        ASSERT_TRUE(PowerOfTwo(p.w) && PowerOfTwo(p.h)) << p.w << " x " << p.h;
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x) ASSERT_EQ(p.Alpha(x, y), 255) << x << ", " << y;
    }
    const Picture up = LoadFile("media/gui/button_up.tga"), down = LoadFile("media/gui/button_down.tga");
    ASSERT_EQ(up.w, 128);
    ASSERT_EQ(up.h, 32);
    EXPECT_GT(MeanLevel(up, 0, 0, 128, 32), MeanLevel(down, 0, 0, 128, 32) + 15) << "up is lighter than down";
    // Raised: the top edge lighter than the bottom edge; pressed: the other way round.
    EXPECT_GT(MeanLevel(up, 4, 1, 124, 3), MeanLevel(up, 4, 29, 124, 31));
    EXPECT_LT(MeanLevel(down, 4, 1, 124, 3), MeanLevel(down, 4, 29, 124, 31));

    // The atlas: up arrow top left, down arrow bottom left (each other's mirror
    // image in its arrow), track top right, thumb bottom right.
    const Picture s = LoadFile("media/gui/listbox_scroll.tga");
    ASSERT_EQ(s.w, 64);
    ASSERT_EQ(s.h, 64);
    auto dark = [&](int x, int y) { return s.At(x, y)[0] < 80; };
    int upTop = 0, upBottom = 0, downTop = 0, downBottom = 0;
    for (int y = 3; y < 29; ++y)
        for (int x = 3; x < 29; ++x) {
            const int w = std::abs(x - 16) < 2 ? 1 : 0;  // the arrow's middle column
            if (y < 16) {
                upTop += w * dark(x, y);
                downTop += w * dark(x, y + 32);
            } else {
                upBottom += w * dark(x, y);
                downBottom += w * dark(x, y + 32);
            }
        }
    EXPECT_GT(upTop + upBottom, 10) << "an arrow on the up button";
    EXPECT_GT(downTop + downBottom, 10) << "an arrow on the down button";
    // An up arrow is narrow at its top: its widest row lies below the middle.
    auto widestRow = [&](int oy) {
        int best = 0, row = 0;
        for (int y = 3; y < 29; ++y) {
            int n = 0;
            for (int x = 3; x < 29; ++x) n += dark(x, oy + y);
            if (n > best) {
                best = n;
                row = y;
            }
        }
        return row;
    };
    EXPECT_GT(widestRow(0), 16) << "up arrow points up";
    EXPECT_LT(widestRow(32), 16) << "down arrow points down";
    EXPECT_GT(std::abs(MeanLevel(s, 36, 36, 60, 60) - MeanLevel(s, 36, 4, 60, 28)), 20)
        << "thumb stands out from the track";

    // The window background repeats without a seam: its opposite edges match
    // as well as neighbouring columns do.
    const Picture w = LoadFile("media/gui/window_back.tga");
    double seam = 0, inner = 0;
    for (int y = 0; y < w.h; ++y) {
        seam += std::abs(w.At(w.w - 1, y)[0] - w.At(0, y)[0]);
        inner += std::abs(w.At(1, y)[0] - w.At(0, y)[0]);
    }
    EXPECT_LE(seam, inner + w.h);
}
