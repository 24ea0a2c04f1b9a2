// Compiling level designs from text: where each mark lands, and the faults
// a designer can make.
#include <gtest/gtest.h>

#include <string>

#include "kmf/LevelText.h"

using namespace kmf;

namespace {

// A 45 x 45 map of '.' with chosen characters set; row 0 is the top (cellZ 44).
std::string Map(const std::vector<std::pair<std::pair<int, int>, char>>& marks, int rows = 45, int cols = 45)
{
    std::vector<std::string> lines(rows, std::string(cols, '.'));
    for (const auto& [cell, ch] : marks) lines[44 - cell.second][cell.first] = ch;
    std::string text = "; test\nname Test Level\nmap\n";
    for (const std::string& l : lines) text += l + "\n";
    return text + "end\n";
}

std::string CompileError(const std::string& text)
{
    LevelText out;
    std::string error;
    EXPECT_FALSE(CompileLevelText(text, out, error));
    return error;
}

}  // namespace

TEST(LevelText, MarksLandOnTheirCellsAtTheGameHeights)
{
    LevelText out;
    std::string error;
    ASSERT_TRUE(CompileLevelText(
        Map({{{0, 44}, '#'}, {{44, 0}, '#'}, {{3, 7}, 'c'}, {{10, 2}, 'S'}, {{40, 41}, 'G'}, {{5, 5}, '3'}}), out,
        error))
        << error;
    EXPECT_EQ(out.name, "Test Level");
    EXPECT_EQ(out.level.Tile(0, 44), kTileBomb);  // top-left character
    EXPECT_EQ(out.level.Tile(44, 0), kTileBomb);  // bottom-right character
    EXPECT_EQ(out.level.Tile(44, 44), kTileSafe);
    EXPECT_EQ(out.level.Tile(5, 5), 3);
    EXPECT_EQ(out.level.Tile(3, 7), kTileSafe);
    ASSERT_EQ(out.level.coins.size(), 1u);
    EXPECT_EQ(out.level.coins[0].active, 1);
    EXPECT_EQ(out.level.coins[0].position.x, 7.0f);  // cell centre 2 * 3 + 1
    EXPECT_EQ(out.level.coins[0].position.y, 1.0f);
    EXPECT_EQ(out.level.coins[0].position.z, 15.0f);
    EXPECT_EQ(out.level.start.x, 21.0f);
    EXPECT_EQ(out.level.start.y, 5.0f);
    EXPECT_EQ(out.level.start.z, 5.0f);
    EXPECT_EQ(out.level.goal.x, 81.0f);
    EXPECT_EQ(out.level.goal.y, 0.0f);
    EXPECT_EQ(out.level.goal.z, 83.0f);
}

TEST(LevelText, CoinsAreNumberedInReadingOrder)
{
    LevelText out;
    std::string error;
    ASSERT_TRUE(CompileLevelText(Map({{{1, 1}, 'S'}, {{2, 2}, 'G'}, {{30, 10}, 'c'}, {{5, 40}, 'c'}, {{6, 40}, 'c'}}),
                                 out, error));
    ASSERT_EQ(out.level.coins.size(), 3u);
    EXPECT_EQ(out.level.coins[0].position.x, 11.0f);  // top row first, left to right
    EXPECT_EQ(out.level.coins[1].position.x, 13.0f);
    EXPECT_EQ(out.level.coins[2].position.z, 21.0f);
}

TEST(LevelText, FaultsNameTheirLine)
{
    const auto marks = std::vector<std::pair<std::pair<int, int>, char>>{{{1, 1}, 'S'}, {{2, 2}, 'G'}};
    std::string text = Map(marks);
    // Row 4 of the map is line 7 of the text (three header lines).
    std::string shortRow = text;
    shortRow.erase(shortRow.find("map\n") + 4 + 3 * 46, 1);
    EXPECT_EQ(CompileError(shortRow).rfind("line 7: map row has 44", 0), 0u) << CompileError(shortRow);

    std::string badChar = text;
    badChar[badChar.find("map\n") + 4 + 10] = 'x';
    EXPECT_NE(CompileError(badChar).find("unknown map character 'x'"), std::string::npos);

    EXPECT_NE(CompileError(Map(marks, 44)).find("44 rows"), std::string::npos);
    EXPECT_NE(CompileError(Map(marks, 46)).find("more than 45 rows"), std::string::npos);
    EXPECT_NE(CompileError(Map({{{2, 2}, 'G'}})).find("no start"), std::string::npos);
    EXPECT_NE(CompileError(Map({{{1, 1}, 'S'}})).find("no goal"), std::string::npos);
    EXPECT_NE(CompileError(Map({{{1, 1}, 'S'}, {{2, 2}, 'G'}, {{3, 3}, 'G'}})).find("second goal"), std::string::npos);
    std::string open = text.substr(0, text.rfind("end"));
    EXPECT_NE(CompileError(open).find("not closed"), std::string::npos);
    EXPECT_NE(CompileError("name x\nbogus\n").find("line 2"), std::string::npos);
    EXPECT_NE(CompileError("").find("no map"), std::string::npos);
}

TEST(LevelText, MoreCoinsThanTheTableAreRefused)
{
    std::vector<std::pair<std::pair<int, int>, char>> marks{{{0, 0}, 'S'}, {{0, 1}, 'G'}};
    for (int i = 0; i < 151; ++i) marks.push_back({{1 + i % 40, 2 + i / 40}, 'c'});
    EXPECT_NE(CompileError(Map(marks)).find("more than 150 coins"), std::string::npos);
}
