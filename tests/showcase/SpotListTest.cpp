// The showcase's camera spot file: a round trip through the temporary file,
// and every kind of damage refused with its reason and the list kept.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include <FileSizeLimit.h>

#include "SpotList.h"

namespace {

namespace fs = std::filesystem;

class SpotFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("showcase_spots_" + std::to_string(::getpid()) + "_" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        file = (folder / "spots.dat").string();
        ASSERT_TRUE(sample.Add({"Shore", 100.0f, 20.0f, 12.0f, 0.3f, 0.0f}));
        ASSERT_TRUE(sample.Add({"Over the water", 100.5f, 36.25f, -50.0f, 0.75f, -3.0f}));
        ASSERT_TRUE(sample.Add({"x", 0.0f, 0.0f, 0.0f, 0.0f, 0.0f}));
    }
    void TearDown() override { fs::remove_all(folder); }

    std::vector<char> Bytes() const
    {
        std::ifstream in(file, std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in), {});
    }
    void Write(const std::vector<char>& bytes) const
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), (std::streamsize)bytes.size());
    }
    // A list holding one spot, so a refused load shows it kept the list.
    static SpotList Kept()
    {
        SpotList list;
        list.Add({"Kept", 1.0f, 2.0f, 3.0f, 0.0f, 0.0f});
        return list;
    }
    void ExpectRefused(const char* what, const char* reason)
    {
        SpotList list = Kept();
        std::string error;
        EXPECT_FALSE(list.Load(file.c_str(), &error)) << what;
        EXPECT_EQ(error, "Spot file " + file + " is corrupt: " + reason) << what;
        ASSERT_EQ(list.Count(), 1) << what;
        EXPECT_EQ(list.At(0).name, "Kept") << what;
    }

    fs::path folder;
    std::string file;
    SpotList sample;
};

void PutInt(std::vector<char>& bytes, size_t offset, int32_t value)
{
    std::memcpy(&bytes[offset], &value, 4);
}

TEST_F(SpotFile, RoundTripThroughATemporaryFileThatIsRenamed)
{
    std::string error;
    ASSERT_TRUE(sample.Save(file.c_str(), &error)) << error;
    EXPECT_FALSE(fs::exists(file + ".tmp"));
    // Magic, version, count; per spot its name length, name and five floats.
    EXPECT_EQ(fs::file_size(file), 12u + (4 + 5 + 20) + (4 + 14 + 20) + (4 + 1 + 20));
    const std::vector<char> bytes = Bytes();
    EXPECT_EQ(std::string(bytes.data(), 4), "VXSP");

    SpotList loaded;
    ASSERT_TRUE(loaded.Load(file.c_str(), &error)) << error;
    ASSERT_EQ(loaded.Count(), sample.Count());
    for (int i = 0; i < sample.Count(); ++i) {
        EXPECT_EQ(loaded.At(i).name, sample.At(i).name);
        EXPECT_EQ(loaded.At(i).x, sample.At(i).x);
        EXPECT_EQ(loaded.At(i).y, sample.At(i).y);
        EXPECT_EQ(loaded.At(i).z, sample.At(i).z);
        EXPECT_EQ(loaded.At(i).pitch, sample.At(i).pitch);
        EXPECT_EQ(loaded.At(i).yaw, sample.At(i).yaw);
    }

    // Saving again replaces the file whole; an empty list is a valid file too.
    SpotList empty;
    ASSERT_TRUE(empty.Save(file.c_str(), &error)) << error;
    EXPECT_EQ(fs::file_size(file), 12u);
    ASSERT_TRUE(loaded.Load(file.c_str(), &error)) << error;
    EXPECT_EQ(loaded.Count(), 0);
}

TEST_F(SpotFile, AFailedSaveLeavesTheOldFileAndNoTemporary)
{
    // The name is taken by a folder: the temporary is written, the rename fails.
    const std::string taken = (folder / "taken").string();
    fs::create_directories(fs::path(taken) / "inside");
    std::string error;
    EXPECT_FALSE(sample.Save(taken.c_str(), &error));
    EXPECT_EQ(error, "Cannot replace " + taken + ": Is a directory");
    EXPECT_TRUE(fs::is_directory(fs::path(taken) / "inside"));
    EXPECT_FALSE(fs::exists(taken + ".tmp"));

    // No folder for the temporary at all.
    const std::string nowhere = (folder / "missing" / "spots.dat").string();
    EXPECT_FALSE(sample.Save(nowhere.c_str(), &error));
    EXPECT_EQ(error, "Cannot write " + nowhere + ": No such file or directory") << "the file asked for, and why";

    // A regular file where the folder would be.
    const std::string underFile = file + "/spots.dat";
    std::ofstream(file) << "a file";
    EXPECT_FALSE(sample.Save(underFile.c_str(), &error));
    EXPECT_EQ(error, "Cannot write " + underFile + ": Not a directory");
}

TEST_F(SpotFile, AFullDiskIsNamedAsTheReasonAndTheOldFileKept)
{
    std::string error;
    SpotList one;
    ASSERT_TRUE(one.Add({"One", 1.0f, 2.0f, 3.0f, 0.0f, 0.0f}));
    ASSERT_TRUE(one.Save(file.c_str(), &error)) << error;
    const std::vector<char> before = Bytes();
    // Files may grow to 40 bytes only: the larger list cannot be written whole.
    ASSERT_LT(before.size(), 40u);
    bool saved = true;
    {
        FileSizeLimit full(40);
        ASSERT_TRUE(full.Active());
        saved = sample.Save(file.c_str(), &error);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(error, "Cannot write " + file + ": File too large");
    EXPECT_TRUE(Bytes() == before) << "the old file is whole";
    EXPECT_FALSE(fs::exists(file + ".tmp"));
}

TEST_F(SpotFile, DamageIsRefusedWithItsReasonAndTheListKept)
{
    std::string error;
    ASSERT_TRUE(sample.Save(file.c_str(), &error));
    const std::vector<char> good = Bytes();

    // Every cut of the file short of its end.
    for (size_t n = 0; n < good.size(); ++n) {
        Write(std::vector<char>(good.begin(), good.begin() + (long)n));
        SpotList list = Kept();
        EXPECT_FALSE(list.Load(file.c_str(), &error)) << n << " bytes";
        EXPECT_EQ(error.rfind("Spot file " + file + " is corrupt: ", 0), 0u) << n << " bytes: " << error;
        EXPECT_EQ(list.Count(), 1) << n << " bytes";
    }

    std::vector<char> bad = good;
    bad[0] = 'W';
    Write(bad);
    ExpectRefused("magic", "not a spot file");

    bad = good;
    PutInt(bad, 4, 2);
    Write(bad);
    ExpectRefused("version", "unknown version");

    for (int32_t count : {-1, 65, 0x7FFFFFFF}) {
        bad = good;
        PutInt(bad, 8, count);
        Write(bad);
        ExpectRefused("count", "bad spot count");
    }
    bad = good;
    PutInt(bad, 8, 4);  // one spot more than the file holds
    Write(bad);
    ExpectRefused("count past the spots", "truncated");

    for (int32_t length : {0, -5, 64, 0x40000000}) {
        bad = good;
        PutInt(bad, 12, length);
        Write(bad);
        ExpectRefused("name length", "bad name length");
    }

    bad = good;
    bad[16] = '\0';  // inside the first name
    Write(bad);
    ExpectRefused("name", "bad name");

    bad = good;
    const float nan = std::nanf("");
    std::memcpy(&bad[12 + 4 + 5], &nan, 4);  // the first spot's x
    Write(bad);
    ExpectRefused("not a number", "value out of range");

    bad = good;
    bad.push_back('\0');
    Write(bad);
    ExpectRefused("trailing byte", "bytes after the last spot");

    std::vector<char> huge(100000, 'V');
    Write(huge);
    ExpectRefused("oversized", "too large");

    fs::remove(file);
    SpotList list = Kept();
    EXPECT_FALSE(list.Load(file.c_str(), &error));
    EXPECT_EQ(error, "No spot file " + file);
    EXPECT_EQ(list.Count(), 1);
}

TEST(SpotList, AddRefusesEmptyAndOverlongNamesAndAFullList)
{
    SpotList list;
    EXPECT_FALSE(list.Add({"", 0, 0, 0, 0, 0}));
    EXPECT_FALSE(list.Add({std::string(64, 'n'), 0, 0, 0, 0, 0}));
    EXPECT_TRUE(list.Add({std::string(63, 'n'), 0, 0, 0, 0, 0}));
    for (int i = 1; i < SpotList::kMaxSpots; ++i) EXPECT_TRUE(list.Add({"s" + std::to_string(i), 0, 0, 0, 0, 0}));
    EXPECT_FALSE(list.Add({"one too many", 0, 0, 0, 0, 0}));
    EXPECT_EQ(list.Count(), SpotList::kMaxSpots);
}

}  // namespace
