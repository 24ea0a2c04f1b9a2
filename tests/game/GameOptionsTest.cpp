// The options window and the records in the real loop: the window's widgets
// are the engine's own, clicked by position through the real window
// procedure; the settings and records are real files under the run's own
// player folder.
#include "GamePlayHarness.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

#include "GameOptions.h"
#include "GameRecords.h"

using namespace play;
using programdriver::ClickAt;

namespace {

// Where the window's widgets stand (the window in the middle of the screen).
const int kWindowX = 298, kWindowY = 222;
const POINT kUpKey = {kWindowX + 100, kWindowY + 49};
const POINT kDownKey = {kWindowX + 310, kWindowY + 49};
const POINT kReset = {kWindowX + 310, kWindowY + 220};
const POINT kClose = {kWindowX + 310, kWindowY + 254};
const POINT kFrameRate = {kWindowX + 310, kWindowY + 156};
const uint32_t kHudGreen = 0xFF4DB24D;
const uint32_t kMessageYellow = 0xFFFFE64C;

std::string SettingsFile()
{
    return PlayerFolder() + "/config/kolvar/settings";
}

std::string RecordsFile()
{
    return PlayerFolder() + "/data/kolvar/records";
}

bool Exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

void Click(POINT p)
{
    ClickAt(p.x, p.y);
}

void CompleteLevel()
{
    for (int i = 0; i < coinCount; ++i) {
        if (!coins[i].active) continue;
        PlaceBall(coins[i].position.x, 1.0f, coins[i].position.z);
        Frame();
    }
    PlaceBall(goalPosition.x, 1.0f, goalPosition.z);
    Frame();
}

class GameOptions : public GamePlay {
protected:
    void SetUp() override
    {
        GamePlay::SetUp();
        settings = DefaultSettings();
        ApplySettings();
        records = Records();
        std::error_code ec;
        std::filesystem::remove_all(PlayerFolder(), ec);
    }
    void TearDown() override
    {
        if (OptionsOpen()) CloseOptions();
        settings = DefaultSettings();
        ApplySettings();
    }
};

}  // namespace

TEST_F(GameOptions, RebindingTheUpKeyThroughTheWindowSteersWithTheNewKeyAndIsSaved)
{
    Frames(90);
    Press('O');
    ASSERT_TRUE(OptionsOpen());
    EXPECT_TRUE(gamePaused) << "the game is paused behind the window";
    EXPECT_STREQ(OptionsMessage(), "") << "opening changes nothing";
    EXPECT_FALSE(Exists(SettingsFile())) << "nor writes anything";

    Click(kUpKey);
    Press('I');
    EXPECT_EQ(settings.steerKeys[kSteerUp], 'I') << OptionsMessage();
    EXPECT_TRUE(Exists(SettingsFile()));

    // A key another action has is refused, with a line that says which.
    Click(kDownKey);
    Press('I');
    EXPECT_EQ(settings.steerKeys[kSteerDown], 'S');
    EXPECT_NE(std::string(OptionsMessage()).find("I is already Roll up"), std::string::npos) << OptionsMessage();
    Click(kDownKey);
    Press('C');
    EXPECT_EQ(settings.steerKeys[kSteerDown], 'S');
    EXPECT_NE(std::string(OptionsMessage()).find("the editor's coin key"), std::string::npos) << OptionsMessage();

    // Escape closes the window, the game goes on; held, it does not quit.
    win32test::KeyDown(VK_ESCAPE);
    Frames(3);
    win32test::KeyUp(VK_ESCAPE);
    Frame();
    EXPECT_FALSE(OptionsOpen());
    EXPECT_FALSE(gamePaused);

    win32test::KeyDown('I');
    Frame();
    EXPECT_EQ(steeringTorque.x, 70.0f) << "I steers up";
    win32test::KeyUp('I');
    win32test::KeyDown('W');
    Frame();
    EXPECT_EQ(steeringTorque.x, 0.0f) << "W no longer does";
    win32test::KeyUp('W');
    Frame();

    // The next start-up reads the file.
    settings = DefaultSettings();
    InitSettings();
    EXPECT_EQ(settings.steerKeys[kSteerUp], 'I');

    // Reset to defaults: W again, saved.
    Press('O');
    Click(kReset);
    EXPECT_EQ(settings.steerKeys[kSteerUp], 'W');
    Click(kClose);
    EXPECT_FALSE(OptionsOpen());
    settings.steerKeys[kSteerUp] = 'K';
    InitSettings();
    EXPECT_EQ(settings.steerKeys[kSteerUp], 'W');
}

TEST_F(GameOptions, TheFrameRateToggleHidesTheLineAndTheSettingIsKept)
{
    Press('O');
    ASSERT_TRUE(engine.m_showFps);
    Click(kFrameRate);
    EXPECT_FALSE(engine.m_showFps);
    EXPECT_FALSE(settings.showFrameRate);
    InitSettings();
    EXPECT_FALSE(settings.showFrameRate) << "saved";
    Click(kFrameRate);
    EXPECT_TRUE(engine.m_showFps);
    win32test::KeyDown(VK_ESCAPE);
    Frame();
    win32test::KeyUp(VK_ESCAPE);
    Frame();
    EXPECT_FALSE(OptionsOpen());
}

TEST_F(GameOptions, ACompletedLevelKeepsItsBestAndAnEditedOneNone)
{
    Frames(90);
    Frame(20000.0);  // a slow first run: 200 points of time bonus gone
    CompleteLevel();
    ASSERT_TRUE(levelCompleted);
    ASSERT_TRUE(Exists(RecordsFile()));
    const LevelRecord* first = records.Find(1, levelChecksum);
    ASSERT_NE(first, nullptr);
    const int slowScore = first->bestScore;
    EXPECT_EQ(slowScore, levelScore);
    EXPECT_TRUE(NewBestShown());
    Frame();
    const Image shown = ReadFrame();
    EXPECT_GT(CountColour(shown, 725, 315, 1000, 370, 0xFFFFD700, 30), 50) << "\"New best!\"";

    // A faster run beats it and is saved; a slower one changes nothing.
    ResetToLevel(1);
    Frames(90);
    CompleteLevel();
    ASSERT_TRUE(levelCompleted);
    EXPECT_GT(levelScore, slowScore);
    EXPECT_EQ(records.Find(1, levelChecksum)->bestScore, levelScore);
    const int best = levelScore;
    ResetToLevel(1);
    Frames(90);
    EXPECT_GT(CountColour(ReadFrame(), 5, 445, 300, 490, kHudGreen, 12), 50) << "\"Best: ...\" under the score";
    Frame(30000.0);
    CompleteLevel();
    EXPECT_FALSE(NewBestShown());
    Records onDisk;
    ASSERT_EQ(onDisk.Load(nullptr), FileOutcome::Loaded);
    ASSERT_NE(onDisk.Find(1, levelChecksum), nullptr);
    EXPECT_EQ(onDisk.Find(1, levelChecksum)->bestScore, best);

    // Through the editor and back: the run does not count.
    ResetToLevel(1);
    Frames(90);
    PressWithControl('I');
    PressWithControl('I');
    ASSERT_FALSE(editorMode);
    records = Records();
    CompleteLevel();
    ASSERT_TRUE(levelCompleted);
    EXPECT_EQ(records.Find(1, levelChecksum), nullptr);
    EXPECT_FALSE(NewBestShown());
}

TEST_F(GameOptions, DamagedPlayerFilesAreSetAsideAndSaidOnceAndTheDefaultsPlay)
{
    struct Case {
        const char* name;
        std::string bytes;
        bool huge;
    };
    const Case cases[] = {
        {"empty", "", false},
        {"foreign", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), false},
        {"damaged", std::string("KOLVSETS\x01\0\0\0WWWW", 16), false},
        {"huge", "", true},
    };
    for (const Case& c : cases) {
        for (const std::string& file : {SettingsFile(), RecordsFile()}) {
            std::filesystem::create_directories(std::filesystem::path(file).parent_path());
            std::filesystem::remove(file + ".bad");
            std::ofstream(file, std::ios::binary | std::ios::trunc) << c.bytes;
            if (c.huge) {
                ASSERT_EQ(truncate(file.c_str(), 100 << 20), 0);
            }
        }
        settings.steerKeys[kSteerUp] = 'K';
        testing::internal::CaptureStderr();
        InitSettings();
        InitRecords();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(settings.steerKeys[kSteerUp], 'W') << c.name;
        EXPECT_TRUE(Exists(SettingsFile() + ".bad")) << c.name;
        EXPECT_TRUE(Exists(RecordsFile() + ".bad")) << c.name;
        EXPECT_FALSE(Exists(SettingsFile())) << c.name;
        EXPECT_NE(err.find(SettingsFile()), std::string::npos) << c.name << ": " << err;
        EXPECT_NE(err.find(RecordsFile()), std::string::npos) << c.name << ": " << err;
        Frame();
        EXPECT_GT(CountColour(ReadFrame(), 10, 730, 1006, 752, kMessageYellow, 40), 30)
            << c.name << ": the HUD says so";
        // Play goes on: a level completes and records.
        CompleteLevel();
        EXPECT_TRUE(levelCompleted) << c.name;
        ResetToLevel(1);
    }
}
