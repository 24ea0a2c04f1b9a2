// Level file layout, byte for byte, and the reader's handling of bad files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "kmf/KmfLevel.h"

using namespace kmf;

namespace {

std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

std::uint32_t Bits(float f)
{
    std::uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

void PutU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

KmfLevel SampleLevel()
{
    KmfLevel level;
    level.SetTile(0, 0, 1);
    level.SetTile(0, 2, 1);
    level.SetTile(0, 3, 7);
    level.SetTile(44, 44, 1);
    level.coins.push_back({1, {3.0f, 1.0f, 5.0f}});
    level.coins.push_back({0, {-1.5f, 1.0f, 89.5f}});
    level.goal = {81.0f, 0.0f, 79.0f};
    level.start = {9.0f, 5.0f, 9.0f};
    return level;
}

}  // namespace

TEST(KmfLevelFile, WriterLaysOutEveryFieldAtItsOffset)
{
    const std::vector<std::uint8_t> b = SerializeKmf(SampleLevel());
    ASSERT_EQ(b.size(), 8128u + 2 * 16);
    // Field k: tile k, then tiles k+1, k+2, k+3 (cellX major: k = cellX * 45 + cellZ).
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[1], 0);
    EXPECT_EQ(b[2], 1);
    EXPECT_EQ(b[3], 7);
    EXPECT_EQ(b[4 * 2 + 0], 1);
    EXPECT_EQ(b[4 * 2 + 1], 7);
    EXPECT_EQ(b[4 * 3], 7);
    // Last field: its own tile, then zeros where no later cell exists.
    EXPECT_EQ(b[8096], 1);
    EXPECT_EQ(b[8097], 0);
    EXPECT_EQ(b[8098], 0);
    EXPECT_EQ(b[8099], 0);
    // Second-to-last field carries the last tile in byte 1.
    EXPECT_EQ(b[8093], 1);
    EXPECT_EQ(U32At(b, 8100), 2u);
    // Coin 0: active byte, three zero bytes, x y z.
    EXPECT_EQ(U32At(b, 8104), 1u);
    EXPECT_EQ(U32At(b, 8108), Bits(3.0f));
    EXPECT_EQ(U32At(b, 8112), Bits(1.0f));
    EXPECT_EQ(U32At(b, 8116), Bits(5.0f));
    EXPECT_EQ(U32At(b, 8120), 0u);  // coin 1 written as it stands: inactive
    EXPECT_EQ(U32At(b, 8124), Bits(-1.5f));
    EXPECT_EQ(U32At(b, 8136), Bits(81.0f));  // goal
    EXPECT_EQ(U32At(b, 8140), Bits(0.0f));
    EXPECT_EQ(U32At(b, 8144), Bits(79.0f));
    EXPECT_EQ(U32At(b, 8148), Bits(9.0f));  // start
    EXPECT_EQ(U32At(b, 8152), Bits(5.0f));
    EXPECT_EQ(U32At(b, 8156), Bits(9.0f));
}

TEST(KmfLevelFile, ReadBackGivesTheSameLevelAndIgnoresFillerBytes)
{
    std::vector<std::uint8_t> b = SerializeKmf(SampleLevel());
    // Junk in the bytes a reader must ignore: grid bytes 1..3, coin bytes 1..3.
    for (int k = 0; k < kCellCount; ++k) b[4 * k + 1] = b[4 * k + 2] = b[4 * k + 3] = 0xEE;
    b[8105] = b[8106] = b[8107] = 0x55;
    const KmfParse p = ParseKmf(b);
    ASSERT_TRUE(p.WellFormed()) << p.problems[0];
    const KmfLevel want = SampleLevel();
    EXPECT_EQ(p.level.grid, want.grid);
    ASSERT_EQ(p.level.coins.size(), 2u);
    EXPECT_EQ(p.level.coins[0].active, 1);
    EXPECT_EQ(p.level.coins[1].active, 0);
    EXPECT_EQ(p.level.coins[1].position.z, 89.5f);
    EXPECT_EQ(p.level.goal.x, 81.0f);
    EXPECT_EQ(p.level.start.y, 5.0f);
    // Rewriting gives the writer's canonical bytes again.
    EXPECT_EQ(SerializeKmf(p.level), SerializeKmf(want));
}

TEST(KmfLevelFile, EmptyLevelIs8128Bytes)
{
    KmfLevel level;
    level.start = {1, 5, 1};
    const std::vector<std::uint8_t> b = SerializeKmf(level);
    EXPECT_EQ(b.size(), kEmptyFileBytes);
    EXPECT_TRUE(ParseKmf(b).WellFormed());
}

TEST(KmfLevelFile, TruncatedFilesAreReportedAtEveryCut)
{
    const std::vector<std::uint8_t> whole = SerializeKmf(SampleLevel());
    for (std::size_t cut : {std::size_t(0), std::size_t(3), std::size_t(4000), std::size_t(8100), std::size_t(8103),
                            std::size_t(8120), std::size_t(8136), std::size_t(8150), whole.size() - 1}) {
        const std::vector<std::uint8_t> part(whole.begin(), whole.begin() + cut);
        const KmfParse p = ParseKmf(part);
        EXPECT_FALSE(p.WellFormed()) << "cut at " << cut;
        EXPECT_FALSE(p.complete) << "cut at " << cut;
    }
}

TEST(KmfLevelFile, ExtraTrailingBytesBreakTheSizeRule)
{
    std::vector<std::uint8_t> b = SerializeKmf(SampleLevel());
    b.push_back(0);
    const KmfParse p = ParseKmf(b);
    ASSERT_FALSE(p.WellFormed());
    EXPECT_NE(p.problems[0].find("8161 bytes"), std::string::npos) << p.problems[0];
}

TEST(KmfLevelFile, CoinCountOutsideTheTableIsRejectedWithoutReadingPastTheEnd)
{
    std::vector<std::uint8_t> b = SerializeKmf(SampleLevel());
    for (std::uint32_t n : {0xFFFFFFFFu, 151u, 0x7FFFFFFFu, 0x80000000u}) {
        std::vector<std::uint8_t> c = b;
        PutU32(c, 8100, n);
        const KmfParse p = ParseKmf(c);
        EXPECT_FALSE(p.WellFormed()) << n;
        EXPECT_LE(p.level.coins.size(), 2u) << n;
    }
    // 150 coins is the table's size and fine.
    KmfLevel full = SampleLevel();
    full.coins.assign(150, {1, {45, 1, 45}});
    EXPECT_TRUE(ParseKmf(SerializeKmf(full)).WellFormed());
}

TEST(KmfLevelFile, NonFinitePositionsAndAStartOffTheBoardAreMalformed)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    KmfLevel a = SampleLevel();
    a.coins[0].position.y = nan;
    EXPECT_FALSE(ParseKmf(SerializeKmf(a)).WellFormed());
    KmfLevel g = SampleLevel();
    g.goal.x = inf;
    EXPECT_FALSE(ParseKmf(SerializeKmf(g)).WellFormed());
    KmfLevel s = SampleLevel();
    s.start.z = 90.5f;
    const KmfParse p = ParseKmf(SerializeKmf(s));
    ASSERT_FALSE(p.WellFormed());
    EXPECT_NE(p.problems[0].find("off the"), std::string::npos);
}
