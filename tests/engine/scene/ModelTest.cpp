// Static models from text .X files written by the tests: loading, materials
// and texture names, culled drawing seen through the draw counters and the
// pixels, subsets and wireframe, ray hits, failures, copies and reloads.
#include <sys/stat.h>

#include <EngineFixture.h>

#include <cmath>

#include "vAnimatedModel.h"
#include "vStaticModel.h"
#include "vTexture.h"

namespace {

using rendertest::EngineFixture;
using rendertest::FindColor;
using rendertest::Image;

// A 2 x 2 wall in the plane z = 0 facing -z (towards a camera at the origin
// looking along +z), one material, textured by "wall.tga".
const char* kWallX = R"(xof 0303txt 0032

Mesh Wall {
  4;
  -1.0;-1.0;0.0;,
  -1.0;1.0;0.0;,
  1.0;1.0;0.0;,
  1.0;-1.0;0.0;;
  2;
  3;0,1,2;,
  3;0,2,3;;
  MeshMaterialList {
    1;
    2;
    0,
    0;;
    Material {
      1.000000;1.000000;1.000000;1.000000;;
      0.000000;
      0.000000;0.000000;0.000000;;
      0.000000;0.000000;0.000000;;
      TextureFilename {
        "wall.tga";
      }
    }
  }
  MeshTextureCoords {
    4;
    0.0;1.0;,
    0.0;0.0;,
    1.0;0.0;,
    1.0;1.0;;
  }
}
)";

// Two triangles across the z axis, the first at z = 5, the second at z = 3;
// the second's material has a dark red diffuse and an empty texture name.
const char* kPairX = R"(xof 0303txt 0032

Mesh Pair {
  6;
  -1.0;-1.0;5.0;,
  -1.0;1.0;5.0;,
  1.0;1.0;5.0;,
  -1.0;-1.0;3.0;,
  -1.0;1.0;3.0;,
  1.0;1.0;3.0;;
  2;
  3;0,1,2;,
  3;3,4,5;;
  MeshMaterialList {
    2;
    2;
    0,
    1;;
    Material {
      1.000000;1.000000;1.000000;1.000000;;
      0.000000;
      0.000000;0.000000;0.000000;;
      0.000000;0.000000;0.000000;;
      TextureFilename {
        "first.tga";
      }
    }
    Material {
      0.100000;0.500000;0.800000;1.000000;;
      0.000000;
      0.000000;0.000000;0.000000;;
      0.000000;0.000000;0.000000;;
      TextureFilename {
        "";
      }
    }
  }
}
)";

class ModelTest : public EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(rendertest::WriteText(temp.File("wall.x"), kWallX));
        ASSERT_TRUE(rendertest::WriteText(temp.File("pair.x"), kPairX));
        ASSERT_TRUE(rendertest::WriteSolidTga(temp.File("wall.tga"), 8, 8, 0xFF00FF00));
        ASSERT_EQ(green.LoadTextureFromFile(temp.File("wall.tga").c_str(), 0, 1), S_OK);
        D3DXMATRIX view;
        D3DXMatrixIdentity(&view);
        objDevice->SetTransform(D3DTS_VIEW, &view);
    }

    void ReleaseResources() override { green.Kill(); }

    // A frame with lighting off and no culling of back faces.
    void BeginModelFrame()
    {
        BeginFrame();
        objDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
        objDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        D3D9_ResetFrameStats(objDevice);
    }

    D3DXMATRIX Translation(float x, float y, float z)
    {
        D3DXMATRIX m;
        D3DXMatrixTranslation(&m, x, y, z);
        return m;
    }

    bool WorldIs(const D3DXMATRIX& expected)
    {
        D3DXMATRIX world;
        objDevice->GetTransform(D3DTS_WORLD, &world);
        return std::memcmp(&world, &expected, sizeof(world)) == 0;
    }

    vTexture green;
};

TEST_F(ModelTest, LoadsBoundsMaterialsAndTextureNames)
{
    vStaticModel pair;
    ASSERT_EQ(pair.LoadModel(temp.File("pair.x").c_str()), S_OK);
    EXPECT_TRUE(win32test::MessageBoxLog().empty());
    ASSERT_EQ(pair.m_numSubsets, 2u);
    EXPECT_EQ(pair.m_boundingBox.min, D3DXVECTOR3(-1, -1, 3));
    EXPECT_EQ(pair.m_boundingBox.max, D3DXVECTOR3(1, 1, 5));
    EXPECT_EQ(pair.m_localOBB[0], D3DXVECTOR3(-1, -1, 3));
    EXPECT_EQ(pair.m_localOBB[6], D3DXVECTOR3(-1, 1, 5));

    // Ambient = diffuse - 0.3, unclamped; alpha follows diffuse.
    EXPECT_FLOAT_EQ(pair.m_materials[0].Ambient.r, 0.7f);
    EXPECT_FLOAT_EQ(pair.m_materials[0].Ambient.a, 1.0f);
    EXPECT_NEAR(pair.m_materials[1].Ambient.r, -0.2f, 1e-6);
    EXPECT_NEAR(pair.m_materials[1].Ambient.g, 0.2f, 1e-6);
    EXPECT_NEAR(pair.m_materials[1].Ambient.b, 0.5f, 1e-6);

    ASSERT_NE(pair.GetMeshTextureDesc(0), nullptr);
    EXPECT_STREQ(pair.GetMeshTextureDesc(0), "first.tga");
    EXPECT_EQ(pair.GetMeshTextureDesc(1), nullptr);  // "" names nothing
    EXPECT_EQ(pair.GetMeshTextureDesc(2), nullptr);  // no such subset
    EXPECT_EQ(pair.GetMeshTextureDesc(-1), nullptr);
    EXPECT_EQ(pair.m_textures[0], nullptr);

    // Slots take borrowed textures; out-of-range slots are ignored.
    pair.SetSubsetTextureByIndex(1, &green);
    pair.SetSubsetTextureByIndex(7, &green);
    EXPECT_EQ(pair.m_textures[1], &green);

    // The base classes load nothing.
    vModel base;
    vAnimatedModel animated;
    EXPECT_EQ(base.LoadModel(temp.File("pair.x").c_str()), S_OK);
    EXPECT_EQ(animated.LoadModel(temp.File("pair.x").c_str()), S_OK);
    EXPECT_EQ(animated.m_numSubsets, 0u);
    EXPECT_EQ(animated.GetMeshTextureDesc(0), nullptr);
    animated.SetSubsetTextureByIndex(0, &green);  // no arrays: nothing
}

TEST_F(ModelTest, MissingOrBrokenFilesShowTheBoxAndDrawNothing)
{
    vStaticModel model;
    testing::internal::CaptureStderr();
    EXPECT_EQ(model.LoadModel(temp.File("absent.x").c_str()), E_FAIL);
    std::string err = testing::internal::GetCapturedStderr();
    // Beside the box, one line naming the file and why.
    EXPECT_NE(err.find(temp.File("absent.x") + ": cannot open the file: No such file or directory\n"),
              std::string::npos)
        << err;
    ASSERT_EQ(win32test::MessageBoxLog().size(), 1u);
    EXPECT_EQ(win32test::MessageBoxLog()[0], "Error!: Error loading Static Model");
    EXPECT_EQ(model.m_mesh, nullptr);
    EXPECT_EQ(model.m_numSubsets, 0u);

    model.SetMatrix(Translation(0, 0, 5));
    BeginModelFrame();
    model.Render();
    model.RenderSubset(0);
    model.DebugRenderSubset(0);
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 0u);
    D3DXVECTOR3 pos(0, 0, 0), dir(0, 0, 1), point, normal;
    float u, v, distance;
    EXPECT_FALSE(model.Intersect(&pos, &dir, &point, &normal, &u, &v, &distance));
    EXPECT_FLOAT_EQ(distance, 9999.0f);

    // Truncated text: refused the same way.
    const std::string cut = temp.File("cut.x");
    ASSERT_TRUE(rendertest::WriteText(cut, std::string(kWallX).substr(0, 120)));
    win32test::ClearMessageBoxLog();
    testing::internal::CaptureStderr();
    EXPECT_EQ(model.LoadModel(cut.c_str()), E_FAIL);
    err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(MessageBoxShown("Error!: Error loading Static Model"));
    EXPECT_NE(err.find(cut + ": not a readable .X mesh file"), std::string::npos) << err;

    // A folder where the mesh should be is named as one, not as a result code.
    const std::string folder = temp.File("folder.x");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    win32test::ClearMessageBoxLog();
    testing::internal::CaptureStderr();
    EXPECT_EQ(model.LoadModel(folder.c_str()), E_FAIL);
    err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(MessageBoxShown("Error!: Error loading Static Model"));
    EXPECT_NE(err.find("model: " + folder + ": cannot open the file: Is a directory\n"), std::string::npos) << err;
    EXPECT_EQ(err.find("0x"), std::string::npos) << err;
}

TEST_F(ModelTest, DrawsTexturedInFrontAndNothingBehindTheCamera)
{
    vStaticModel wall;
    ASSERT_EQ(wall.LoadModel(temp.File("wall.x").c_str()), S_OK);
    wall.SetSubsetTextureByIndex(0, &green);

    const D3DXMATRIX front = Translation(0, 0, 5);
    wall.SetMatrix(front);
    BeginModelFrame();
    wall.Render();
    EXPECT_TRUE(WorldIs(front));
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 1u);
    Image image = rendertest::ReadRenderTarget();
    ASSERT_FALSE(image.Empty());
    EXPECT_EQ(image.At(512, 384), 0x00FF00u);
    rendertest::Extent e = FindColor(image, 0x00FF00, 0);
    EXPECT_NEAR((e.left + e.right) / 2.0, 511.5, 1.5);
    EXPECT_NEAR((e.top + e.bottom) / 2.0, 383.5, 1.5);

    // Behind the camera: the world transform is set, nothing else is drawn.
    const D3DXMATRIX behind = Translation(0, 0, -5);
    wall.SetMatrix(behind);
    BeginModelFrame();
    wall.Render();
    EXPECT_TRUE(WorldIs(behind));
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 0u);
    EXPECT_EQ(FindColor(rendertest::ReadRenderTarget(), 0x00FF00, 0).count, 0);
}

TEST_F(ModelTest, AModelAcrossAFrustumPlaneIsDrawnWhole)
{
    vStaticModel pair;
    ASSERT_EQ(pair.LoadModel(temp.File("pair.x").c_str()), S_OK);
    pair.SetSubsetTextureByIndex(0, &green);
    pair.SetSubsetTextureByIndex(1, &green);
    // Centred on the left edge of the view at depth 4.
    const float leftEdge = -4.0f / ev_matrix3DProj._11;
    pair.SetMatrix(Translation(leftEdge, 0, 0));
    BeginModelFrame();
    pair.Render();
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 2u);  // both subsets
    rendertest::Extent e = FindColor(rendertest::ReadRenderTarget(), 0x00FF00, 0);
    ASSERT_GT(e.count, 0);
    EXPECT_EQ(e.left, 0);  // runs off the left edge of the screen
}

TEST_F(ModelTest, RenderMovesTheBoundsToWorldSpace)
{
    vStaticModel wall;
    ASSERT_EQ(wall.LoadModel(temp.File("wall.x").c_str()), S_OK);
    wall.SetMatrix(Translation(10, 0, 0));
    BeginModelFrame();
    wall.Render();
    EXPECT_EQ(wall.m_boundingBox.min, D3DXVECTOR3(9, -1, 0));
    EXPECT_EQ(wall.m_boundingBox.max, D3DXVECTOR3(11, 1, 0));

    D3DXMATRIX turn;
    D3DXMatrixRotationY(&turn, D3DX_PI / 4);
    wall.SetMatrix(turn);
    wall.Render();
    const float h = std::sqrt(0.5f);
    EXPECT_NEAR(wall.m_boundingBox.min.x, -h, 1e-5);
    EXPECT_NEAR(wall.m_boundingBox.max.z, h, 1e-5);
    EXPECT_NEAR(wall.m_boundingBox.min.z, -h, 1e-5);
}

TEST_F(ModelTest, SubsetsAndWireframe)
{
    vStaticModel pair;
    ASSERT_EQ(pair.LoadModel(temp.File("pair.x").c_str()), S_OK);
    pair.SetSubsetTextureByIndex(1, &green);
    const D3DXMATRIX behind = Translation(0, 0, -20);  // not culled for subsets
    pair.SetMatrix(behind);
    BeginModelFrame();
    pair.RenderSubset(1);
    EXPECT_TRUE(WorldIs(behind));
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 1u);
    pair.RenderSubset(2);  // no such subset
    pair.RenderSubset(-1);
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 1u);

    // Wireframe: a textured triangle's outline only; fill mode solid afterwards.
    pair.SetMatrix(Translation(0, 0, 0));
    BeginModelFrame();
    objDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_POINT);
    pair.DebugRenderSubset(1);
    DWORD fill = 0;
    objDevice->GetRenderState(D3DRS_FILLMODE, &fill);
    EXPECT_EQ(fill, (DWORD)D3DFILL_SOLID);
    D3DMATERIAL9 material;
    objDevice->GetMaterial(&material);
    EXPECT_FLOAT_EQ(material.Diffuse.b, 0.8f);
    Image wire = rendertest::ReadRenderTarget();
    rendertest::Extent outline = FindColor(wire, 0x00FF00, 0);
    ASSERT_GT(outline.count, 0);
    const long area = (long)(outline.right - outline.left + 1) * (outline.bottom - outline.top + 1);
    EXPECT_LT(outline.count, area / 4);  // far less than the filled half of its box

    BeginModelFrame();
    pair.RenderSubset(1);
    rendertest::Extent filled = FindColor(rendertest::ReadRenderTarget(), 0x00FF00, 0);
    EXPECT_GT(filled.count, area / 3);
}

TEST_F(ModelTest, IntersectReportsTheNearerTriangle)
{
    vStaticModel pair;
    ASSERT_EQ(pair.LoadModel(temp.File("pair.x").c_str()), S_OK);
    D3DXVECTOR3 pos(-0.5f, 0.5f, 0.0f), dir(0, 0, 1), point, normal;
    float u = -1, v = -1, distance = 0;
    ASSERT_TRUE(pair.Intersect(&pos, &dir, &point, &normal, &u, &v, &distance));
    EXPECT_FLOAT_EQ(distance, 3.0f);
    EXPECT_NEAR(point.x, -0.5f, 1e-5);
    EXPECT_NEAR(point.y, 0.5f, 1e-5);
    EXPECT_NEAR(point.z, 3.0f, 1e-5);
    EXPECT_NEAR(std::fabs(normal.z), 1.0f, 1e-5);
    EXPECT_NEAR(normal.x, 0.0f, 1e-5);
    // u and v are the nearer hit's: its point rebuilt from them.
    EXPECT_GE(u, 0.0f);
    EXPECT_GE(v, 0.0f);
    EXPECT_LE(u + v, 1.0f + 1e-5f);

    // From the other side the first triangle in the file is the nearer one.
    D3DXVECTOR3 behind(-0.5f, 0.5f, 10.0f), back(0, 0, -1);
    ASSERT_TRUE(pair.Intersect(&behind, &back, &point, &normal, &u, &v, &distance));
    EXPECT_FLOAT_EQ(distance, 5.0f);
    EXPECT_NEAR(point.z, 5.0f, 1e-5);

    // Distances in multiples of the direction's length.
    D3DXVECTOR3 longDir(0, 0, 2);
    ASSERT_TRUE(pair.Intersect(&pos, &longDir, &point, &normal, &u, &v, &distance));
    EXPECT_FLOAT_EQ(distance, 1.5f);

    // A miss: false and 9999.
    D3DXVECTOR3 away(0.5f, -0.5f, 0.0f);  // below the diagonal of both triangles
    EXPECT_FALSE(pair.Intersect(&away, &dir, &point, &normal, &u, &v, &distance));
    EXPECT_FLOAT_EQ(distance, 9999.0f);

    // Only the translation of the world matrix applies; a turn does not.
    D3DXMATRIX moved;
    D3DXMatrixRotationY(&moved, D3DX_PI / 2);
    moved._43 = 10.0f;
    pair.SetMatrix(moved);
    ASSERT_TRUE(pair.Intersect(&pos, &dir, &point, &normal, &u, &v, &distance));
    EXPECT_FLOAT_EQ(distance, 13.0f);
    EXPECT_NEAR(point.z, 13.0f, 1e-4);

    // Null outputs are skipped.
    EXPECT_TRUE(pair.Intersect(&pos, &dir, nullptr, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(ModelTest, CopiesReloadsAndKillNeitherLeakNorFreeTwice)
{
    vStaticModel* original = new vStaticModel;
    ASSERT_EQ(original->LoadModel(temp.File("wall.x").c_str()), S_OK);
    original->SetSubsetTextureByIndex(0, &green);
    D3DXVECTOR3 pos(0, 0, -1), dir(0, 0, 1);
    EXPECT_TRUE(original->Intersect(&pos, &dir, nullptr, nullptr, nullptr, nullptr, nullptr));

    vStaticModel copy(*original);
    vStaticModel assigned;
    assigned = *original;
    assigned = assigned;
    EXPECT_EQ(copy.m_mesh, original->m_mesh);
    EXPECT_EQ(copy.m_textures, original->m_textures);  // shared arrays
    original->Kill();
    delete original;  // the copies keep mesh, clone and arrays alive

    copy.SetMatrix(Translation(0, 0, 5));
    BeginModelFrame();
    copy.Render();
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 1u);
    EXPECT_EQ(rendertest::ReadRenderTarget().At(512, 384), 0x00FF00u);
    EXPECT_STREQ(assigned.GetMeshTextureDesc(0), "wall.tga");
    EXPECT_TRUE(assigned.Intersect(&pos, &dir, nullptr, nullptr, nullptr, nullptr, nullptr));

    // A reload replaces everything of the old mesh.
    ASSERT_EQ(assigned.LoadModel(temp.File("pair.x").c_str()), S_OK);
    EXPECT_EQ(assigned.m_numSubsets, 2u);
    EXPECT_EQ(assigned.m_textures[0], nullptr);
    EXPECT_EQ(copy.m_numSubsets, 1u);  // the copy keeps its own
    EXPECT_EQ(copy.m_textures[0], &green);

    // After Kill nothing is drawn or hit; Kill twice is harmless.
    copy.Kill();
    copy.Kill();
    BeginModelFrame();
    copy.Render();
    copy.RenderSubset(0);
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 0u);
    EXPECT_FALSE(copy.Intersect(&pos, &dir, nullptr, nullptr, nullptr, nullptr, nullptr));

    // Through the base class, destruction frees the derived parts.
    vModel* polymorphic = new vStaticModel(assigned);
    delete polymorphic;
}

TEST_F(ModelTest, LoadModelTexturesLoadsTheNamedTexturesBesideTheMesh)
{
    // The mesh names "wall.tga"; the one beside it in "sub" is red, the one in
    // the working folder's place (the fixture's green) must not be taken.
    const std::string sub = temp.File("sub");
    ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
    ASSERT_TRUE(rendertest::WriteText(sub + "/wall.x", kWallX));
    ASSERT_TRUE(rendertest::WriteSolidTga(sub + "/wall.tga", 8, 8, 0xFFFF0000));

    vStaticModel unloaded;
    EXPECT_EQ(unloaded.LoadModelTextures(), E_FAIL);  // no mesh: nothing to load, nothing shown
    EXPECT_TRUE(win32test::MessageBoxLog().empty());

    auto* wall = new vStaticModel;
    // A backslash name finds its folder as a slash name does.
    ASSERT_EQ(wall->LoadModel((sub + "\\wall.x").c_str()), S_OK);
    EXPECT_EQ(wall->m_textures[0], nullptr) << "LoadModel alone loads no texture";
    ASSERT_EQ(wall->LoadModelTextures(), S_OK);
    EXPECT_TRUE(win32test::MessageBoxLog().empty());
    ASSERT_NE(wall->m_textures[0], nullptr);
    EXPECT_EQ(wall->m_textures[0]->GetWidth(), 8);

    wall->SetMatrix(Translation(0, 0, 5));
    BeginModelFrame();
    wall->Render();
    EXPECT_EQ(rendertest::ReadRenderTarget().At(512, 384), 0xFF0000u);

    // Copies share the textures: the copy still draws them once the original is gone.
    vStaticModel copy(*wall);
    delete wall;
    BeginModelFrame();
    copy.Render();
    EXPECT_EQ(rendertest::ReadRenderTarget().At(512, 384), 0xFF0000u);

    // A second call loads them again in place; a reload drops them.
    EXPECT_EQ(copy.LoadModelTextures(), S_OK);
    ASSERT_EQ(copy.LoadModel(temp.File("wall.x").c_str()), S_OK);
    EXPECT_EQ(copy.m_textures[0], nullptr);
    ASSERT_EQ(copy.LoadModelTextures(), S_OK);  // now the green one beside this mesh
    BeginModelFrame();
    copy.Render();
    EXPECT_EQ(rendertest::ReadRenderTarget().At(512, 384), 0x00FF00u);
}

TEST_F(ModelTest, AMissingModelTextureIsReportedAndTheModelStillDraws)
{
    std::string text = kWallX;
    text.replace(text.find("wall.tga"), 8, "absent.tga");
    ASSERT_TRUE(rendertest::WriteText(temp.File("bare.x"), text));
    vStaticModel bare;
    ASSERT_EQ(bare.LoadModel(temp.File("bare.x").c_str()), S_OK);
    bare.SetSubsetTextureByIndex(0, &green);

    testing::internal::CaptureStderr();
    EXPECT_EQ(bare.LoadModelTextures(), E_FAIL);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("texture: " + temp.File("absent.tga") + ": cannot open the file: No such file or directory"),
              std::string::npos)
        << err;
    ASSERT_EQ(win32test::MessageBoxLog().size(), 1u);
    EXPECT_EQ(win32test::MessageBoxLog()[0], "Error!: Error loading texture!");
    EXPECT_EQ(bare.m_textures[0], nullptr) << "the subset is left untextured";

    // Drawn untextured: lighting off and no vertex colour give opaque white.
    bare.SetMatrix(Translation(0, 0, 5));
    BeginModelFrame();
    bare.Render();
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 1u);
    const Image image = rendertest::ReadRenderTarget();
    EXPECT_EQ(image.At(512, 384), 0xFFFFFFu);
    const rendertest::Extent e = FindColor(image, 0xFFFFFF, 0);
    EXPECT_NEAR((e.left + e.right) / 2.0, 511.5, 1.5);
    EXPECT_NEAR((e.top + e.bottom) / 2.0, 383.5, 1.5);
}

}  // namespace
