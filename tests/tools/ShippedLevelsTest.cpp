// The six game levels: each compiles, can be completed, and they get harder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "kmf/KmfChecker.h"
#include "kmf/LevelText.h"
#include "kmf/ShippedLevels.h"

using namespace kmf;

namespace {

struct Shipped {
    LevelText design;
    KmfReport report;
};

const std::vector<Shipped>& Levels()
{
    static const std::vector<Shipped> levels = [] {
        std::vector<Shipped> out;
        for (int n = 1; n <= kShippedLevelCount; ++n) {
            Shipped s;
            std::string error;
            if (!CompileLevelText(ShippedLevelText(n), s.design, error))
                ADD_FAILURE() << "level " << n << ": " << error;
            s.report = CheckKmfBytes(SerializeKmf(s.design.level));
            out.push_back(s);
        }
        return out;
    }();
    return levels;
}

// Tightest spot on the best route to any target.
float TightestRoute(const KmfReport& r)
{
    float tightest = 1e9f;
    for (const KmfTargetReport& t : r.targets) tightest = std::min(tightest, t.clearance);
    return tightest;
}

// Corner squeezes: pairs of safe tiles touching only at a corner, the two
// tiles beside that corner both bombs.
int CornerSqueezes(const KmfLevel& l)
{
    int n = 0;
    for (int x = 0; x + 1 < kGridSize; ++x)
        for (int z = 0; z + 1 < kGridSize; ++z) {
            const bool a = l.Tile(x, z) != kTileBomb, b = l.Tile(x + 1, z + 1) != kTileBomb;
            const bool c = l.Tile(x + 1, z) != kTileBomb, d = l.Tile(x, z + 1) != kTileBomb;
            n += (a && b && !c && !d) + (c && d && !a && !b);
        }
    return n;
}

// Tiles rolled over on a greedy tour: from the start to the nearest coin
// left, and so on, then to the goal; steps between safe tiles in eight
// directions (a diagonal step is a corner squeeze when both tiles beside it
// are bombs). -1 when some target cannot be reached this way.
int TourLength(const KmfLevel& l)
{
    auto cellOf = [](const Vec3& p) { return CellIndex(static_cast<int>(p.x * 0.5f), static_cast<int>(p.z * 0.5f)); };
    auto distances = [&](int from) {
        std::vector<int> d(kCellCount, -1);
        std::vector<int> queue{from};
        d[from] = 0;
        for (std::size_t i = 0; i < queue.size(); ++i) {
            const int c = queue[i], cx = c / kGridSize, cz = c % kGridSize;
            for (int dx = -1; dx <= 1; ++dx)
                for (int dz = -1; dz <= 1; ++dz) {
                    const int nx = cx + dx, nz = cz + dz;
                    if (nx < 0 || nz < 0 || nx >= kGridSize || nz >= kGridSize) continue;
                    const int n = CellIndex(nx, nz);
                    if (d[n] >= 0 || l.grid[n] == kTileBomb) continue;
                    d[n] = d[c] + 1;
                    queue.push_back(n);
                }
        }
        return d;
    };
    std::vector<int> left;
    for (const KmfCoin& c : l.coins) left.push_back(cellOf(c.position));
    int at = cellOf(l.start), total = 0;
    while (!left.empty()) {
        const std::vector<int> d = distances(at);
        auto best = std::min_element(left.begin(), left.end(), [&](int a, int b) {
            return (d[a] < 0 ? 1 << 30 : d[a]) < (d[b] < 0 ? 1 << 30 : d[b]);
        });
        if (d[*best] < 0) return -1;
        total += d[*best];
        at = *best;
        left.erase(best);
    }
    const int toGoal = distances(at)[cellOf(l.goal)];
    return toGoal < 0 ? -1 : total + toGoal;
}

}  // namespace

TEST(ShippedLevels, EveryLevelCanBeCompleted)
{
    ASSERT_EQ(Levels().size(), 6u);
    for (std::size_t i = 0; i < Levels().size(); ++i) {
        const Shipped& s = Levels()[i];
        EXPECT_TRUE(s.report.completable) << FormatReport("level" + std::to_string(i + 1), s.report, true);
        EXPECT_TRUE(s.report.notes.empty()) << s.report.notes[0];
        EXPECT_FALSE(s.design.name.empty());
    }
}

TEST(ShippedLevels, PositionsSitWhereTheGameExpectsThem)
{
    for (const Shipped& s : Levels()) {
        const KmfLevel& l = s.design.level;
        EXPECT_EQ(l.start.y, 5.0f);
        EXPECT_EQ(l.goal.y, 0.0f);
        EXPECT_LE(l.coins.size(), static_cast<std::size_t>(kCoinTableSize));
        for (const KmfCoin& c : l.coins) {
            EXPECT_EQ(c.active, 1);
            EXPECT_EQ(c.position.y, 1.0f);
            // On a tile centre, (2cx + 1, 2cz + 1).
            EXPECT_EQ(std::fmod(c.position.x, 2.0f), 1.0f);
            EXPECT_EQ(std::fmod(c.position.z, 2.0f), 1.0f);
        }
        EXPECT_GE(s.report.startClearance, 2.0f);  // the ball drops onto the middle of a safe tile
    }
}

TEST(ShippedLevels, RoutesAreWideEnoughToSteer)
{
    // Nothing tighter than a corner squeeze (1.41 from the bomb centres beside it).
    for (const Shipped& s : Levels()) EXPECT_GE(TightestRoute(s.report), 1.40f);
}

TEST(ShippedLevels, DifficultyRisesLevelByLevel)
{
    for (std::size_t i = 1; i < Levels().size(); ++i) {
        const KmfLevel& prev = Levels()[i - 1].design.level;
        const KmfLevel& cur = Levels()[i].design.level;
        SCOPED_TRACE("level " + std::to_string(i + 1));
        EXPECT_GT(cur.coins.size(), prev.coins.size());
        EXPECT_LE(TightestRoute(Levels()[i].report), TightestRoute(Levels()[i - 1].report) + 1e-4f);
        EXPECT_GE(CornerSqueezes(cur), CornerSqueezes(prev));
        EXPECT_GT(TourLength(cur), TourLength(prev));
    }
    EXPECT_GT(TourLength(Levels()[0].design.level), 40);
    EXPECT_GT(TightestRoute(Levels()[0].report), 2.5f);  // the first level has room to spare
    EXPECT_EQ(CornerSqueezes(Levels()[2].design.level), 0);
    EXPECT_GT(CornerSqueezes(Levels()[3].design.level), 0);
}
