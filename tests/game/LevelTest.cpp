// Level files on disk and the level operations: exact bytes, round trips,
// refused files that leave the level alone, restart, clear and editing.
#include "GameWorldFixture.h"

#include "LevelFile.h"

#include <Win32File.h>
#include <Win32TestSeam.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

// Little-endian helpers written apart from the game's own encoder.
void PutU32(Bytes& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void PutF32(Bytes& b, float f)
{
    uint32_t u;
    std::memcpy(&u, &f, 4);
    PutU32(b, u);
}

struct HandCoin {
    unsigned char active;
    float x, y, z;
};

// A level file image laid out by hand. filler: the value of grid bytes 1-3
// and spare coin bytes; -1 writes what the game's writer writes.
Bytes HandBuiltLevel(const unsigned char* grid, const std::vector<HandCoin>& coinList, float goal[3], float start[3],
                     int filler = -1)
{
    Bytes b;
    for (int k = 0; k < 2025; ++k) {
        b.push_back(grid[k]);
        for (int j = 1; j <= 3; ++j) b.push_back(filler >= 0 ? filler : (k + j < 2025 ? grid[k + j] : 0));
    }
    PutU32(b, static_cast<uint32_t>(coinList.size()));
    for (const HandCoin& c : coinList) {
        b.push_back(c.active);
        for (int j = 0; j < 3; ++j) b.push_back(filler >= 0 ? filler : 0);
        PutF32(b, c.x);
        PutF32(b, c.y);
        PutF32(b, c.z);
    }
    for (int i = 0; i < 3; ++i) PutF32(b, goal[i]);
    for (int i = 0; i < 3; ++i) PutF32(b, start[i]);
    return b;
}

class Levels : public GameWorld {
protected:
    void SetUp() override
    {
        GameWorld::SetUp();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::string("levels_") + info->name();
        fs::remove_all(folder);
        fs::create_directories(folder + "/kMaps");
        goalPosition = startPosition = D3DXVECTOR3(0, 0, 0);
    }
    void TearDown() override { fs::remove_all(folder); }

    // The system name of a file in the test's folder: "levels_X\\kMaps\\name".
    std::string Name(const char* file) const { return folder + "\\kMaps\\" + file; }
    std::string Path(const char* file) const { return folder + "/kMaps/" + file; }

    void Write(const char* file, const Bytes& bytes) const
    {
        std::ofstream out(Path(file), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    Bytes Read(const char* file) const
    {
        std::ifstream in(Path(file), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // A small level: a few safe cells, a value-2 tile, two coins (one taken).
    void MakeSample()
    {
        FillGrid(1);
        SetCell(0, 0, 0);
        SetCell(0, 1, 0);
        SetCell(3, 4, 0);
        SetCell(44, 44, 2);
        editorCursor = D3DXVECTOR3(7, 1, 9);
        AddCoin();
        editorCursor = D3DXVECTOR3(-1.25f, 1, 88.5f);
        AddCoin();
        coins[1].active = 0;
        editorCursor = D3DXVECTOR3(80, 1, 81);
        SetGoal();
        editorCursor = D3DXVECTOR3(3, 1, 4);
        SetStart();
    }
    Bytes SampleBytes() const
    {
        unsigned char grid[2025];
        std::memset(grid, 1, sizeof grid);
        grid[0] = grid[1] = 0;
        grid[3 * 45 + 4] = 0;
        grid[2024] = 2;
        float goal[3] = {80, 0, 81}, start[3] = {3, 5, 4};
        return HandBuiltLevel(grid, {{1, 7, 1, 9}, {0, -1.25f, 1, 88.5f}}, goal, start);
    }

    std::string folder;
};

TEST_F(Levels, EmptyLevelFileIs8128Bytes)
{
    FillGrid(0);
    ASSERT_EQ(SaveLevel(Name("empty.kmf").c_str()), S_OK);
    Bytes b = Read("empty.kmf");
    ASSERT_EQ(b.size(), 8128u);
    EXPECT_EQ(b[8100] | b[8101] | b[8102] | b[8103], 0);
}

TEST_F(Levels, SavedBytesMatchAFileBuiltByHand)
{
    MakeSample();
    ASSERT_EQ(SaveLevel(Name("sample.kmf").c_str()), S_OK);
    Bytes b = Read("sample.kmf");
    Bytes expected = SampleBytes();
    ASSERT_EQ(b.size(), 8128u + 2 * 16);
    EXPECT_TRUE(b == expected);
    // Nothing else is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder + "/kMaps"), fs::directory_iterator()), 1);
}

TEST_F(Levels, LoadThenSaveReproducesTheGamesFile)
{
    // Odd filler bytes are ignored on reading and rewritten as the game writes them.
    unsigned char grid[2025];
    for (int k = 0; k < 2025; ++k) grid[k] = static_cast<unsigned char>(k % 3 == 0 ? 1 : (k % 7 == 0 ? 9 : 0));
    float goal[3] = {60.5f, 0, 70.25f}, start[3] = {2, 5, 3};
    std::vector<HandCoin> list = {{1, 5, 1, 5}, {0, 6, 1, 6}, {1, 88, 1, 2}};
    Write("odd.kmf", HandBuiltLevel(grid, list, goal, start, 0xAB));

    ASSERT_EQ(LoadLevel(Name("odd.kmf").c_str()), S_OK);
    EXPECT_EQ(coinCount, 3);
    EXPECT_EQ(coins[1].active, 0);
    EXPECT_EQ(CellValue(0, 7), 9);  // k = 7
    EXPECT_EQ(goalPosition.z, 70.25f);
    ASSERT_EQ(SaveLevel(Name("again.kmf").c_str()), S_OK);
    EXPECT_TRUE(Read("again.kmf") == HandBuiltLevel(grid, list, goal, start));
}

// A save writes the level as designed: a coin the ball picked up is saved
// active, a coin the file itself held inactive stays as the file had it.
TEST_F(Levels, CoinsPickedUpSinceTheLoadAreSavedActive)
{
    unsigned char grid[2025] = {};
    float goal[3] = {60, 0, 70}, start[3] = {2, 5, 3};
    std::vector<HandCoin> list = {{1, 5, 1, 5}, {0, 6, 1, 6}, {1, 20, 1, 20}};
    Write("taken.kmf", HandBuiltLevel(grid, list, goal, start));
    ASSERT_EQ(LoadLevel(Name("taken.kmf").c_str()), S_OK);

    ballPosition = D3DXVECTOR3(20, 1, 20);
    CheckBallEvents();
    ASSERT_EQ(coins[2].active, 0) << "picked up";
    ASSERT_EQ(SaveLevel(Name("again.kmf").c_str()), S_OK);
    EXPECT_TRUE(Read("again.kmf") == HandBuiltLevel(grid, list, goal, start));

    // After the level is loaded again, the pick-up no longer counts.
    ASSERT_EQ(LoadLevel(Name("again.kmf").c_str()), S_OK);
    EXPECT_EQ(coins[2].active, 1);
    coins[2].active = 0;  // taken out by hand, not by the ball
    ASSERT_EQ(SaveLevel(Name("again.kmf").c_str()), S_OK);
    list[2].active = 0;
    EXPECT_TRUE(Read("again.kmf") == HandBuiltLevel(grid, list, goal, start));
}

TEST_F(Levels, LoadingRestartsTheLevelAtItsStart)
{
    MakeSample();
    ASSERT_EQ(SaveLevel(Name("sample.kmf").c_str()), S_OK);
    ClearLevel();
    levelScore = 300;
    coinScore = 200;
    coinsCollected = 2;
    totalScore = 1234;
    blastPending = true;
    ASSERT_EQ(LoadLevel(Name("sample.kmf").c_str()), S_OK);
    EXPECT_EQ(levelScore, 0);
    EXPECT_EQ(coinScore, 0);
    EXPECT_EQ(coinsCollected, 0);
    EXPECT_EQ(totalScore, 1234);
    EXPECT_FALSE(blastPending);
    EXPECT_EQ(elapsedSeconds, 0);
    EXPECT_EQ(ballMatrix._41, 3);
    EXPECT_EQ(ballMatrix._42, 5);
    EXPECT_EQ(ballMatrix._43, 4);
    // The ball drops from the start onto the board.
    Steps(180);
    EXPECT_NEAR(BallPos().y, 1.0f, 0.05f);
    EXPECT_NEAR(BallPos().x, 3.0f, 0.05f);
}

TEST_F(Levels, LoadRemovesEverySpinnerEvenWhenTheFileIsMissing)
{
    MakeSample();
    ASSERT_EQ(SaveLevel(Name("sample.kmf").c_str()), S_OK);
    AddSpinner(10, 1, 10);
    AddSpinner(20, 1, 20);
    ASSERT_EQ(spinnerCount, 2);
    EXPECT_EQ(LoadLevel(Name("sample.kmf").c_str()), S_OK);
    EXPECT_EQ(spinnerCount, 0);
    AddSpinner(30, 1, 30);
    EXPECT_EQ(LoadLevel(Name("missing.kmf").c_str()), E_FAIL);
    EXPECT_EQ(spinnerCount, 0);
    Steps(5);
}

TEST_F(Levels, AFileThatCannotBeOpenedIsReportedWithItsTrueReason)
{
    // The last message box after loading name: "Error!: Error loading level!\n<name>: <why>".
    auto reported = [this](const char* file) {
        win32test::ClearMessageBoxLog();
        EXPECT_EQ(LoadLevel(Name(file).c_str()), E_FAIL) << file;
        return win32test::MessageBoxLog().empty() ? std::string() : win32test::MessageBoxLog().back();
    };
    ASSERT_EQ(symlink("loop.kmf", Path("loop.kmf").c_str()), 0);  // a link to itself
    fs::create_directories(Path("folder.kmf"));
    const std::string loop = reported("loop.kmf");
    EXPECT_NE(loop.find(Name("loop.kmf") + ": cannot open the file: Too many levels of symbolic links"),
              std::string::npos)
        << loop;
    const std::string folderBox = reported("folder.kmf");
    EXPECT_NE(folderBox.find(Name("folder.kmf") + ": cannot open the file: Is a directory"), std::string::npos)
        << folderBox;
    EXPECT_EQ(folderBox.find("file not found"), std::string::npos) << folderBox;
    const std::string missing = reported("missing.kmf");
    EXPECT_NE(missing.find(Name("missing.kmf") + ": file not found"), std::string::npos) << missing;
}

// Loads a bad file over the sample level and checks nothing of it changed.
class RefusedFiles : public Levels {
protected:
    void ExpectRefusedAndSampleKept(const Bytes& bad)
    {
        MakeSample();
        ASSERT_EQ(SaveLevel(Name("sample.kmf").c_str()), S_OK);
        ASSERT_EQ(LoadLevel(Name("sample.kmf").c_str()), S_OK);
        levelScore = 700;
        Write("bad.kmf", bad);
        EXPECT_EQ(LoadLevel(Name("bad.kmf").c_str()), E_FAIL);
        EXPECT_EQ(levelScore, 700);  // no restart either
        ASSERT_EQ(SaveLevel(Name("after.kmf").c_str()), S_OK);
        EXPECT_TRUE(Read("after.kmf") == Read("sample.kmf"));
    }
};

TEST_F(RefusedFiles, TruncatedFile)
{
    Bytes b = SampleBytes();
    b.resize(b.size() - 1);
    ExpectRefusedAndSampleKept(b);
    b.resize(5000);
    ExpectRefusedAndSampleKept(b);
    ExpectRefusedAndSampleKept(Bytes());
}

TEST_F(RefusedFiles, CoinCountAboveTheTable)
{
    Bytes b = SampleBytes();
    b.resize(8104);
    uint32_t n = 151;
    std::memcpy(&b[8100], &n, 4);
    b.resize(8128 + 16 * 151, 0);  // even with the bytes that count would need
    ExpectRefusedAndSampleKept(b);
    n = 0x7FFFFFFF;
    std::memcpy(&b[8100], &n, 4);
    ExpectRefusedAndSampleKept(b);
}

TEST_F(RefusedFiles, NegativeCoinCount)
{
    Bytes b = SampleBytes();
    uint32_t n = 0xFFFFFFFF;
    std::memcpy(&b[8100], &n, 4);
    ExpectRefusedAndSampleKept(b);
}

// A start, goal or active coin that is not a finite point near the board
// could never be played (and NaN has no cell): such a file is refused.
TEST_F(RefusedFiles, PositionsThatAreNotFiniteOrFarOffTheBoard)
{
    unsigned char grid[2025] = {};
    const float nan = std::nanf(""), inf = HUGE_VALF;
    struct Case {
        float start[3], goal[3];
        HandCoin coin;
    };
    const Case cases[] = {
        {{nan, 5, 20}, {80, 0, 80}, {1, 10, 1, 10}},
        {{20, 5, nan}, {80, 0, 80}, {1, 10, 1, 10}},
        {{20, 5, 20}, {inf, 0, 80}, {1, 10, 1, 10}},
        {{20, 5, 20}, {80, -inf, 80}, {1, 10, 1, 10}},
        {{3e38f, 5, 20}, {80, 0, 80}, {1, 10, 1, 10}},
        {{20, 5, 20}, {80, 0, 80}, {1, 10, 1, nan}},
        {{20, 5, 20}, {80, 0, 80}, {1, -3e38f, 1, 10}},
        {{-45.5f, 5, 20}, {80, 0, 80}, {1, 10, 1, 10}},  // just past the margin
        {{20, 135.5f, 20}, {80, 0, 80}, {1, 10, 1, 10}},
        {{20, 5, 20}, {80, 0, 136}, {1, 10, 1, 10}},
    };
    for (const Case& c : cases) {
        float start[3] = {c.start[0], c.start[1], c.start[2]}, goal[3] = {c.goal[0], c.goal[1], c.goal[2]};
        Bytes b = HandBuiltLevel(grid, {c.coin}, goal, start);
        LevelData decoded;
        std::string why;
        EXPECT_FALSE(DecodeLevel(b.data(), b.size(), decoded, why));
        EXPECT_NE(why.find("outside"), std::string::npos) << why;
        ExpectRefusedAndSampleKept(b);
    }
}

TEST_F(Levels, PointsWithinTheMarginAndInactiveCoinsAnywhereLoad)
{
    unsigned char grid[2025] = {};
    float start[3] = {-45, 135, -45}, goal[3] = {135, -45, 135};
    Write("edge.kmf", HandBuiltLevel(grid, {{1, -45, 1, 135}, {0, std::nanf(""), HUGE_VALF, 1e30f}}, goal, start));
    ASSERT_EQ(LoadLevel(Name("edge.kmf").c_str()), S_OK);
    EXPECT_EQ(startPosition.x, -45.0f);
    EXPECT_EQ(coinCount, 2);
    Steps(3);
}

// Every float has a cell, far off the board for the ones no board holds,
// with room for the X-ray view's cells around it.
TEST_F(Levels, EveryFloatHasACell)
{
    const float nan = std::nanf("");
    EXPECT_EQ(CellOf(nan), -kCellLimit);
    EXPECT_EQ(CellOf(-nan), -kCellLimit);
    EXPECT_EQ(CellOf(HUGE_VALF), kCellLimit);
    EXPECT_EQ(CellOf(-HUGE_VALF), -kCellLimit);
    EXPECT_EQ(CellOf(3e38f), kCellLimit);
    EXPECT_EQ(CellOf(-3e38f), -kCellLimit);
    EXPECT_EQ(CellOf(4194302.0f), kCellLimit);
    EXPECT_EQ(CellOf(2097150.0f), 1048575);
    EXPECT_EQ(CellOf(89.9f), 44);
    EXPECT_EQ(CellValue(CellOf(nan), CellOf(nan)), 0);
    EXPECT_LT(kCellLimit, INT32_MAX - 100);
}

TEST_F(Levels, FullCoinTableLoadsAndExtraBytesAreIgnored)
{
    unsigned char grid[2025] = {};
    std::vector<HandCoin> list;
    for (int i = 0; i < 150; ++i) list.push_back({1, float(i) * 0.5f, 1, 2});
    float goal[3] = {1, 0, 1}, start[3] = {4, 5, 4};
    Bytes b = HandBuiltLevel(grid, list, goal, start);
    b.insert(b.end(), {1, 2, 3, 4, 5});
    Write("full.kmf", b);
    ASSERT_EQ(LoadLevel(Name("full.kmf").c_str()), S_OK);
    EXPECT_EQ(coinCount, 150);
    EXPECT_EQ(coins[149].position.x, 74.5f);
    EXPECT_EQ(startPosition.x, 4);
}

TEST_F(Levels, FailedSaveLeavesThePreviousFileIntact)
{
    MakeSample();
    ASSERT_EQ(SaveLevel(Name("keep.kmf").c_str()), S_OK);
    Bytes before = Read("keep.kmf");

    // The next save runs out of room halfway through the file.
    FillGrid(0);
    coinCount = 0;
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    win32test::ClearMessageBoxLog();
    long result = SaveLevel(Name("keep.kmf").c_str());
    setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_EQ(result, E_FAIL);
    // Told, with the file and the reason.
    ASSERT_EQ(win32test::MessageBoxLog().size(), 1u);
    const std::string box = win32test::MessageBoxLog()[0];
    EXPECT_EQ(box.rfind("Error!: Error saving level!", 0), 0u) << box;
    EXPECT_NE(box.find("keep.kmf: write failed: File too large"), std::string::npos) << box;
    EXPECT_TRUE(Read("keep.kmf") == before);
    EXPECT_FALSE(fs::exists(Path("keep.kmf.tmp")));
    // A folder that does not exist fails too, and creates nothing.
    EXPECT_EQ(SaveLevel((folder + "\\nowhere\\x.kmf").c_str()), E_FAIL);
}

TEST_F(Levels, RestartPutsTheBallBackAtRestAndResetsTheLevelScores)
{
    startPosition = D3DXVECTOR3(20, 5, 30);
    BallOnBoard(60, 60);
    float v[3] = {3, 0, 3};
    NewtonBodySetVelocity(ballBody, v);
    levelScore = 5;
    coinScore = 100;
    coinsCollected = 1;
    totalScore = 900;
    blastPending = true;
    editorCursor = D3DXVECTOR3(1, 1, 1);
    AddCoin();
    coins[0].active = 0;
    RestartLevel();
    EXPECT_EQ(levelScore, 0);
    EXPECT_EQ(coinScore, 0);
    EXPECT_EQ(coinsCollected, 0);
    EXPECT_EQ(totalScore, 900);
    EXPECT_FALSE(blastPending);
    EXPECT_EQ(coins[0].active, 0);  // coins keep their flags
    EXPECT_EQ(BallVelocity().x, 0);
    float m[16];
    NewtonBodyGetMatrix(ballBody, m);
    EXPECT_EQ(m[12], 20);
    EXPECT_EQ(m[13], 5);
    EXPECT_EQ(m[14], 30);
}

TEST_F(Levels, ClearMakesABoardFullOfBombs)
{
    MakeSample();
    AddSpinner(10, 1, 10);
    levelScore = 40;
    coinsCollected = 1;
    ClearLevel();
    EXPECT_EQ(spinnerCount, 0);
    EXPECT_EQ(coinCount, 0);
    EXPECT_EQ(coinsCollected, 0);
    EXPECT_EQ(levelScore, 40);  // left as it was
    for (int k = 0; k < kGridCells; ++k) ASSERT_EQ(levelGrid[k], 1) << k;
    EXPECT_EQ(startPosition, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(goalPosition, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(ballMatrix._41, 3);  // put on the start it had before
    EXPECT_EQ(ballMatrix._43, 4);
}

TEST_F(Levels, EditingAtTheCursor)
{
    EXPECT_EQ(CellOf(-1.5f), 0);
    EXPECT_EQ(CellOf(1.99f), 0);
    EXPECT_EQ(CellOf(2.0f), 1);
    EXPECT_EQ(CellOf(-2.5f), -1);
    EXPECT_EQ(CellOf(89.9f), 44);

    SetCell(CellOf(-1.5f), CellOf(-1.5f), 0);
    EXPECT_EQ(levelGrid[0], 0);
    SetCell(-1, 0, 0);
    SetCell(0, 45, 0);
    SetCell(45, 44, 0);
    EXPECT_EQ(levelGrid[1], 1);
    EXPECT_EQ(levelGrid[44 * 45 + 44], 1);
    SetCell(2, 3, 0);
    EXPECT_EQ(levelGrid[2 * 45 + 3], 0);  // cellX major
    EXPECT_EQ(CellValue(2, 3), 0);
    EXPECT_EQ(CellValue(-1, 3), 0);

    editorCursor = D3DXVECTOR3(12.5f, 1, 33);
    SetGoal();
    SetStart();
    EXPECT_EQ(goalPosition, D3DXVECTOR3(12.5f, 0, 33));
    EXPECT_EQ(startPosition, D3DXVECTOR3(12.5f, 5, 33));
}

TEST_F(Levels, CoinTableHoldsAHundredAndFifty)
{
    editorCursor = D3DXVECTOR3(1, 1, 2);
    for (int i = 0; i < 151; ++i) AddCoin();
    EXPECT_EQ(coinCount, kMaxCoins);
    EXPECT_EQ(coins[149].active, 1);
    EXPECT_EQ(coins[149].position, D3DXVECTOR3(1, 1, 2));
    ASSERT_EQ(SaveLevel(Name("many.kmf").c_str()), S_OK);
    EXPECT_EQ(Read("many.kmf").size(), 8128u + 16 * 150);
}

TEST_F(Levels, LevelFileNames)
{
    EXPECT_EQ(LevelFileName(3), "kMedia\\kMaps\\level3.kmf");
    EXPECT_STREQ(kEditorLevelFile, "kMedia\\kMaps\\levelNR.kmf");
}

}  // namespace
