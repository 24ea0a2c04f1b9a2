// The records file on real files in a temporary folder, and the rules a
// completed run is recorded by.
#include "PlayerFileFolder.h"

#include "FileSizeLimit.h"
#include "Records.h"

#include <climits>

namespace {

bool Same(const LevelRecord& a, const LevelRecord& b)
{
    return a.level == b.level && a.checksum == b.checksum && a.bestScore == b.bestScore && a.fastestMs == b.fastestMs;
}

bool Same(const Records& a, const Records& b)
{
    if (a.Count() != b.Count()) return false;
    for (int i = 0; i < a.Count(); ++i)
        if (!Same(a.At(i), b.At(i))) return false;
    return true;
}

Records Some()
{
    Records r;
    r.Submit(1, 0x11111111u, 4200, 61000);
    r.Submit(2, 0x22222222u, -150, 125500);
    r.Submit(1, 0xABCDEF01u, 900, 3000);
    return r;
}

class RecordsFile : public PlayerFileFolder {
protected:
    std::string Folder() const { return Root() + "/data/kolvar"; }
    std::string File() const { return Folder() + "/records"; }

    struct Row {
        int level;
        std::uint32_t checksum;
        int score;
        std::uint32_t ms;
    };
    // A records file as the layout in Records.h draws it, written by hand.
    static constexpr int kRowCount = INT32_MIN;  // the count the rows give
    static std::vector<std::uint8_t> HandMade(const std::vector<Row>& rows, int version = 1, int count = kRowCount)
    {
        std::vector<std::uint8_t> b = Begin("KOLVRECS");
        PutInt(b, version);
        PutInt(b, count == kRowCount ? static_cast<int>(rows.size()) : count);
        for (const Row& r : rows) {
            PutInt(b, r.level);
            Put(b, &r.checksum);
            PutInt(b, r.score);
            Put(b, &r.ms);
        }
        PutCrc(b);
        return b;
    }
    static std::vector<std::uint8_t> Good() { return HandMade({{3, 0xCAFEF00Du, 777, 45678}, {1, 7u, -5, 1}}); }
};

TEST(RecordsRules, FirstRunIsBestOfBothAndEachBestIsKeptOnItsOwn)
{
    Records r;
    EXPECT_EQ(r.Find(1, 42), nullptr);
    Records::Offer o = r.Submit(1, 42, 1000, 60000);
    EXPECT_TRUE(o.bestScore && o.fastest);
    ASSERT_NE(r.Find(1, 42), nullptr);
    EXPECT_TRUE(Same(*r.Find(1, 42), LevelRecord{1, 42, 1000, 60000}));

    o = r.Submit(1, 42, 1500, 70000);  // better score, slower
    EXPECT_TRUE(o.bestScore);
    EXPECT_FALSE(o.fastest);
    EXPECT_TRUE(Same(*r.Find(1, 42), LevelRecord{1, 42, 1500, 60000}));

    o = r.Submit(1, 42, 800, 50000);  // worse score, faster
    EXPECT_FALSE(o.bestScore);
    EXPECT_TRUE(o.fastest);
    EXPECT_TRUE(Same(*r.Find(1, 42), LevelRecord{1, 42, 1500, 50000}));

    o = r.Submit(1, 42, 1400, 55000);  // worse at both
    EXPECT_FALSE(o.bestScore || o.fastest);
    o = r.Submit(1, 42, 1500, 50000);  // a tie is no new best
    EXPECT_FALSE(o.bestScore || o.fastest);
    EXPECT_TRUE(Same(*r.Find(1, 42), LevelRecord{1, 42, 1500, 50000}));
    EXPECT_EQ(r.Count(), 1);

    // A negative score (a long run's time bonus) still counts.
    o = r.Submit(2, 42, -300, 900000);
    EXPECT_TRUE(o.bestScore && o.fastest);
    EXPECT_TRUE(r.Submit(2, 42, -299, 900000).bestScore);
}

TEST(RecordsRules, BoardsOfOneLevelAndLevelsOfOneBoardAreKeptApart)
{
    Records r;
    r.Submit(1, 0xAAAA0000u, 1000, 60000);
    // Level 1 edited: a new board, whose first run is a best of both even
    // though the old board's record is higher and faster.
    const Records::Offer o = r.Submit(1, 0xBBBB0000u, 10, 99000);
    EXPECT_TRUE(o.bestScore && o.fastest);
    r.Submit(2, 0xAAAA0000u, 5, 5);
    EXPECT_EQ(r.Count(), 3);
    EXPECT_TRUE(Same(*r.Find(1, 0xAAAA0000u), LevelRecord{1, 0xAAAA0000u, 1000, 60000}));
    EXPECT_TRUE(Same(*r.Find(1, 0xBBBB0000u), LevelRecord{1, 0xBBBB0000u, 10, 99000}));
    EXPECT_TRUE(Same(*r.Find(2, 0xAAAA0000u), LevelRecord{2, 0xAAAA0000u, 5, 5}));
    EXPECT_EQ(r.Find(2, 0xBBBB0000u), nullptr);
}

TEST(RecordsRules, NoMoreThanTheCapOfBoardsIsKept)
{
    Records r;
    for (int i = 0; i < Records::kMaxRecords; ++i) r.Submit(1 + i % 6, static_cast<std::uint32_t>(i), i, 1000);
    EXPECT_EQ(r.Count(), Records::kMaxRecords);
    const Records::Offer o = r.Submit(7, 0xFFFFFFFFu, 50, 50);
    EXPECT_FALSE(o.bestScore || o.fastest);
    EXPECT_EQ(r.Find(7, 0xFFFFFFFFu), nullptr);
    EXPECT_EQ(r.Count(), Records::kMaxRecords);
    // The boards already kept still improve.
    EXPECT_TRUE(r.Submit(1, 0, 99999, 1000).bestScore);

    // A full file is the largest one read.
    std::string why;
    const std::vector<std::uint8_t> bytes = r.Encode();
    EXPECT_EQ(bytes.size(), Records::kFileLimit);
    Records back;
    ASSERT_TRUE(Records::Decode(bytes.data(), bytes.size(), back, why)) << why;
    EXPECT_TRUE(Same(back, r));
}

TEST(RecordsRules, LevelChecksumIsTheCrc32OfTheBytes)
{
    // The published check value of CRC-32.
    const std::string check = "123456789";
    EXPECT_EQ(LevelChecksum(reinterpret_cast<const std::uint8_t*>(check.data()), check.size()), 0xCBF43926u);
    EXPECT_EQ(LevelChecksum(nullptr, 0), 0u);
    // A level-sized block against the polynomial worked one bit at a time.
    std::vector<std::uint8_t> level(8128 + 16 * 3);
    for (std::size_t i = 0; i < level.size(); ++i) level[i] = static_cast<std::uint8_t>((i * 37 + i / 251) & 0xFF);
    EXPECT_EQ(LevelChecksum(level.data(), level.size()), PlayerFileFolder::BitwiseCrc32(level.data(), level.size()));
    // One changed tile is another board.
    const std::uint32_t before = LevelChecksum(level.data(), level.size());
    level[4 * 1000] ^= 1;
    EXPECT_NE(LevelChecksum(level.data(), level.size()), before);
}

TEST_F(RecordsFile, PathFollowsXdgDataHomeAndFallsBackToHome)
{
    EXPECT_EQ(Records::Path(), Root() + "/data/kolvar/records");
    const std::string fallback = Root() + "/home/.local/share/kolvar/records";
    for (const char* ignored : {"", "data", "../data"}) {
        ::setenv("XDG_DATA_HOME", ignored, 1);
        EXPECT_EQ(Records::Path(), fallback) << "XDG_DATA_HOME=\"" << ignored << "\"";
    }
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(Records::Path(), fallback);
    std::string why;
    ASSERT_TRUE(Some().Save(&why)) << why;
    EXPECT_TRUE(Exists(fallback));
}

TEST_F(RecordsFile, SavedRecordsLoadBackAndLeaveOnlyTheFile)
{
    std::string why;
    ASSERT_TRUE(Some().Save(&why)) << why;
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"records"});
    EXPECT_EQ(ReadBytes(File()).size(), 20u + 16u * 3u);
    Records loaded;
    loaded.Submit(9, 9, 9, 9);
    std::string hud = "untouched";
    EXPECT_EQ(loaded.Load(&hud), FileOutcome::Loaded);
    EXPECT_TRUE(Same(loaded, Some()));
    EXPECT_EQ(hud, "untouched");

    // After another completed level the file holds the new best.
    loaded.Submit(2, 0x22222222u, 0, 125500);
    ASSERT_TRUE(loaded.Save(&why)) << why;
    Records again;
    EXPECT_EQ(again.Load(nullptr), FileOutcome::Loaded);
    EXPECT_EQ(again.Find(2, 0x22222222u)->bestScore, 0);
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"records"});
}

TEST_F(RecordsFile, FileWrittenByHandReadsAsItsLayoutSays)
{
    Records r;
    std::string why;
    const std::vector<std::uint8_t> bytes = Good();
    ASSERT_TRUE(Records::Decode(bytes.data(), bytes.size(), r, why)) << why;
    ASSERT_EQ(r.Count(), 2);
    EXPECT_TRUE(Same(*r.Find(3, 0xCAFEF00Du), LevelRecord{3, 0xCAFEF00Du, 777, 45678}));
    EXPECT_TRUE(Same(*r.Find(1, 7u), LevelRecord{1, 7u, -5, 1}));
    EXPECT_EQ(r.Encode(), bytes);
}

TEST_F(RecordsFile, MissingFileGivesNoRecordsQuietlyAndWritesNothing)
{
    Records r = Some();
    std::string hud = "untouched";
    testing::internal::CaptureStderr();
    EXPECT_EQ(r.Load(&hud), FileOutcome::Missing);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(r.Count(), 0);
    EXPECT_EQ(hud, "untouched");
    EXPECT_FALSE(Exists(Root() + "/data"));
}

TEST_F(RecordsFile, BadFilesAreSetAsideReportedOnceAndPlayGoesOn)
{
    std::vector<std::uint8_t> truncated = Good();
    truncated.resize(truncated.size() - 7);
    std::vector<std::uint8_t> flippedScore = Good();
    flippedScore[24] ^= 0x80;  // the first record's score
    std::vector<std::uint8_t> flippedCount = Good();
    flippedCount[12] = 3;  // three records said, two there
    std::vector<std::uint8_t> longer = Good();
    longer.insert(longer.end(), {1, 2, 3});

    const std::string damaged = "Records were damaged and were reset (kept as records.bad)";
    const std::string foreign = "Records were in a foreign file and were reset (kept as records.bad)";
    const std::string newer = "Records were from a newer Kolvar and were reset (kept as records.bad)";
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        bool huge;
        std::string hud;
        const char* reason;
    } cases[] = {
        {"truncated", truncated, false, damaged, "truncated"},
        {"a flipped score byte", flippedScore, false, damaged, "checksum"},
        {"a count past the records", flippedCount, false, damaged, "truncated"},
        {"bytes past the end", longer, false, damaged, "past the end"},
        {"version 2", HandMade({{1, 1, 1, 1}}, 2), false, newer, "newer"},
        {"a count over the cap", HandMade({}, 1, Records::kMaxRecords + 1), false, damaged, "4097"},
        {"a negative count", HandMade({}, 1, -5), false, damaged, "record count"},
        {"one board twice", HandMade({{1, 5, 10, 10}, {2, 5, 1, 1}, {1, 5, 20, 5}}), false, damaged, "repeats"},
        {"empty", {}, false, damaged, "empty"},
        {"a PNG image", PngStart(), false, foreign, "not a Kolvar records file"},
        {"a settings file", std::vector<std::uint8_t>{'K', 'O', 'L', 'V', 'S', 'E', 'T', 'S', 1, 0, 0, 0}, false,
         foreign, "4B 4F 4C 56 53 45 54 53"},
        {"100 MB", {}, true, damaged, "too large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(Folder());
        WriteBytes(File() + ".bad", Text("an older damaged file"));
        if (c.huge)
            WriteHuge(File());
        else
            WriteBytes(File(), c.bytes);

        Records r = Some();
        std::string hud;
        testing::internal::CaptureStderr();
        EXPECT_EQ(r.Load(&hud), FileOutcome::Damaged);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(r.Count(), 0);
        EXPECT_EQ(hud, c.hud);
        ExpectReportedOnce(err, "records", File(), c.reason, "starting with no records");
        EXPECT_EQ(Names(Folder()), std::set<std::string>{"records.bad"});
        if (c.huge)
            EXPECT_EQ(std::filesystem::file_size(File() + ".bad"), 100u * 1024 * 1024);
        else
            EXPECT_EQ(ReadBytes(File() + ".bad"), c.bytes);

        // The level just completed is recorded afresh.
        EXPECT_TRUE(r.Submit(1, 5, 100, 100).bestScore);
        std::string why;
        ASSERT_TRUE(r.Save(&why)) << why;
        Records next;
        EXPECT_EQ(next.Load(nullptr), FileOutcome::Loaded);
        EXPECT_EQ(next.Count(), 1);
    }
}

TEST_F(RecordsFile, DecodeRefusesWithoutTouchingItsOutput)
{
    Records r = Some();
    std::string why;
    EXPECT_FALSE(Records::Decode(nullptr, 0, r, why));
    EXPECT_FALSE(why.empty());
    const std::vector<std::uint8_t> dup = HandMade({{1, 5, 10, 10}, {1, 5, 20, 5}});
    why.clear();
    EXPECT_FALSE(Records::Decode(dup.data(), dup.size(), r, why));
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(Same(r, Some()));
}

TEST_F(RecordsFile, FailedSaveKeepsTheOldFile)
{
    std::string why;
    ASSERT_TRUE(Some().Save(&why)) << why;
    const std::vector<std::uint8_t> before = ReadBytes(File());
    Records more = Some();
    for (int i = 0; i < 10; ++i) more.Submit(10 + i, 1, 1, 1);
    {
        FileSizeLimit full(before.size());  // the new file is larger
        ASSERT_TRUE(full.Active());
        EXPECT_FALSE(more.Save(&why));
    }
    EXPECT_NE(why.find(File()), std::string::npos) << why;
    EXPECT_EQ(ReadBytes(File()), before);
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"records"});
}

TEST_F(RecordsFile, SaveIntoReadOnlyFolderKeepsTheOldFile)
{
    std::string why;
    ASSERT_TRUE(Some().Save(&why)) << why;
    const std::vector<std::uint8_t> before = ReadBytes(File());
    const std::string failed = WherePermissionsHold([&]() -> std::string {
        if (::chmod(Folder().c_str(), 0500) != 0) return "cannot make the folder read-only";
        Records more = Some();
        more.Submit(5, 5, 5, 5);
        std::string why;
        const bool saved = more.Save(&why);
        ::chmod(Folder().c_str(), 0700);
        if (saved) return "saved into a read-only folder";
        if (why.find("Permission denied") == std::string::npos) return "the reason was " + why;
        if (ReadBytes(File()) != before) return "the old file changed";
        if (Names(Folder()) != std::set<std::string>{"records"}) return "something was left in the folder";
        return "";
    });
    EXPECT_EQ(failed, "");
}

}  // namespace
