// The kmfcheck program: its verdicts, messages and exit status on real files.
#include <gtest/gtest.h>

#include <string>

#include "TestTempDir.h"
#include "ToolRun.h"
#include "kmf/KmfLevel.h"
#include "kmf/LevelText.h"
#include "kmf/ShippedLevels.h"

namespace {

ToolRun Check(const std::string& args)
{
    return RunTool(KMFCHECK_PATH, args);
}

std::string WriteLevel(const TestTempDir& dir, const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    std::string error;
    EXPECT_TRUE(kmf::WriteFileBytes(dir.File(name), bytes, error)) << error;
    return dir.File(name);
}

kmf::KmfLevel LevelOne()
{
    kmf::LevelText t;
    std::string error;
    EXPECT_TRUE(kmf::CompileLevelText(kmf::ShippedLevelText(1), t, error)) << error;
    return t.level;
}

}  // namespace

TEST(KmfCheckTool, ExitStatusSaysWhatIsWrong)
{
    TestTempDir dir;
    ASSERT_TRUE(dir.Ok());
    const std::string good = WriteLevel(dir, "good.kmf", kmf::SerializeKmf(LevelOne()));

    ToolRun r = Check(good);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("good.kmf: can be completed"), std::string::npos) << r.output;

    kmf::KmfLevel stuck = LevelOne();
    stuck.coins[1].active = 0;
    r = Check(WriteLevel(dir, "stuck.kmf", kmf::SerializeKmf(stuck)));
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("coin 1 is inactive"), std::string::npos) << r.output;

    std::vector<std::uint8_t> cut = kmf::SerializeKmf(LevelOne());
    cut.resize(5000);
    r = Check(WriteLevel(dir, "cut.kmf", cut));
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_NE(r.output.find("not a well-formed level file"), std::string::npos) << r.output;

    r = Check(dir.File("missing.kmf"));
    EXPECT_EQ(r.status, 3) << r.output;
    EXPECT_NE(r.output.find("cannot open"), std::string::npos) << r.output;

    // Several files: the worst verdict wins, every file is reported.
    r = Check(good + " " + dir.File("stuck.kmf"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("good.kmf: can be completed"), std::string::npos);
}

TEST(KmfCheckTool, VerboseListsEveryTarget)
{
    TestTempDir dir;
    ASSERT_TRUE(dir.Ok());
    const ToolRun r = Check("-v " + WriteLevel(dir, "one.kmf", kmf::SerializeKmf(LevelOne())));
    EXPECT_EQ(r.status, 0);
    for (const char* what : {"coin 0", "coin 1", "coin 2", "goal", "start clearance"})
        EXPECT_NE(r.output.find(what), std::string::npos) << what << "\n" << r.output;
}
