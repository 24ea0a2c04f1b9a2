// The level checker against hand-built boards: each fault it must catch, and
// the near misses it must let through.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "kmf/KmfChecker.h"
#include "kmf/KmfLevel.h"

using namespace kmf;

namespace {

Vec3 Centre(int cx, int cz, float y)
{
    return {CellCentre(cx), y, CellCentre(cz)};
}

// A board of bombs with the given rectangles of cells cleared.
struct Board {
    KmfLevel level;
    Board() { level.grid.fill(kTileBomb); }
    Board& Clear(int x0, int z0, int x1, int z1, std::uint8_t value = kTileSafe)
    {
        for (int x = x0; x <= x1; ++x)
            for (int z = z0; z <= z1; ++z) level.SetTile(x, z, value);
        return *this;
    }
    Board& Start(int cx, int cz)
    {
        level.start = Centre(cx, cz, 5.0f);
        return *this;
    }
    Board& Goal(int cx, int cz)
    {
        level.goal = Centre(cx, cz, 0.0f);
        return *this;
    }
    Board& Coin(int cx, int cz, std::uint8_t active = 1)
    {
        level.coins.push_back({active, Centre(cx, cz, 1.0f)});
        return *this;
    }
};

bool Mentions(const std::vector<std::string>& lines, const std::string& word)
{
    for (const std::string& l : lines)
        if (l.find(word) != std::string::npos) return true;
    return false;
}

// Two 5 x 5 rooms, left and right, the coin in the right one.
Board TwoRooms()
{
    Board b;
    b.Clear(2, 2, 6, 6).Clear(10, 2, 14, 6).Start(4, 4).Coin(12, 4).Goal(5, 5);
    return b;
}

}  // namespace

TEST(KmfChecker, OpenRouteCanBeCompleted)
{
    Board b = TwoRooms();
    b.Clear(7, 4, 9, 4);  // a one-tile corridor between the rooms
    const KmfReport r = CheckKmfLevel(b.level);
    EXPECT_TRUE(r.wellFormed);
    EXPECT_TRUE(r.completable) << FormatReport("two rooms", r, true);
    ASSERT_EQ(r.targets.size(), 2u);
    EXPECT_TRUE(r.targets[0].reachable);
    EXPECT_NEAR(r.targets[0].clearance, 2.0f, 0.01f);  // a one-tile corridor: 2.0 from the bombs either side
}

TEST(KmfChecker, CoinBehindABombWallCannotBeReached)
{
    const KmfReport r = CheckKmfLevel(TwoRooms().level);  // rooms three bomb tiles apart
    EXPECT_FALSE(r.completable);
    EXPECT_TRUE(Mentions(r.blockers, "coin 0")) << FormatReport("walled", r, true);
    EXPECT_TRUE(Mentions(r.blockers, "deadly tile"));
    EXPECT_TRUE(r.targets[1].reachable);  // the goal is in the start's own room
}

TEST(KmfChecker, SingleBombRowClosesTheWayBetweenItsTiles)
{
    // Side by side, two bombs' deadly discs meet at their shared edge: a
    // one-tile wall is as good as a thick one.
    Board b;
    b.Clear(2, 2, 12, 6).Clear(7, 2, 7, 6, kTileBomb).Start(4, 4).Goal(4, 4).Coin(10, 4);
    EXPECT_FALSE(CheckKmfLevel(b.level).completable);
    b.level.SetTile(7, 6, kTileSafe);  // one gap in the wall
    EXPECT_TRUE(CheckKmfLevel(b.level).completable);
}

TEST(KmfChecker, CornerSqueezeBetweenDiagonalBombsIsPassable)
{
    // Rooms meeting only at a corner: the two bombs beside the corner leave
    // 2.83 - 2 = 0.83 units between their deadly discs.
    Board b;
    b.Clear(2, 2, 5, 5).Clear(6, 6, 9, 9).Start(3, 3).Coin(8, 8).Goal(3, 4);
    const KmfReport r = CheckKmfLevel(b.level);
    EXPECT_TRUE(r.completable) << FormatReport("corner", r, true);
    EXPECT_NEAR(r.targets[0].clearance, std::sqrt(2.0f), 0.05f);
}

TEST(KmfChecker, GoalOutOfReachIsReported)
{
    Board b = TwoRooms();
    b.Clear(7, 4, 9, 4).Goal(20, 20);
    const KmfReport r = CheckKmfLevel(b.level);
    EXPECT_FALSE(r.completable);
    EXPECT_TRUE(Mentions(r.blockers, "goal"));
    EXPECT_FALSE(Mentions(r.blockers, "coin"));
}

TEST(KmfChecker, InactiveCoinMakesTheLevelImpossible)
{
    Board b = TwoRooms();
    b.Clear(7, 4, 9, 4).Coin(3, 3, 0);
    const KmfReport r = CheckKmfLevel(b.level);
    EXPECT_FALSE(r.completable);
    EXPECT_TRUE(Mentions(r.blockers, "coin 1 is inactive"));
}

TEST(KmfChecker, TargetsOnABombTileNextToSafeGroundCanStillBePickedUp)
{
    // Pick-up reaches 2.0 (coin) and 2.07 across the board (goal), further
    // than the 1.0 the ball must keep from a bomb's centre.
    Board b;
    b.Clear(2, 2, 6, 6).Start(4, 4).Coin(7, 4).Goal(4, 7);
    EXPECT_TRUE(CheckKmfLevel(b.level).completable);
    // Two tiles into the bombs is too far for either.
    Board far;
    far.Clear(2, 2, 6, 6).Start(4, 4).Coin(8, 4).Goal(4, 4);
    EXPECT_FALSE(CheckKmfLevel(far.level).completable);
}

TEST(KmfChecker, TargetsFarOffTheBoardAreReportedNotOverflowed)
{
    Board b;
    b.Clear(2, 2, 6, 6).Start(4, 4).Goal(4, 4);
    b.level.coins.push_back({1, {1e30f, 1.0f, -1e30f}});
    b.level.coins.push_back({1, {95.0f, 1.0f, 45.0f}});
    const KmfReport r = CheckKmfLevel(b.level);
    EXPECT_FALSE(r.completable);
    EXPECT_TRUE(Mentions(r.blockers, "coin 0 at")) << FormatReport("far", r, true);
    EXPECT_TRUE(Mentions(r.blockers, "off the board"));
    EXPECT_TRUE(Mentions(r.blockers, "coin 1 at"));
}

TEST(KmfChecker, CoinHeightDecidesItsReach)
{
    Board b;
    b.Clear(2, 2, 10, 10).Start(4, 4).Goal(4, 4).Coin(8, 8);
    b.level.coins[0].position.y = 2.5f;  // 1.5 above the ball centre: still within 2.0
    EXPECT_TRUE(CheckKmfLevel(b.level).completable);
    b.level.coins[0].position.y = 3.2f;  // 2.2 above: never
    const KmfReport r = CheckKmfLevel(b.level);
    EXPECT_FALSE(r.completable);
    EXPECT_TRUE(Mentions(r.blockers, "out of the ball's reach"));
}

TEST(KmfChecker, StartOnABombIsFatal)
{
    Board b;
    b.Clear(2, 2, 6, 6).Start(4, 4).Goal(5, 5);
    b.level.SetTile(4, 4, kTileBomb);
    const KmfReport r = CheckKmfLevel(b.level);
    EXPECT_FALSE(r.completable);
    EXPECT_TRUE(Mentions(r.blockers, "lands on the bomb at cell (4, 4)"));
    // The same start on a corner of the bomb tile is outside its deadly disc.
    b.level.start = {8.0f, 5.0f, 8.0f};
    b.level.goal = {11.0f, 0.0f, 11.0f};
    EXPECT_TRUE(CheckKmfLevel(b.level).completable) << FormatReport("corner start", CheckKmfLevel(b.level), true);
}

TEST(KmfChecker, HarmlessTileValuesAreSafeGroundButNoted)
{
    Board b = TwoRooms();
    b.Clear(7, 4, 9, 4, 2);  // drawn like bombs, never deadly
    const KmfReport r = CheckKmfLevel(b.level);
    EXPECT_TRUE(r.completable);
    EXPECT_TRUE(Mentions(r.notes, "3 tiles hold values 2..255"));
}

TEST(KmfChecker, BoardEdgeIsNoRoute)
{
    // Two rooms on the edge joined only by the board's border cells being clear
    // would need the ball to run off the board: the edge cells here are bombs,
    // so the only way round is past the board's edge.
    Board b;
    b.Clear(0, 0, 3, 3).Clear(0, 5, 3, 8).Start(1, 1).Goal(1, 1).Coin(1, 7);
    EXPECT_FALSE(CheckKmfLevel(b.level).completable);
}

TEST(KmfChecker, LayoutFaultsComeFromTheFileBytes)
{
    Board b = TwoRooms();
    b.Clear(7, 4, 9, 4);
    std::vector<std::uint8_t> bytes = SerializeKmf(b.level);
    EXPECT_TRUE(CheckKmfBytes(bytes).completable);

    std::vector<std::uint8_t> shortFile(bytes.begin(), bytes.end() - 5);
    KmfReport r = CheckKmfBytes(shortFile);
    EXPECT_FALSE(r.wellFormed);
    EXPECT_FALSE(r.completable);
    EXPECT_TRUE(Mentions(r.malformed, "bytes"));

    b.level.coins.assign(151, {1, {9, 1, 9}});
    r = CheckKmfBytes(SerializeKmf(b.level));
    EXPECT_FALSE(r.wellFormed);
    EXPECT_TRUE(Mentions(r.malformed, "coin table"));

    Board nan = TwoRooms();
    nan.level.goal.z = std::numeric_limits<float>::quiet_NaN();
    r = CheckKmfBytes(SerializeKmf(nan.level));
    EXPECT_FALSE(r.wellFormed);
    EXPECT_TRUE(Mentions(r.malformed, "goal"));

    Board off = TwoRooms();
    off.level.start.x = -3.0f;
    r = CheckKmfLevel(off.level);
    EXPECT_FALSE(r.wellFormed);
    EXPECT_TRUE(Mentions(r.malformed, "off the"));
}

TEST(KmfChecker, ReportEndsWithTheVerdict)
{
    Board b = TwoRooms();
    const std::string text = FormatReport("x.kmf", CheckKmfLevel(b.level), false);
    EXPECT_NE(text.find("x.kmf: impossible: coin 0"), std::string::npos) << text;
    EXPECT_NE(text.find("x.kmf: cannot be completed\n"), std::string::npos) << text;
}
