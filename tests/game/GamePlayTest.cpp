// Whole-game runs: the real start-up and loop, headless, on the virtual clock
// with injected keys. The ball is sometimes placed directly on a coin, the goal
// or a bomb; the loop then does the rest.
#include "GamePlayHarness.h"

#include <Newton.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <sys/stat.h>
#include <unistd.h>

using namespace play;

namespace {

const uint32_t kHudGreen = 0xFF4DB24D;
const uint32_t kCompletedGreen = 0xFF009900;
const uint32_t kDeathRed = 0xFF990000;

std::vector<char> ReadFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Settle()
{
    Frames(90);
}  // the ball drops from its start onto the board

void CollectEveryCoin()
{
    for (int i = 0; i < coinCount; ++i) {
        if (!coins[i].active) continue;
        PlaceBall(coins[i].position.x, 1.0f, coins[i].position.z);
        Frame();
        ASSERT_FALSE(ballDead) << "coin " << i << " lies on a bomb";
        ASSERT_EQ(coins[i].active, 0) << "coin " << i;
    }
}

void ReachGoal()
{
    PlaceBall(goalPosition.x, 1.0f, goalPosition.z);
    Frame();
}

int FirstActiveCoin()
{
    for (int i = 0; i < coinCount; ++i)
        if (coins[i].active) return i;
    return -1;
}

}  // namespace

TEST_F(GamePlay, SteeringRollsTheBall)
{
    Settle();
    const D3DXVECTOR3 before = BallBodyPosition();
    win32test::KeyDown('W');
    Frames(60);
    win32test::KeyUp('W');
    Frame();
    const D3DXVECTOR3 after = BallBodyPosition();
    EXPECT_GT(after.z - before.z, 0.5f) << "W rolls the ball toward +z";
}

TEST_F(GamePlay, SteeringIsIgnoredWhileTheWindowIsInactive)
{
    win32test::SetActiveWindow(nullptr);
    win32test::KeyDown('W');
    Frames(5);
    EXPECT_EQ(steeringTorque.x, 0.0f);
    win32test::SetActiveWindow(windowHandle);
    Frame();
    // Losing the focus paused the game; the player ends the pause.
    EXPECT_TRUE(gamePaused);
    EXPECT_EQ(steeringTorque.x, 0.0f);
    Press('P');
    Frame();
    EXPECT_FALSE(gamePaused);
    EXPECT_EQ(steeringTorque.x, 70.0f);
    win32test::KeyUp('W');
}

// The world keeps real time at any frame rate: two seconds of steering roll
// the ball as far at 20 frames a second as at 60.
TEST_F(GamePlay, SteeringCoversTheSameGroundAt20And30And60FramesASecond)
{
    float distance[3] = {};
    const double frameMs[3] = {1000.0 / 60.0, 1000.0 / 30.0, 1000.0 / 20.0};
    for (int k = 0; k < 3; ++k) {
        ResetToLevel(1);
        FillGrid(0);                                         // nothing to die on
        goalPosition = D3DXVECTOR3(-100.0f, 0.0f, -100.0f);  // nor to finish at
        PlaceBall(45.0f, 1.0f, 20.0f);
        Frames(30, frameMs[k]);  // at rest, the speed factor at this rate
        const D3DXVECTOR3 before = BallBodyPosition();
        win32test::KeyDown('W');
        Frames(static_cast<int>(2000.0 / frameMs[k] + 0.5), frameMs[k]);
        win32test::KeyUp('W');
        distance[k] = BallBodyPosition().z - before.z;
        Frame();
    }
    ASSERT_GT(distance[0], 3.0f) << "two seconds of W roll the ball a good way";
    EXPECT_NEAR(distance[1], distance[0], 0.05f * distance[0]) << "30 frames a second";
    EXPECT_NEAR(distance[2], distance[0], 0.05f * distance[0]) << "20 frames a second";
}

TEST_F(GamePlay, CoinRaisesScoreBy100AndIsGoneNextFrame)
{
    Settle();
    const int i = FirstActiveCoin();
    ASSERT_GE(i, 0) << "level 1 has no coin";
    const int coinsBefore = coinScore;
    PlaceBall(coins[i].position.x, 1.0f, coins[i].position.z);
    Frame();
    EXPECT_EQ(coinScore, coinsBefore + 100);
    EXPECT_EQ(coins[i].active, 0);
    EXPECT_EQ(coinsCollected, 1);
    EXPECT_EQ(levelScore, timeBonus + coinScore);
    Frames(3);
    EXPECT_EQ(coinScore, coinsBefore + 100) << "a coin counts once";
}

TEST_F(GamePlay, GoalWithoutEveryCoinDoesNotCount)
{
    Settle();
    ASSERT_GT(coinCount, 0);
    ReachGoal();
    EXPECT_FALSE(levelCompleted);
}

TEST_F(GamePlay, GoalWithEveryCoinCompletesAndLoadsLevel2After10Seconds)
{
    Settle();
    CollectEveryCoin();
    ReachGoal();
    ASSERT_TRUE(levelCompleted);
    EXPECT_EQ(totalScore, levelScore);
    Frame();
    const Image frame = ReadFrame();
    ASSERT_GT(frame.width, 0);
    EXPECT_GT(CountColour(frame, 331, 301, 1000, 370, kCompletedGreen, 12), 200)
        << "\"Level Completed!\" in green at (331, 301)";
    EXPECT_LT(CountColour(frame, 331, 181, 1000, 250, kCompletedGreen, 12), 20) << "not the end-of-game text";

    Frame(9000.0);
    EXPECT_TRUE(levelCompleted);
    EXPECT_EQ(currentLevel, 1);
    Frame(1100.0);
    EXPECT_FALSE(levelCompleted);
    EXPECT_EQ(currentLevel, 2);
    Frame();
    const D3DXVECTOR3 ball = BallBodyPosition();
    EXPECT_NEAR(ball.x, startPosition.x, 0.5f);
    EXPECT_NEAR(ball.z, startPosition.z, 0.5f);
}

TEST_F(GamePlay, EnterEndsTheCompletionWaitAtOnce)
{
    Settle();
    CollectEveryCoin();
    ReachGoal();
    ASSERT_TRUE(levelCompleted);
    win32test::KeyDown(VK_RETURN);
    Frames(2);
    win32test::KeyUp(VK_RETURN);
    EXPECT_FALSE(levelCompleted);
    EXPECT_EQ(currentLevel, 2);
}

TEST_F(GamePlay, BombKillsThrowsTheBallUpAndReloadsAfter5Seconds)
{
    Settle();
    int cx = 0, cz = 0;
    ASSERT_TRUE(FindBomb(&cx, &cz)) << "level 1 has no bomb";
    const int scoreBefore = totalScore;
    PlaceBall(2.0f * cx + 1.0f, 1.0f, 2.0f * cz + 1.0f);
    Frame();
    ASSERT_TRUE(ballDead);
    Frame();
    const Image frame = ReadFrame();
    EXPECT_GT(CountColour(frame, 331, 301, 1000, 450, kDeathRed, 12), 200) << "\"YOU DIED!!!\" in red at (331, 301)";

    win32test::KeyDown('W');
    Frames(20);
    EXPECT_EQ(steeringTorque.x, 0.0f) << "no steering while dead";
    win32test::KeyUp('W');
    EXPECT_GT(BallBodyPosition().y, 3.0f) << "the blast throws the ball up";

    Frame(5100.0);
    EXPECT_FALSE(ballDead);
    EXPECT_EQ(currentLevel, 1);
    EXPECT_EQ(totalScore, scoreBefore);
    Frame();
    const D3DXVECTOR3 ball = BallBodyPosition();
    EXPECT_NEAR(ball.x, startPosition.x, 0.5f);
    EXPECT_NEAR(ball.z, startPosition.z, 0.5f);
}

TEST_F(GamePlay, FinishingLevel6CongratulatesAndStartsOverAtLevel1WithTotalZero)
{
    ResetToLevel(6);
    totalScore = 1234;
    Settle();
    CollectEveryCoin();
    ReachGoal();
    ASSERT_TRUE(levelCompleted);
    Frame();
    const Image frame = ReadFrame();
    EXPECT_GT(CountColour(frame, 331, 181, 1000, 360, kCompletedGreen, 12), 300)
        << "\"Congratz!\" in green at (331, 181)";
    EXPECT_GT(CountColour(frame, 331, 181, 1000, 250, kCompletedGreen, 12), 100)
        << "the first line starts at y 181, above where \"Level Completed!\" would be";
    Frame(10100.0);
    EXPECT_EQ(currentLevel, 1);
    EXPECT_EQ(totalScore, 0);
}

// The message boxes shown so far that mention text.
static int BoxesMentioning(const char* text)
{
    int n = 0;
    for (const std::string& box : win32test::MessageBoxLog()) n += box.find(text) != std::string::npos;
    return n;
}

// A level file moved out of the way for one test and put back after it.
struct LevelFileAway {
    explicit LevelFileAway(const char* path) : path_(path), away_(std::string(path) + ".away")
    {
        std::rename(path_.c_str(), away_.c_str());
    }
    ~LevelFileAway() { std::rename(away_.c_str(), path_.c_str()); }
    std::string path_, away_;
};

// A level file cut short for one test and made whole again after it.
struct LevelFileCut {
    LevelFileCut(const char* path, size_t keep) : path_(path), whole_(ReadFile(path))
    {
        std::ofstream(path_, std::ios::binary | std::ios::trunc).write(whole_.data(), std::streamsize(keep));
    }
    ~LevelFileCut()
    {
        std::ofstream(path_, std::ios::binary | std::ios::trunc).write(whole_.data(), std::streamsize(whole_.size()));
    }
    std::string path_;
    std::vector<char> whole_;
};

TEST_F(GamePlay, MissingNextLevelIsReportedAndTheFinishedLevelRestartsWithoutScoringTwice)
{
    Settle();
    LevelFileAway away("kMedia/kMaps/level2.kmf");
    win32test::ClearMessageBoxLog();
    CollectEveryCoin();
    ReachGoal();
    ASSERT_TRUE(levelCompleted);
    const int total = totalScore;
    Frame(10100.0);
    EXPECT_FALSE(levelCompleted);
    EXPECT_EQ(currentLevel, 1) << "still on the level that has a file";
    ASSERT_EQ(win32test::MessageBoxLog().size(), 1u);
    EXPECT_EQ(win32test::MessageBoxLog()[0].rfind("Error!: ", 0), 0u) << win32test::MessageBoxLog()[0];
    EXPECT_EQ(BoxesMentioning("kMedia\\kMaps\\level2.kmf"), 1) << win32test::MessageBoxLog()[0];

    Frames(60);
    EXPECT_FALSE(levelCompleted) << "the ball is back on the start, not on the goal";
    EXPECT_EQ(totalScore, total) << "the level counted once";
    const D3DXVECTOR3 ball = BallBodyPosition();
    EXPECT_NEAR(ball.x, startPosition.x, 0.5f);
    EXPECT_NEAR(ball.z, startPosition.z, 0.5f);
    EXPECT_GE(FirstActiveCoin(), 0) << "the coins are back";
    EXPECT_EQ(win32test::MessageBoxLog().size(), 1u) << "reported once";
}

TEST_F(GamePlay, LevelFileTruncatedAfterADeathIsReportedOnceAndTheLevelRestarts)
{
    Settle();
    ASSERT_GT(ReadFile("kMedia/kMaps/level1.kmf").size(), 8128u);
    LevelFileCut cut("kMedia/kMaps/level1.kmf", 5000);
    win32test::ClearMessageBoxLog();
    int cx = 0, cz = 0;
    ASSERT_TRUE(FindBomb(&cx, &cz));
    PlaceBall(2.0f * cx + 1.0f, 1.0f, 2.0f * cz + 1.0f);
    Frame();
    ASSERT_TRUE(ballDead);
    Frame(5100.0);
    EXPECT_FALSE(ballDead);
    EXPECT_EQ(BoxesMentioning("level1.kmf"), 1);
    Frames(400);  // over six seconds: no second death, no second report
    EXPECT_FALSE(ballDead);
    EXPECT_EQ(win32test::MessageBoxLog().size(), 1u);
    const D3DXVECTOR3 ball = BallBodyPosition();
    EXPECT_NEAR(ball.x, startPosition.x, 0.5f);
    EXPECT_NEAR(ball.z, startPosition.z, 0.5f);
}

TEST_F(GamePlay, FailedEditorSaveIsReportedWithTheReasonAndTheFileName)
{
    std::remove("kMedia/kMaps/levelNR.kmf");
    ASSERT_EQ(mkdir("kMedia/kMaps/levelNR.kmf", 0755), 0);  // a folder where the file would go
    win32test::ClearMessageBoxLog();
    testing::internal::CaptureStderr();
    Press('H');
    const std::string err = testing::internal::GetCapturedStderr();
    rmdir("kMedia/kMaps/levelNR.kmf");
    ASSERT_EQ(win32test::MessageBoxLog().size(), 1u);
    const std::string box = win32test::MessageBoxLog()[0];
    EXPECT_EQ(box.rfind("Error!: ", 0), 0u) << box;
    EXPECT_NE(box.find("levelNR.kmf"), std::string::npos) << box;
    EXPECT_NE(box.find("directory"), std::string::npos) << "the reason: " << box;
    EXPECT_NE(err.find("level: kMedia\\kMaps\\levelNR.kmf: "), std::string::npos) << err;
    EXPECT_FALSE(std::ifstream("kMedia/kMaps/levelNR.kmf.tmp").good()) << "no temporary file left";
}

TEST_F(GamePlay, EditorCursorStaysWhereALevelFileMayPlaceThings)
{
    PressWithControl('I');
    ASSERT_TRUE(editorMode);
    win32test::KeyDown('A');
    win32test::KeyDown('S');
    Frames(30, 500.0);  // 15 s at 5 units a second: far past the edge
    win32test::KeyUp('A');
    win32test::KeyUp('S');
    Frame();
    EXPECT_EQ(editorCursor.x, kLevelExtentMin);
    EXPECT_EQ(editorCursor.z, kLevelExtentMin);
    PressWithControl('I');
}

// A cell whose 7 x 7 block is all of one kind (bomb or clear), or false.
static bool FindBlock(bool bombs, int* cx, int* cz)
{
    for (int x = 4; x < 41; ++x)
        for (int z = 4; z < 41; ++z) {
            bool all = true;
            for (int dx = -3; dx <= 3 && all; ++dx)
                for (int dz = -3; dz <= 3 && all; ++dz) all = (CellValue(x + dx, z + dz) != 0) == bombs;
            if (all) {
                *cx = x;
                *cz = z;
                return true;
            }
        }
    return false;
}

// Pixels of the bomb tile's dark red (nothing else on the board is that colour).
static int BombRedPixels(const Image& image, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint32_t p = image.At(x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            n += r > 110 && g < 60 && b < 50;
        }
    return n;
}

TEST_F(GamePlay, XrayViewShowsTheBombsAroundTheBall)
{
    const uint32_t kXrayClear = 0xFF7AA8A1;
    int cx = 0, cz = 0;
    ASSERT_TRUE(FindBlock(false, &cx, &cz)) << "level 1 has no open 7 x 7 square";
    PlaceBall(2.0f * cx + 1.0f, 1.0f, 2.0f * cz + 1.0f);
    Frames(2);
    const int clearOverOpen = CountColour(ReadFrame(), 60, 60, 240, 240, kXrayClear, 10);

    ASSERT_TRUE(FindBlock(true, &cx, &cz)) << "level 1 has no 7 x 7 block of bombs";
    PlaceBall(2.0f * cx + 1.0f, 1.0f, 2.0f * cz + 1.0f);
    // Two frames: the models cull against the view of the frame before.
    Frames(2);
    const Image overBombs = ReadFrame();
    Dump(overBombs, "xray_bombs");
    const int clearOverBombs = CountColour(overBombs, 60, 60, 240, 240, kXrayClear, 10);

    const int area = 180 * 180;
    EXPECT_GT(clearOverOpen, area / 2) << "no bombs near: the X-ray view shows its clear colour";
    EXPECT_LT(clearOverBombs, area / 20) << "bombs all round: the X-ray view is covered with them";
}

TEST_F(GamePlay, BombsAreHiddenUnderTheBoardInPlayAndShownInTheEditor)
{
    Settle();
    // Tile value 2 is drawn as a bomb but never kills, so the ball stays put.
    FillGrid(2);
    Frames(2);
    ASSERT_FALSE(ballDead);
    const Image play = ReadFrame();
    Dump(play, "play_bombs");
    // Everything right of the X-ray view and the HUD texts.
    EXPECT_EQ(BombRedPixels(play, 300, 0, 1016, 756), 0) << "bombs lie hidden under the board";
    EXPECT_GT(BombRedPixels(play, 20, 40, 280, 280), 5000) << "and show in the X-ray view";

    PressWithControl('I');
    ASSERT_TRUE(editorMode);
    Frames(2);
    const Image editor = ReadFrame();
    Dump(editor, "editor_bombs");
    EXPECT_GT(BombRedPixels(editor, 300, 0, 1016, 756), 20000) << "the editor draws them on the board";
}

TEST_F(GamePlay, HudShowsScoreAndTimeAtTheirPlaces)
{
    Frames(5);
    const Image frame = ReadFrame();
    ASSERT_GT(frame.width, 0);
    EXPECT_GT(CountColour(frame, 5, 370, 400, 450, kHudGreen, 12), 200) << "Score at (5, 370)";
    EXPECT_GT(CountColour(frame, 5, 470, 400, 550, kHudGreen, 12), 200) << "Time at (5, 470)";
    EXPECT_LT(CountColour(frame, 500, 370, 1016, 450, kHudGreen, 12), 20);
}

TEST_F(GamePlay, ClockRunsOnTheVirtualClock)
{
    Frames(2);
    const float start = elapsedSeconds;
    Frames(10, 100.0);
    EXPECT_NEAR(elapsedSeconds - start, 1.0f, 0.11f);
    const float previous = elapsedSeconds;
    Frame(100.0);
    EXPECT_EQ(timeBonus, 500 - int(previous * 10.0f)) << "the bonus uses the previous frame's clock";
    EXPECT_EQ(levelScore, timeBonus + coinScore);
}

TEST_F(GamePlay, EditorStopsPhysicsMovesTheCursorAndEditsTheLevel)
{
    Settle();
    PressWithControl('I');
    ASSERT_TRUE(editorMode);
    const D3DXVECTOR3 frozen = BallBodyPosition();

    // Cursor to about (21, 1, 21): cell (10, 10).
    const D3DXVECTOR3 cursor0 = editorCursor;
    win32test::KeyDown('D');
    win32test::KeyDown('W');
    Frames(42, 100.0);  // 4.2 s at 5 units per second
    win32test::KeyUp('D');
    win32test::KeyUp('W');
    Frame();
    EXPECT_NEAR(editorCursor.x - cursor0.x, 21.0f, 1.0f);
    EXPECT_NEAR(editorCursor.z - cursor0.z, 21.0f, 1.0f);
    win32test::KeyDown('A');
    Frames(5);
    win32test::KeyUp('A');
    Frame();
    EXPECT_LT(editorCursor.x, cursor0.x + 21.0f);

    const D3DXVECTOR3 still = BallBodyPosition();
    EXPECT_EQ(still.x, frozen.x);
    EXPECT_EQ(still.y, frozen.y);
    EXPECT_EQ(still.z, frozen.z);

    const int cx = int(editorCursor.x * 0.5f), cz = int(editorCursor.z * 0.5f);
    Press('Z');
    EXPECT_EQ(levelGrid[cx * 45 + cz], 1);
    Press('X');
    EXPECT_EQ(levelGrid[cx * 45 + cz], 0);

    const int coinsBefore = coinCount;
    Press('C');
    ASSERT_EQ(coinCount, coinsBefore + 1);
    EXPECT_EQ(coins[coinsBefore].active, 1);
    EXPECT_EQ(coins[coinsBefore].position.x, editorCursor.x);
    EXPECT_EQ(coins[coinsBefore].position.z, editorCursor.z);

    const int spinnersBefore = spinnerCount;
    Press('Y');
    EXPECT_EQ(spinnerCount, spinnersBefore + 1);
    EXPECT_EQ(spinners[spinnersBefore].position.x, editorCursor.x);

    Press('G');
    EXPECT_EQ(goalPosition.x, editorCursor.x);
    EXPECT_EQ(goalPosition.y, 0.0f);
    Press('P');
    EXPECT_EQ(startPosition.z, editorCursor.z);
    EXPECT_EQ(startPosition.y, 5.0f);

    std::remove("kMedia/kMaps/levelNR.kmf");
    Press('H');
    const std::vector<char> saved = ReadFile("kMedia/kMaps/levelNR.kmf");
    EXPECT_EQ(saved.size(), size_t(8128 + 16 * coinCount));

    Press('Z');  // change the level, then load the saved one back
    Press('C');
    EXPECT_EQ(levelGrid[cx * 45 + cz], 1);
    Press('M');
    EXPECT_EQ(spinnerCount, 0) << "loading a level removes the spinners";
    EXPECT_EQ(levelGrid[cx * 45 + cz], 0);
    EXPECT_EQ(coinCount, coinsBefore + 1);
    std::remove("kMedia/kMaps/levelNR.kmf");
    Press('H');
    EXPECT_EQ(ReadFile("kMedia/kMaps/levelNR.kmf"), saved) << "M loads what H saved";

    PressWithControl('I');
    EXPECT_FALSE(editorMode);
}

// The editor saves the level as designed: a coin the ball picked up before H
// is still a coin of the saved level, so the file loaded back with M can be
// finished.
TEST_F(GamePlay, EditorSaveKeepsCoinsPickedUpInPlay)
{
    Settle();
    ASSERT_GE(coinCount, 2);
    for (int k = 0; k < 2; ++k) {
        const int i = FirstActiveCoin();
        PlaceBall(coins[i].position.x, 1.0f, coins[i].position.z);
        Frame();
        ASSERT_EQ(coins[i].active, 0);
    }
    PressWithControl('I');
    ASSERT_TRUE(editorMode);
    Press('C');
    const int designed = coinCount;
    std::remove("kMedia/kMaps/levelNR.kmf");
    Press('H');
    const std::vector<char> saved = ReadFile("kMedia/kMaps/levelNR.kmf");
    ASSERT_EQ(saved.size(), size_t(8128 + 16 * designed));
    for (int i = 0; i < designed; ++i) EXPECT_EQ(saved[8104 + 16 * i], 1) << "coin " << i << " saved active";

    Press('M');
    PressWithControl('I');
    ASSERT_FALSE(editorMode);
    ASSERT_EQ(coinCount, designed);
    Settle();
    CollectEveryCoin();
    ReachGoal();
    EXPECT_TRUE(levelCompleted) << "the saved level can be finished";
    std::remove("kMedia/kMaps/levelNR.kmf");
}

TEST_F(GamePlay, ControlRClearsTheLevel)
{
    PressWithControl('R');
    EXPECT_EQ(coinCount, 0);
    int bombs = 0;
    for (int k = 0; k < 2025; ++k) bombs += levelGrid[k] == 1;
    EXPECT_EQ(bombs, 2025);
}

TEST_F(GamePlay, RWithoutControlDoesNotClear)
{
    const int coins0 = coinCount;
    Press('R');
    EXPECT_EQ(coinCount, coins0);
}

TEST_F(GamePlay, NWritesAScreenshot)
{
    std::remove("KolvarV1_0.jpg");
    Frames(2);
    Press('N');
    const std::vector<char> jpg = ReadFile("KolvarV1_0.jpg");
    ASSERT_GT(jpg.size(), 1000u);
    EXPECT_EQ((unsigned char)jpg[0], 0xFF);
    EXPECT_EQ((unsigned char)jpg[1], 0xD8);
}

TEST_F(GamePlay, EscapeQuits)
{
    win32test::KeyDown(VK_ESCAPE);
    EXPECT_TRUE(RunUntilQuit(20));
    win32test::KeyUp(VK_ESCAPE);
    Frames(2);  // the loop can go on after the quit message was taken
}

// A tool or a quick finger can press and release a key within one pass of
// the loop; the game still sees each tap once.
TEST_F(GamePlay, KeyTappedWithinOnePassIsSeen)
{
    std::remove("kMedia/kMaps/levelNR.kmf");
    win32test::KeyDown('H');
    win32test::KeyUp('H');
    Frames(2);
    EXPECT_EQ(ReadFile("kMedia/kMaps/levelNR.kmf").size(), size_t(8128 + 16 * coinCount)) << "H saved";
    std::remove("kMedia/kMaps/levelNR.kmf");

    win32test::KeyDown(VK_ESCAPE);
    win32test::KeyUp(VK_ESCAPE);
    EXPECT_TRUE(RunUntilQuit(20)) << "Escape quit";
    Frames(2);
}

// Last: closes the window for good.
TEST_F(GamePlay, ZZClosingTheWindowEndsTheLoop)
{
    win32test::ClickClose(windowHandle);
    EXPECT_TRUE(RunUntilQuit(20));
    GameShutdown();
    // The process then ends with the window still open and exits cleanly (ctest sees the code).
}
