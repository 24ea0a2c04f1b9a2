// The water plane on a 1024 x 768 headless back buffer, run from the source
// tree so that media\fx\water.fx is found: the mirrored view, the reflection
// pass's states and clear colour, a pillar standing in the water meeting its
// reflection at the waterline, nothing under the water reflected, and the
// effect's distortion parameters.
#include <EngineFixture.h>

#include <d3dx9.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "vTexture.h"
#include "vWaterPlane.h"

namespace {

using rendertest::EngineFixture;
using rendertest::Image;

const uint32_t kRed = 0xFFFF0000;
const uint32_t kGreen = 0xFF00FF00;

struct ColourVertex {
    float x, y, z;
    DWORD colour;
};

// An axis-aligned box of 12 triangles, each clockwise seen from outside.
std::vector<ColourVertex> Box(D3DXVECTOR3 lo, D3DXVECTOR3 hi, DWORD colour)
{
    std::vector<ColourVertex> v;
    const D3DXVECTOR3 centre = (lo + hi) * 0.5f;
    auto corner = [&](int i) {
        return D3DXVECTOR3((i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z);
    };
    const int faces[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
    for (const auto& f : faces) {
        const D3DXVECTOR3 q[4] = {corner(f[0]), corner(f[1]), corner(f[2]), corner(f[3])};
        const D3DXVECTOR3 faceCentre = (q[0] + q[1] + q[2] + q[3]) * 0.25f;
        for (int t = 0; t < 2; ++t) {
            D3DXVECTOR3 a = q[0], b = q[1 + t], c = q[2 + t];
            D3DXVECTOR3 e1 = b - a, e2 = c - a, n;
            D3DXVec3Cross(&n, &e1, &e2);
            const D3DXVECTOR3 out = faceCentre - centre;
            if (D3DXVec3Dot(&n, &out) < 0) std::swap(b, c);
            for (const D3DXVECTOR3& p : {a, b, c}) v.push_back({p.x, p.y, p.z, colour});
        }
    }
    return v;
}

void DrawBoxes(const std::vector<std::vector<ColourVertex>>& boxes)
{
    objDevice->SetTransform(D3DTS_WORLD, &ev_matrixIdentity);
    objDevice->SetTexture(0, nullptr);
    objDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    objDevice->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    for (const auto& box : boxes)
        objDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, (UINT)box.size() / 3, box.data(), sizeof(ColourVertex));
}

bool Reddish(uint32_t c)
{
    const int r = rendertest::Channel(c, 16), g = rendertest::Channel(c, 8), b = rendertest::Channel(c, 0);
    return r > 70 && r > g + 40 && r > b + 30;
}

bool Greenish(uint32_t c)
{
    const int r = rendertest::Channel(c, 16), g = rendertest::Channel(c, 8), b = rendertest::Channel(c, 0);
    return g > r + 40 && g > b + 40;
}

class WaterPlaneTest : public EngineFixture {
public:
    void SetUp() override
    {
        EngineFixture::SetUp();
        if (IsSkipped()) return;
        // Flat: no distortion. Shift: every texel moves the lookup right.
        ASSERT_TRUE(rendertest::WriteSolidTga(temp.File("flat.tga"), 16, 16, 0xFF808080));
        ASSERT_EQ(flat.LoadTextureFromFile(temp.File("flat.tga").c_str(), 0, 1), S_OK);
        ASSERT_TRUE(rendertest::WriteSolidTga(temp.File("shift.tga"), 16, 16, 0xFFFF8080));
        ASSERT_EQ(shift.LoadTextureFromFile(temp.File("shift.tga").c_str(), 0, 1), S_OK);
        ASSERT_TRUE(water.InitSurface(0.0f));
        ASSERT_NE(water.GetEffect(), nullptr) << "media\\fx\\water.fx did not load";

        D3DXVECTOR3 at(100.0f, 0.0f, 100.0f), up(0.0f, 1.0f, 0.0f);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    }

    void ReleaseResources() override
    {
        water = vWaterPlane();
        flat.Kill();
        shift.Kill();
    }

    // One frame: the reflection pass draws reflected, the main pass draws
    // main and the water surface.
    Image Frame(const std::vector<std::vector<ColourVertex>>& reflected,
                const std::vector<std::vector<ColourVertex>>& main, vTexture* dudv, float offset = 0.0f)
    {
        objDevice->SetTransform(D3DTS_VIEW, &view);
        objDevice->SetTransform(D3DTS_PROJECTION, &ev_matrix3DProj);
        water.BeginRender(eye);
        DrawBoxes(reflected);
        water.EndRender();
        BeginFrame(D3DXCOLOR(0.0f, 0.0f, 0.0f, 1.0f));
        DrawBoxes(main);
        water.RenderSurface(dudv, offset);
        return rendertest::ReadRenderTarget();
    }

    // Screen pixel of a world point through the main camera.
    D3DXVECTOR2 Screen(D3DXVECTOR3 p) const
    {
        D3DXMATRIX vp;
        D3DXMatrixMultiply(&vp, &view, &ev_matrix3DProj);
        D3DXVECTOR3 ndc;
        D3DXVec3TransformCoord(&ndc, &p, &vp);
        return D3DXVECTOR2((ndc.x + 1.0f) * 0.5f * 1024.0f, (1.0f - ndc.y) * 0.5f * 768.0f);
    }

    std::vector<ColourVertex> Pillar() const { return Box(D3DXVECTOR3(112, -10, 97), D3DXVECTOR3(118, 15, 103), kRed); }

    D3DXVECTOR3 eye = D3DXVECTOR3(100.0f, 10.0f, 60.0f);
    D3DXMATRIX view;
    vTexture flat;
    vTexture shift;
    vWaterPlane water;
};

TEST_F(WaterPlaneTest, TheMirroredViewAndTheReflectionPassState)
{
    objDevice->SetTransform(D3DTS_VIEW, &view);
    objDevice->SetTransform(D3DTS_PROJECTION, &ev_matrix3DProj);
    objDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    BeginFrame();
    water.BeginRender(eye);

    D3DXMATRIX mirrored, projection;
    objDevice->GetTransform(D3DTS_VIEW, &mirrored);
    objDevice->GetTransform(D3DTS_PROJECTION, &projection);
    for (const D3DXVECTOR3& p : {D3DXVECTOR3(100, 5, 100), D3DXVECTOR3(90, 5, 150), D3DXVECTOR3(120, 5, 80)}) {
        D3DXVECTOR3 below(p.x, -p.y, p.z), a, b, c;
        D3DXVec3TransformCoord(&a, &p, &mirrored);
        D3DXVec3TransformCoord(&b, &below, &view);
        EXPECT_NEAR(a.x, b.x, 1e-3f);
        EXPECT_NEAR(a.y, b.y, 1e-3f);
        EXPECT_NEAR(a.z, b.z, 1e-3f);

        // The pass's projection puts a point where the main camera's does;
        // only depth differs, and what lies under the water is before the near plane.
        D3DXVECTOR4 pass, mainCamera;
        D3DXVec3Transform(&pass, &a, &projection);
        D3DXVec3Transform(&mainCamera, &a, &ev_matrix3DProj);
        EXPECT_NEAR(pass.x / pass.w, mainCamera.x / mainCamera.w, 1e-4f);
        EXPECT_NEAR(pass.y / pass.w, mainCamera.y / mainCamera.w, 1e-4f);
        EXPECT_GT(pass.z / pass.w, 0.0f);
        EXPECT_LT(pass.z / pass.w, 1.0f);
        ASSERT_GT(pass.w, 0.0f);
        D3DXVECTOR4 under;
        D3DXVec3TransformCoord(&c, &below, &mirrored);  // (x, -5, z) drawn in the reflection pass
        D3DXVec3Transform(&under, &c, &projection);
        EXPECT_GT(under.w, 0.0f);
        EXPECT_LT(under.z / under.w, 0.0f);
    }
    DWORD cull = 0;
    objDevice->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, (DWORD)D3DCULL_CW) << "the mirror turns the winding round";

    water.EndRender();
    D3DXMATRIX after, afterProjection;
    objDevice->GetTransform(D3DTS_VIEW, &after);
    objDevice->GetTransform(D3DTS_PROJECTION, &afterProjection);
    EXPECT_EQ(std::memcmp(&after, &view, sizeof(view)), 0);
    EXPECT_EQ(std::memcmp(&afterProjection, &ev_matrix3DProj, sizeof(view)), 0);
    objDevice->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, (DWORD)D3DCULL_CCW);

    // The reflection image stays bound until the engine's Clear: cleared to light blue.
    const Image reflection = rendertest::ReadRenderTarget();
    ASSERT_EQ(reflection.width, 256);
    ASSERT_EQ(reflection.height, 256);
    EXPECT_EQ(rendertest::FindColor(reflection, 0x4D4DFF, 0).count, 256L * 256L);
    EXPECT_EQ(reflection.Argb(10, 10), 0xFF4D4DFFu);
}

TEST_F(WaterPlaneTest, APillarMeetsItsReflectionAtTheWaterline)
{
    objDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    const Image image = Frame({Pillar()}, {Pillar()}, &flat);
    objDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    ASSERT_FALSE(image.Empty());

    // The pillar stands right of the centre, so a reflection drawn with
    // another aspect than the screen's would land beside it.
    const D3DXVECTOR2 waterline = Screen(D3DXVECTOR3(115, 0, 97));
    const D3DXVECTOR2 top = Screen(D3DXVECTOR3(115, 15, 97));
    const D3DXVECTOR2 mirroredTop = Screen(D3DXVECTOR3(115, -15, 97));
    const int x = (int)waterline.x;
    ASSERT_GT(top.y, 10.0f);
    ASSERT_LT(mirroredTop.y, 758.0f);

    // The pillar above the water, then at once its reflection below.
    int lastPillarRow = -1;
    for (int y = (int)top.y + 2; y < 768 && rendertest::ColorDistance(image.At(x, y), 0xFF0000) <= 8; ++y)
        lastPillarRow = y;
    ASSERT_GE(lastPillarRow, 0);
    EXPECT_NEAR(lastPillarRow, waterline.y, 2.0f);
    int firstReflectionRow = -1;
    for (int y = lastPillarRow + 1; y < lastPillarRow + 6; ++y)
        if (Reddish(image.At(x, y))) {
            firstReflectionRow = y;
            break;
        }
    EXPECT_GE(firstReflectionRow, 0) << "no reflection just under the pillar's foot";
    EXPECT_LE(firstReflectionRow - lastPillarRow, 3);

    // Just above and just below the waterline the pillar's front face and its
    // reflection end at the same column on the right (on the left the side
    // facing the camera shows, receding up in the pillar and down in the reflection).
    auto extent = [&](int y, bool (*match)(uint32_t)) {
        int left = x, right = x;
        while (left > 0 && match(image.At(left - 1, y))) --left;
        while (right < 1023 && match(image.At(right + 1, y))) ++right;
        return std::make_pair(left, right);
    };
    auto pureRed = [](uint32_t c) { return rendertest::ColorDistance(c, 0xFF0000) <= 8; };
    const auto pillar = extent(lastPillarRow - 3, pureRed);
    const auto mirrored = extent(lastPillarRow + 8, Reddish);
    EXPECT_NEAR(mirrored.second, pillar.second, 4);
    EXPECT_NEAR(pillar.second, Screen(D3DXVECTOR3(118, 0, 97)).x, 2.0f);
    EXPECT_GT(mirrored.second - mirrored.first, 60);

    // The reflection reaches down to the mirrored top of the pillar and no further.
    int lastReflectionRow = -1;
    for (int y = lastPillarRow + 1; y < 768; ++y)
        if (Reddish(image.At(x, y))) lastReflectionRow = y;
    EXPECT_NEAR(lastReflectionRow, mirroredTop.y, 4.0f);
    // Left and right of it the water shows the reflected sky, bluish.
    const uint32_t beside = image.At(x - 200, (int)((waterline.y + mirroredTop.y) / 2));
    EXPECT_GT(rendertest::Channel(beside, 0), rendertest::Channel(beside, 16) + 60) << std::hex << beside;
}

TEST_F(WaterPlaneTest, NothingUnderTheWaterIsReflected)
{
    const std::vector<ColourVertex> under = Box(D3DXVECTOR3(88, -8, 97), D3DXVECTOR3(94, -2, 103), kGreen);
    const std::vector<ColourVertex> over = Box(D3DXVECTOR3(88, 2, 97), D3DXVECTOR3(94, 8, 103), kGreen);

    const Image hidden = Frame({Pillar(), under}, {Pillar()}, &flat);
    long greenPixels = 0;
    for (int y = 0; y < hidden.height; ++y)
        for (int x = 0; x < hidden.width; ++x) greenPixels += Greenish(hidden.At(x, y));
    EXPECT_EQ(greenPixels, 0) << "an object under the water shows in the reflection";

    // The same box above the water does show.
    const Image shown = Frame({Pillar(), over}, {Pillar()}, &flat);
    const D3DXVECTOR2 mirrored = Screen(D3DXVECTOR3(91, -5, 97));
    EXPECT_TRUE(Greenish(shown.At((int)mirrored.x, (int)mirrored.y)))
        << std::hex << shown.At((int)mirrored.x, (int)mirrored.y);
}

TEST_F(WaterPlaneTest, ANullDudvKeepsTheMapSetBeforeAndTheOffsetIsAlwaysSet)
{
    const D3DXVECTOR2 probe = Screen(D3DXVECTOR3(115, -7, 97));
    const Image still = Frame({Pillar()}, {Pillar()}, &flat);
    const Image shifted = Frame({Pillar()}, {Pillar()}, &shift, 0.25f);
    float offset = 0;
    ASSERT_EQ(water.GetEffect()->GetFloat("DudvOffset", &offset), D3D_OK);
    EXPECT_EQ(offset, 0.25f);
    const Image kept = Frame({Pillar()}, {Pillar()}, nullptr, 0.75f);
    ASSERT_EQ(water.GetEffect()->GetFloat("DudvOffset", &offset), D3D_OK);
    EXPECT_EQ(offset, 0.75f);

    // The shift map moves the reflection sideways; without a new map it stays moved.
    int differ = 0, same = 0;
    for (int x = (int)probe.x - 120; x <= (int)probe.x + 120; ++x) {
        const int y = (int)probe.y;
        differ += rendertest::ColorDistance(still.At(x, y), shifted.At(x, y)) > 40;
        same += rendertest::ColorDistance(kept.At(x, y), shifted.At(x, y)) <= 4;
    }
    EXPECT_GT(differ, 5);
    EXPECT_EQ(same, 241);
}

TEST_F(WaterPlaneTest, WithoutTheEffectFileNothingIsDrawn)
{
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
    ASSERT_EQ(chdir(temp.path.c_str()), 0);
    vWaterPlane bare;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(bare.InitSurface(0.0f));
    std::string err = testing::internal::GetCapturedStderr();
    // The file and the reason, on standard error.
    EXPECT_NE(err.find("water: media\\fx\\water.fx: cannot open the file: No such file or directory\n"),
              std::string::npos)
        << err;
    // A file that does not compile gives the effect's compile log.
    std::filesystem::create_directories(temp.path / "media" / "fx");
    ASSERT_TRUE(rendertest::WriteText(temp.File("media/fx/water.fx"), "technique Water { pass P0 { vertex { } } }"));
    vWaterPlane broken;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(broken.InitSurface(0.0f));
    err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(chdir(cwd), 0);
    EXPECT_EQ(broken.GetEffect(), nullptr);
    EXPECT_NE(err.find("water: media\\fx\\water.fx: cannot compile: "), std::string::npos) << err;
    EXPECT_EQ(bare.GetEffect(), nullptr);

    objDevice->SetTransform(D3DTS_VIEW, &view);
    bare.BeginRender(eye);
    bare.EndRender();
    BeginFrame();
    bare.RenderSurface(&flat, 0.0f);
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 0u);
    water.RenderSurface(&flat, 0.0f);
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 1u);
}

}  // namespace
