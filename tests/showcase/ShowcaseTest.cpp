// The showcase program run headless through its real loop on the virtual
// clock: what the scene shows, the "Scene" window and its widgets, the camera
// and the files the program writes.
#include "ShowcaseDriver.h"

#include <FileSizeLimit.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "media/GuiMedia.h"

namespace {

using namespace showdrive;
using rendertest::ColorDistance;
using rendertest::Image;
namespace fs = std::filesystem;

uint32_t Rgb(const media::Rgba& c)
{
    auto byte = [](float v) { return (uint32_t)std::lround(std::min(std::max(v, 0.0f), 1.0f) * 255.0f); };
    return byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

int Red(uint32_t p)
{
    return (int)(p >> 16 & 0xFF);
}
int Green(uint32_t p)
{
    return (int)(p >> 8 & 0xFF);
}
int Blue(uint32_t p)
{
    return (int)(p & 0xFF);
}

// Pixels of [x0, x1) x [y0, y1) that differ between two images by more than tolerance.
int Changed(const Image& a, const Image& b, int x0, int y0, int x1, int y1, int tolerance)
{
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) count += ColorDistance(a.At(x, y), b.At(x, y)) > tolerance ? 1 : 0;
    return count;
}

std::vector<unsigned char> ReadFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// Width and height from a JPEG's start-of-frame segment; 0 x 0 when there is none.
std::pair<int, int> JpegSize(const std::vector<unsigned char>& jpeg)
{
    size_t i = 2;
    while (i + 9 < jpeg.size() && jpeg[i] == 0xFF) {
        const int marker = jpeg[i + 1];
        const size_t length = (size_t)jpeg[i + 2] << 8 | jpeg[i + 3];
        if (marker >= 0xC0 && marker <= 0xC3) return {jpeg[i + 7] << 8 | jpeg[i + 8], jpeg[i + 5] << 8 | jpeg[i + 6]};
        i += 2 + length;
    }
    return {0, 0};
}

// The window's left frame strip (below the bar) shows the border texture.
bool WindowFrameAt(const Image& image, int x, int y)
{
    const uint32_t border = Rgb(media::MakeFrameBorder().At(0, 0));
    int hits = 0;
    for (int row = y + 40; row < y + 340; row += 20) hits += ColorDistance(image.At(x, row), border) <= 6 ? 1 : 0;
    return hits == 15;
}

TEST_F(Showcase, TheSceneShowsSkyTerrainWaterAndTheWindowAfterHundredsOfFrames)
{
    showcase::World& w = showcase::Scene();
    Frames(300);
    EXPECT_GE(showcase::FrameCount(), 300u);
    const Image image = ReadPresented();
    Dump(image, "start");
    ASSERT_EQ(image.width, showcase::kClientWidth);
    ASSERT_EQ(image.height, showcase::kClientHeight);

    // Top rows, left of the window: the sky's blue, brighter in blue than in
    // red, and not the clear colour.
    const uint32_t clear = 0xB8C7DB;
    for (int y = 0; y < 12; y += 3)
        for (int x = 0; x < 700; x += 50) {
            const uint32_t p = image.At(x, y);
            EXPECT_GT(Blue(p), Red(p) + 30) << x << ", " << y;
            EXPECT_GT(ColorDistance(p, clear), 12) << x << ", " << y;
        }

    // Lower middle: the terrain, darker and greener than the sky, varied by its layers.
    int ground = 0;
    for (int y = 600; y < 700; y += 4)
        for (int x = 300; x < 700; x += 4) {
            const uint32_t p = image.At(x, y);
            ground += Green(p) >= Blue(p) ? 1 : 0;
        }
    EXPECT_GT(ground, 100 * 25 * 60 / 100) << "most of the lower middle is ground";

    // The GUI window at its place, its frame in the border colour.
    EXPECT_TRUE(WindowFrameAt(image, w.sceneWindow->GetPositionX(), w.sceneWindow->GetPositionY()));
    EXPECT_EQ(w.sceneWindow->GetPositionX(), showcase::kClientWidth - 290);

    // The status line counts the frame's draw calls.
    EXPECT_GT(w.lastDrawCalls, 20u);
}

TEST_F(Showcase, TheWindowIsDraggedByItsBarAndItsWidgetsFollow)
{
    showcase::World& w = showcase::Scene();
    const int x = w.sceneWindow->GetPositionX(), y = w.sceneWindow->GetPositionY();
    const int buttonDx = w.fogToggle->GetPositionX() - x;
    HWND hwnd = w.window;
    win32test::MouseMove(hwnd, x + 60, y + 10);
    Frame();
    win32test::MouseButton(hwnd, true);
    Frame();
    win32test::MouseMove(hwnd, x - 340, y + 150);
    Frame();
    win32test::MouseButton(hwnd, false);
    Frames(3);
    EXPECT_EQ(w.sceneWindow->GetPositionX(), x - 400);
    EXPECT_EQ(w.sceneWindow->GetPositionY(), y + 140);
    EXPECT_EQ(w.fogToggle->GetPositionX(), x - 400 + buttonDx) << "the contents follow the window";
    const Image image = ReadPresented();
    Dump(image, "dragged");
    EXPECT_TRUE(WindowFrameAt(image, x - 400, y + 140));
    EXPECT_FALSE(WindowFrameAt(image, x, y));
    // The camera did not turn with the left button.
    EXPECT_FLOAT_EQ(w.camera.m_rotation.y, w.spots.At(0).yaw);
}

TEST_F(Showcase, TheWireframeToggleTurnsTheTerrainToLines)
{
    showcase::World& w = showcase::Scene();
    Frames(2);
    const Image solid = ReadPresented();
    ClickOn(w.wireframeToggle);
    EXPECT_TRUE(w.wireframe);
    EXPECT_EQ(w.wireframeToggle->GetButtonState(), 1) << "down while on";
    Frames(2);
    const Image lines = ReadPresented();
    Dump(lines, "wireframe");

    // The lower middle is terrain: in lines the sky shows between them, while
    // the lines keep the terrain's colours.
    const int x0 = 250, y0 = 560, x1 = 650, y1 = 700, area = (x1 - x0) * (y1 - y0);
    const int changed = Changed(solid, lines, x0, y0, x1, y1, 40);
    EXPECT_GT(changed, area * 3 / 10);
    EXPECT_GT(area - Changed(solid, lines, x0, y0, x1, y1, 20), area / 50) << "the lines keep the terrain's colours";

    ClickOn(w.wireframeToggle);
    EXPECT_FALSE(w.wireframe);
    Frames(2);
    const Image again = ReadPresented();
    EXPECT_LT(Changed(solid, again, x0, y0, x1, y1, 40), area / 100);
}

TEST_F(Showcase, TheWaterReflectsAModelPlacedForTheTest)
{
    showcase::World& w = showcase::Scene();
    // A ball above the flooded plain, in front of the camera; its mirror image lies below the water line.
    showcase::Prop& ball = w.props[0];
    const showcase::Prop saved = ball;
    const float h = showcase::kWaterHeight;
    const D3DXVECTOR3 at(100.0f, h + 5.0f, 85.0f);
    const POINT mirror = Project(D3DXVECTOR3(at.x, 2.0f * h - at.y, at.z));
    const POINT above = Project(at);
    ASSERT_GT(mirror.y, above.y + 60) << "the mirror image lies lower on the screen";
    const int x0 = mirror.x - 12, x1 = mirror.x + 12, y0 = mirror.y - 8, y1 = mirror.y + 8;

    ball.position = D3DXVECTOR3(at.x, -200.0f, at.z);  // out of sight, under the ground
    ball.scale = 3.0f;
    Frames(2);
    const Image without = ReadPresented();
    ball.position = at;
    Frames(2);
    const Image with = ReadPresented();
    Dump(with, "reflection");
    const int area = (x1 - x0) * (y1 - y0);
    EXPECT_GT(Changed(without, with, x0, y0, x1, y1, 20), area / 2) << "the ball shows in the water";

    // Without the reflection pass the water keeps its own colour there.
    ClickOn(w.reflectionToggle);
    EXPECT_FALSE(w.reflection);
    Frames(2);
    const Image plain = ReadPresented();
    ball.position = D3DXVECTOR3(at.x, -200.0f, at.z);
    Frames(2);
    const Image plainWithout = ReadPresented();
    EXPECT_LT(Changed(plainWithout, plain, x0, y0, x1, y1, 20), area / 20);
    ball = saved;
}

TEST_F(Showcase, ChoosingASpotInTheListMovesTheCameraThere)
{
    showcase::World& w = showcase::Scene();
    ASSERT_GE(w.spots.Count(), 3);
    const int row = w.gui.GetFontSize();
    for (int i : {2, 1}) {
        ClickAt(w.spotList->GetPositionX() + 40, w.spotList->GetPositionY() + 2 + i * row + row / 2);
        EXPECT_EQ(w.spotList->GetSelectedIndex(), i);
        const ShowcaseSpot& spot = w.spots.At(i);
        const D3DXVECTOR3 eye = w.camera.GetPosition();
        EXPECT_FLOAT_EQ(eye.x, spot.x);
        EXPECT_FLOAT_EQ(eye.y, spot.y);
        EXPECT_FLOAT_EQ(eye.z, spot.z);
        EXPECT_FLOAT_EQ(w.camera.m_rotation.y, spot.yaw);
        EXPECT_EQ(w.message, "Camera at " + spot.name);
    }
}

TEST_F(Showcase, TheScreenshotButtonWritesTheNamedJpeg)
{
    showcase::World& w = showcase::Scene();
    for (const auto& entry : fs::directory_iterator("."))
        if (entry.path().extension() == ".jpg") fs::remove(entry.path());
    ClickOn(w.shotName);
    const D3DXVECTOR3 before = w.camera.GetPosition();
    win32test::TypeText("harbour view!");  // the 'w' and 'a' do not move the camera while typing
    Frames(3);
    EXPECT_EQ(w.camera.GetPosition(), before);
    ClickOn(w.screenshotButton);
    ASSERT_TRUE(fs::exists("harbourview_0.jpg")) << w.message;
    EXPECT_EQ(w.message, "Screenshot saved as harbourview_0.jpg");
    const std::vector<unsigned char> jpeg = ReadFile("harbourview_0.jpg");
    ASSERT_GT(jpeg.size(), 10000u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    EXPECT_EQ(JpegSize(jpeg), std::make_pair(showcase::kClientWidth, showcase::kClientHeight));

    ClickOn(w.screenshotButton);
    EXPECT_TRUE(fs::exists("harbourview_1.jpg")) << "the next shot takes the next number";
    EXPECT_EQ(w.message, "Screenshot saved as harbourview_1.jpg");

    // KOLVAR_SHOWCASE_SHOT=<file> keeps the first shot (the README's picture).
    if (const char* keep = std::getenv("KOLVAR_SHOWCASE_SHOT"))
        fs::copy_file("harbourview_0.jpg", keep, fs::copy_options::overwrite_existing);
    w.shotName->ClearText();
}

// The JPEG files of the working folder.
std::set<std::string> Jpegs()
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator("."))
        if (entry.path().extension() == ".jpg") names.insert(entry.path().filename().string());
    return names;
}

TEST_F(Showcase, EachShotNamesTheFileItWroteUnderAnyName)
{
    showcase::World& w = showcase::Scene();
    for (const std::string& name : Jpegs()) fs::remove(name);
    // The engine numbers on across names: the "b" shot comes after the two "a" ones.
    for (const char* name : {"a", "a", "b"}) {
        ClickOn(w.shotName);
        w.shotName->ClearText();
        win32test::TypeText(name);
        Frames(2);
        const std::set<std::string> before = Jpegs();
        ClickOn(w.screenshotButton);
        std::vector<std::string> written;
        for (const std::string& file : Jpegs())
            if (!before.count(file)) written.push_back(file);
        ASSERT_EQ(written.size(), 1u) << "shot \"" << name << "\": " << w.message;
        EXPECT_EQ(written[0].rfind(std::string(name) + "_", 0), 0u) << written[0];
        EXPECT_EQ(w.message, "Screenshot saved as " + written[0]);
    }
    EXPECT_FALSE(fs::exists("b_0.jpg"));
    w.shotName->ClearText();
}

TEST_F(Showcase, TheSpotListIsSavedAndRestoredAndACorruptFileRefused)
{
    showcase::World& w = showcase::Scene();
    std::remove(showcase::kSpotFile);
    const SpotList saved = w.spots;
    const int start = w.spots.Count();

    showcase::MoveCameraTo({"", 42.0f, 70.0f, 24.0f, -0.4f, 1.0f});
    ClickOn(w.addSpotButton);
    ASSERT_EQ(w.spots.Count(), start + 1);
    EXPECT_EQ(w.spots.At(start).name, "Spot " + std::to_string(start + 1));
    EXPECT_FLOAT_EQ(w.spots.At(start).x, 42.0f);
    ClickOn(w.saveSpotsButton);
    EXPECT_EQ(w.message, "Saved " + std::to_string(start + 1) + " spots to showcase_spots.dat");
    EXPECT_TRUE(fs::exists(showcase::kSpotFile));
    EXPECT_FALSE(fs::exists(std::string(showcase::kSpotFile) + ".tmp"));

    ClickOn(w.addSpotButton);
    ASSERT_EQ(w.spots.Count(), start + 2);
    ClickOn(w.loadSpotsButton);
    EXPECT_EQ(w.message, "Loaded " + std::to_string(start + 1) + " spots from showcase_spots.dat");
    ASSERT_EQ(w.spots.Count(), start + 1);
    EXPECT_FLOAT_EQ(w.spots.At(start).z, 24.0f);

    // The restored spot is in the list box and takes the camera there.
    showcase::MoveCameraTo(w.spots.At(0));
    const int row = w.gui.GetFontSize();
    ClickAt(w.spotList->GetPositionX() + 40, w.spotList->GetPositionY() + 2 + start * row + row / 2);
    EXPECT_FLOAT_EQ(w.camera.GetPosition().x, 42.0f);

    // A damaged file is refused, and the list stays as it was.
    std::vector<unsigned char> bytes = ReadFile(showcase::kSpotFile);
    bytes.resize(bytes.size() - 3);
    {
        std::ofstream out(showcase::kSpotFile, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
    }
    ClickOn(w.loadSpotsButton);
    EXPECT_EQ(w.message, "Spot file showcase_spots.dat is corrupt: truncated");
    EXPECT_EQ(w.spots.Count(), start + 1);
    Frames(2);
    Dump(ReadPresented(), "corrupt");

    std::remove(showcase::kSpotFile);
    w.spots = saved;
    showcase::RefreshSpotList();
}

TEST_F(Showcase, AFailedSaveOfTheSpotsSaysWhichFileAndWhy)
{
    showcase::World& w = showcase::Scene();
    std::remove(showcase::kSpotFile);
    const std::string tmp = std::string(showcase::kSpotFile) + ".tmp";

    // The file cannot grow: the disk is as good as full.
    {
        FileSizeLimit full(8);
        ASSERT_TRUE(full.Active());
        ClickOn(w.saveSpotsButton);
    }
    EXPECT_EQ(w.message, std::string("Cannot write ") + showcase::kSpotFile + ": File too large");
    EXPECT_FALSE(fs::exists(showcase::kSpotFile));
    EXPECT_FALSE(fs::exists(tmp));

    // A folder holds the name.
    fs::create_directories(fs::path(showcase::kSpotFile) / "inside");
    ClickOn(w.saveSpotsButton);
    EXPECT_EQ(w.message, std::string("Cannot replace ") + showcase::kSpotFile + ": Is a directory");
    EXPECT_FALSE(fs::exists(tmp));
    Frames(2);
    Dump(ReadPresented(), "save_failed");
    fs::remove_all(showcase::kSpotFile);
}

TEST_F(Showcase, TheKeysMoveAndTurnTheCameraWhichStaysAboveTheDrawnSurface)
{
    showcase::World& w = showcase::Scene();
    showcase::MoveCameraTo({"", 100.0f, 30.0f, 20.0f, 0.0f, 0.0f});  // level, looking along +z
    HoldKey('W', 30);
    EXPECT_GT(w.camera.GetPosition().z, 30.0f);
    EXPECT_NEAR(w.camera.GetPosition().x, 100.0f, 0.01f);
    const float z = w.camera.GetPosition().z;
    HoldKey(VK_DOWN, 10);
    EXPECT_LT(w.camera.GetPosition().z, z);
    HoldKey('D', 10);
    EXPECT_GT(w.camera.GetPosition().x, 100.5f) << "D steps to the right";
    HoldKey('A', 20);
    EXPECT_LT(w.camera.GetPosition().x, 99.5f);
    const float yaw = w.camera.m_rotation.y;
    HoldKey(VK_RIGHT, 10);
    EXPECT_GT(w.camera.m_rotation.y, yaw + 0.1f);
    HoldKey(VK_LEFT, 20);
    EXPECT_LT(w.camera.m_rotation.y, yaw - 0.1f);

    // Flying down into a hill side: the eye stops 2 above the triangles as drawn.
    showcase::MoveCameraTo({"", 40.0f, 40.0f, 200.0f, -1.2f, 0.5f});
    win32test::KeyDown('W');
    float lowest = 1e9f;
    for (int i = 0; i < 120; ++i) {
        Frame();
        const D3DXVECTOR3 eye = w.camera.GetPosition();
        const float margin = eye.y - w.terrain.GetSurfaceHeight(eye);
        EXPECT_GE(margin, showcase::kCameraClearance - 1e-3f) << "frame " << i;
        lowest = std::min(lowest, margin);
    }
    win32test::KeyUp('W');
    Frame();
    EXPECT_LT(lowest, showcase::kCameraClearance + 0.01f) << "the camera reached the ground";
}

TEST_F(Showcase, TheRightButtonHeldLooksAround)
{
    showcase::World& w = showcase::Scene();
    HWND hwnd = w.window;
    const float yaw = w.camera.m_rotation.y, pitch = w.camera.m_rotation.x;
    PostMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(300, 300));
    Frame();
    win32test::MouseMove(hwnd, 400, 320);
    Frame();
    EXPECT_NEAR(w.camera.m_rotation.y, yaw + 0.5f, 1e-4f);
    EXPECT_NEAR(w.camera.m_rotation.x, pitch - 0.1f, 1e-4f) << "moving down looks down";
    PostMessageA(hwnd, WM_RBUTTONUP, 0, MAKELPARAM(400, 320));
    Frame();
    win32test::MouseMove(hwnd, 200, 200);
    Frame();
    EXPECT_NEAR(w.camera.m_rotation.y, yaw + 0.5f, 1e-4f) << "released: the mouse no longer turns it";
}

}  // namespace
