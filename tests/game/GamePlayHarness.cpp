#include "GamePlayHarness.h"

#include <Newton.h>

#include <filesystem>

#include <unistd.h>

namespace play {

namespace {

const programdriver::Program kGame = {
    "kMedia/board.x", GameStartup, GameLoopPass, GameFrameCount, [] { return windowHandle; }, "",
};

}  // namespace

std::string PlayerFolder()
{
    char here[4096];
    return std::string(getcwd(here, sizeof(here)) ? here : ".") + "/player";
}

bool EnsureStarted(std::string* why)
{
    static bool once = false;
    if (!once) {
        once = true;
        win32test::UseVirtualPadsOnly(true);  // a pad on the desk cannot steer a test
        // The player's settings and records of this run only, none at first:
        // every test starts from the defaults, whoever runs it.
        std::error_code ec;
        std::filesystem::remove_all(PlayerFolder(), ec);
        setenv("XDG_CONFIG_HOME", (PlayerFolder() + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (PlayerFolder() + "/data").c_str(), 1);
    }
    return programdriver::EnsureStarted(kGame, why);
}

void ResetToLevel(int level)
{
    win32test::ReleaseAllKeys();
    win32test::SetActiveWindow(windowHandle);
    Frames(2);  // let the key-up messages through and the latches settle
    editorMode = false;
    SetPaused(false);
    ballDead = false;
    levelCompleted = false;
    totalScore = 0;
    currentLevel = level;
    LoadNumberedLevel(level);
    Frames(2);
}

void PressWithControl(int virtualKey)
{
    // The key's one-shot latch moves only while Control is held: let it see the
    // key go up before Control does, as a player's fingers do.
    win32test::KeyDown(VK_LCONTROL);
    Frame();
    win32test::KeyDown(virtualKey);
    Frame();
    win32test::KeyUp(virtualKey);
    Frame();
    win32test::KeyUp(VK_LCONTROL);
    Frame();
}

void PlaceBall(float x, float y, float z)
{
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    NewtonBodySetMatrix(ballBody, &m._11);
    const float zero[3] = {0.0f, 0.0f, 0.0f};
    NewtonBodySetVelocity(ballBody, zero);
    NewtonBodySetOmega(ballBody, zero);
}

D3DXVECTOR3 BallBodyPosition()
{
    D3DXMATRIX m;
    NewtonBodyGetMatrix(ballBody, &m._11);
    return D3DXVECTOR3(m._41, m._42, m._43);
}

bool FindBomb(int* cx, int* cz)
{
    for (int x = 2; x < 43; ++x)
        for (int z = 2; z < 43; ++z)
            if (levelGrid[x * 45 + z] == 1) {
                *cx = x;
                *cz = z;
                return true;
            }
    return false;
}

int CountColour(const Image& image, int x0, int y0, int x1, int y1, uint32_t colour, int tolerance)
{
    int count = 0;
    for (int y = y0; y < y1 && y < image.height; ++y)
        for (int x = x0; x < x1 && x < image.width; ++x)
            count += rendertest::ColorDistance(image.At(x, y), colour) <= tolerance ? 1 : 0;
    return count;
}

}  // namespace play
