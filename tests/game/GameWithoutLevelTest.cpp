// The real game started in a folder whose first level file is missing: the
// player is told which file, and is left on a board they can act on (the
// editor works) instead of dying on the start-up placeholder over and over.
#include "GamePlayHarness.h"

using namespace play;

namespace {

class GameWithoutFirstLevel : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        if (!EnsureStarted(&why)) RENDERTEST_NO_DEVICE(why);
    }
};

TEST_F(GameWithoutFirstLevel, IsReportedByNameAndNeitherKillsNorLoops)
{
    // Start-up tried level 1 once and said so.
    ASSERT_EQ(win32test::MessageBoxLog().size(), 1u);
    const std::string box = win32test::MessageBoxLog()[0];
    EXPECT_EQ(box.rfind("Error!: ", 0), 0u) << box;
    EXPECT_NE(box.find("kMedia\\kMaps\\level1.kmf"), std::string::npos) << box;
    EXPECT_FALSE(levelLoaded);

    // The ball rolls about the placeholder board without dying.
    win32test::KeyDown('W');
    Frames(300);
    win32test::KeyUp('W');
    Frames(300);
    EXPECT_FALSE(ballDead);
    EXPECT_FALSE(levelCompleted);
    EXPECT_EQ(win32test::MessageBoxLog().size(), 1u) << "no report loop";

    // The editor still works: clear the board and mark a goal.
    PressWithControl('I');
    ASSERT_TRUE(editorMode);
    PressWithControl('R');
    Press('X');
    EXPECT_EQ(CellValue(CellOf(editorCursor.x), CellOf(editorCursor.z)), 0);
    PressWithControl('I');
    EXPECT_FALSE(editorMode);
}

}  // namespace
