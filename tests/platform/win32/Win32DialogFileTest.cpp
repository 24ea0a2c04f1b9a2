// Message boxes, character widths and opening files by backslash names.
#include "Win32TestWindow.h"

#include <Win32File.h>
#include <Win32DeviceSeam.h>

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using Win32Dialog = Win32Test;

TEST_F(Win32Dialog, HeadlessMessageBoxReturnsAtOnceAndIsLogged)
{
    win32test::ClearMessageBoxLog();
    testing::internal::CaptureStderr();
    int r1 = MessageBoxA(nullptr, "Failed to initialize Direct3D", "Error!", MB_OK);
    int r2 = MessageBoxA(nullptr, "Error loading texture!", "Error!", MB_OKCANCEL);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(r1, IDOK);
    EXPECT_EQ(r2, IDOK);
    ASSERT_EQ(win32test::MessageBoxLog().size(), 2u);
    EXPECT_EQ(win32test::MessageBoxLog()[0], "Error!: Failed to initialize Direct3D");
    EXPECT_EQ(win32test::MessageBoxLog()[1], "Error!: Error loading texture!");
    EXPECT_NE(err.find("Error!: Failed to initialize Direct3D\n"), std::string::npos);
    EXPECT_NE(err.find("Error!: Error loading texture!\n"), std::string::npos);

    MessageBoxA(nullptr, nullptr, nullptr, MB_OK);  // null strings are not a crash
    EXPECT_EQ(win32test::MessageBoxLog().size(), 3u);
    win32test::ClearMessageBoxLog();
    EXPECT_TRUE(win32test::MessageBoxLog().empty());
}

// A context with a fixed-pitch font of its own: character c is c % 7 + 3 wide.
struct FakeFontContext : HDC__ {
    BOOL CharWidths(UINT first, UINT last, INT* widths) override
    {
        for (UINT c = first; c <= last; ++c) widths[c - first] = static_cast<INT>(c % 7 + 3);
        return TRUE;
    }
};

TEST_F(Win32Dialog, CharWidthsComeFromTheContextsFont)
{
    FakeFontContext dc;
    INT w[3] = {-1, -1, -1};
    ASSERT_TRUE(GetCharWidth32A(&dc, 'a', 'c', w));
    EXPECT_EQ(w[0], static_cast<INT>('a' % 7 + 3));
    EXPECT_EQ(w[2], static_cast<INT>('c' % 7 + 3));
    INT one = -1;
    ASSERT_TRUE(GetCharWidth32A(&dc, 'W', 'W', &one));
    EXPECT_EQ(one, static_cast<INT>('W' % 7 + 3));
    EXPECT_FALSE(GetCharWidth32A(nullptr, 'a', 'a', &one));
    EXPECT_FALSE(GetCharWidth32A(&dc, 'a', 'a', nullptr));
    INT untouched = -1;
    EXPECT_FALSE(GetCharWidth32A(&dc, 'c', 'a', &untouched));
    EXPECT_EQ(untouched, -1);
}

class Win32File : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/win32fileXXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        ASSERT_NE(getcwd(old_, sizeof old_), nullptr);
        ASSERT_EQ(chdir(dir_.c_str()), 0);
    }
    void TearDown() override
    {
        ASSERT_EQ(chdir(old_), 0);
        std::string cmd = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    static void Write(const char* path, const char* text)
    {
        FILE* f = std::fopen(path, "wb");
        ASSERT_NE(f, nullptr) << path;
        std::fputs(text, f);
        std::fclose(f);
    }
    static std::string Read(FILE* f)
    {
        std::string s;
        char buf[64];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
        std::fclose(f);
        return s;
    }
    std::string dir_;
    char old_[4096];
};

TEST_F(Win32File, BackslashNameOpensTheFile)
{
    ASSERT_EQ(mkdir("kMedia", 0755), 0);
    ASSERT_EQ(mkdir("kMedia/kMaps", 0755), 0);
    Write("kMedia/kMaps/level1.kmf", "level one");
    EXPECT_EQ(Win32_MapFileName("kMedia\\kMaps\\level1.kmf"), "kMedia/kMaps/level1.kmf");
    FILE* f = Win32_OpenFile("kMedia\\kMaps\\level1.kmf", "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Read(f), "level one");

    // Writing by such a name lands in the folder, not in a file named with backslashes.
    f = Win32_OpenFile("kMedia\\kMaps\\levelNR.kmf", "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("saved", f);
    std::fclose(f);
    FILE* g = std::fopen("kMedia/kMaps/levelNR.kmf", "rb");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(Read(g), "saved");
}

TEST_F(Win32File, NamesMatchWithoutRegardToCase)
{
    ASSERT_EQ(mkdir("kMedia", 0755), 0);
    Write("kMedia/shadowplane.x", "mesh");
    FILE* f = Win32_OpenFile("KMEDIA\\shadowplane.X", "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Read(f), "mesh");
    // Writing to a differently cased name replaces the existing file.
    f = Win32_OpenFile("kmedia\\ShadowPlane.X", "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("new", f);
    std::fclose(f);
    FILE* g = std::fopen("kMedia/shadowplane.x", "rb");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(Read(g), "new");
}

TEST_F(Win32File, MissingAndBadNamesGiveNull)
{
    errno = 0;
    EXPECT_EQ(Win32_OpenFile("kMedia\\nothere.tga", "rb"), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(Win32_OpenFile(nullptr, "rb"), nullptr);
    EXPECT_EQ(Win32_OpenFile("", "rb"), nullptr);
    EXPECT_EQ(Win32_OpenFile("a.txt", nullptr), nullptr);
    EXPECT_EQ(Win32_MapFileName(nullptr), "");
    EXPECT_EQ(Win32_OpenFile("nodir\\a.txt", "wb"), nullptr);  // no folder made on the way
}

TEST_F(Win32File, ReplaceMovesOverTheOldFileAndDeleteRemoves)
{
    ASSERT_EQ(mkdir("kMedia", 0755), 0);
    Write("kMedia/levelNR.kmf", "old");
    Write("kMedia/levelNR.tmp", "new");
    ASSERT_TRUE(Win32_ReplaceFile("kMedia\\levelNR.tmp", "KMEDIA\\LEVELNR.KMF"));
    FILE* f = Win32_OpenFile("kMedia\\levelNR.kmf", "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Read(f), "new");
    EXPECT_EQ(std::fopen("kMedia/levelNR.tmp", "rb"), nullptr);
    EXPECT_FALSE(Win32_ReplaceFile("kMedia\\nothere", "kMedia\\levelNR.kmf"));
    f = Win32_OpenFile("kMedia\\levelNR.kmf", "rb");  // left alone by the failed replace
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Read(f), "new");

    EXPECT_TRUE(Win32_DeleteFile("kmedia\\levelnr.kmf"));
    EXPECT_EQ(std::fopen("kMedia/levelNR.kmf", "rb"), nullptr);
    EXPECT_FALSE(Win32_DeleteFile("kMedia\\levelNR.kmf"));
    EXPECT_FALSE(Win32_DeleteFile(nullptr));
    EXPECT_FALSE(Win32_ReplaceFile(nullptr, "a"));
}

}  // namespace

TEST_F(Win32File, WholeFileReadHonoursTheLimitAndTheSystemName)
{
    ASSERT_EQ(mkdir("media", 0755), 0);
    ASSERT_EQ(mkdir("media/TerrData", 0755), 0);
    std::string big(200000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = char(i * 7);
    FILE* f = std::fopen("media/TerrData/table.btd", "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(big.data(), 1, big.size(), f);
    std::fclose(f);

    std::vector<uint8_t> bytes{1, 2, 3};
    EXPECT_EQ(Win32_ReadWholeFile("MEDIA\\terrdata\\table.btd", big.size(), bytes), WIN32_READ_OK);
    ASSERT_EQ(bytes.size(), big.size());
    EXPECT_EQ(std::memcmp(bytes.data(), big.data(), big.size()), 0);

    // One byte over the limit is refused before anything is kept.
    EXPECT_EQ(Win32_ReadWholeFile("media\\TerrData\\table.btd", big.size() - 1, bytes), WIN32_READ_TOO_LARGE);
    EXPECT_TRUE(bytes.empty());

    Write("media/empty.bin", "");
    bytes.assign(4, 9);
    EXPECT_EQ(Win32_ReadWholeFile("media\\empty.bin", 0, bytes), WIN32_READ_OK);
    EXPECT_TRUE(bytes.empty());

    bytes.assign(4, 9);
    EXPECT_EQ(Win32_ReadWholeFile("media\\nothere.bin", 100, bytes), WIN32_READ_MISSING);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(Win32_ReadWholeFile(nullptr, 100, bytes), WIN32_READ_MISSING);
    // A folder opens on Linux but cannot be read as a file.
    EXPECT_NE(Win32_ReadWholeFile("media", 100, bytes), WIN32_READ_OK);
    EXPECT_TRUE(bytes.empty());
}

TEST_F(Win32File, ADataFolderStandsBehindTheWorkingDirectoryForReadingOnly)
{
    ASSERT_EQ(mkdir("installed", 0755), 0);
    ASSERT_EQ(mkdir("installed/fx", 0755), 0);
    Write("installed/fx/water.fx", "installed water");
    Write("installed/fx/terrain.fx", "installed terrain");
    Write("installed/only.tga", "installed only");
    ASSERT_EQ(mkdir("media", 0755), 0);
    ASSERT_EQ(mkdir("media/fx", 0755), 0);
    Write("media/fx/terrain.fx", "local terrain");
    EXPECT_EQ(Win32_GetDataFolder("media"), "");
    EXPECT_EQ(Win32_OpenFile("media\\fx\\water.fx", "rb"), nullptr);  // nothing registered yet

    Win32_SetDataFolder("media", (dir_ + "/installed").c_str());
    EXPECT_EQ(Win32_GetDataFolder("MEDIA"), dir_ + "/installed");
    // The working directory first, then the data folder; names match without regard to case there too.
    FILE* f = Win32_OpenFile("media\\fx\\terrain.fx", "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Read(f), "local terrain");
    f = Win32_OpenFile("Media\\FX\\Water.fx", "r");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Read(f), "installed water");
    std::vector<uint8_t> bytes;
    int error = -1;
    EXPECT_EQ(Win32_ReadWholeFile("media\\only.tga", 100, bytes, &error), WIN32_READ_OK);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "installed only");
    EXPECT_EQ(Win32_OpenError("media\\only.tga"), 0);

    // Missing in both: the working directory's name and reason.
    EXPECT_EQ(Win32_ReadWholeFile("media\\none.tga", 100, bytes, &error), WIN32_READ_MISSING);
    EXPECT_EQ(error, ENOENT);
    // Only the first part of a name is a prefix, and a bare prefix is no file of the folder.
    ASSERT_EQ(mkdir("kMedia", 0755), 0);
    EXPECT_EQ(Win32_OpenFile("kMedia\\media\\only.tga", "rb"), nullptr);
    EXPECT_EQ(Win32_OpenError("media\\"), EISDIR);

    // Writing, renaming and deleting act on the working directory alone.
    f = Win32_OpenFile("media\\only.tga", "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("local copy", f);
    std::fclose(f);
    FILE* g = std::fopen("installed/only.tga", "rb");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(Read(g), "installed only");
    EXPECT_EQ(Win32_OpenFile("media\\fx\\water.fx", "r+b"), nullptr);
    EXPECT_FALSE(Win32_DeleteFile("media\\fx\\water.fx"));
    EXPECT_FALSE(Win32_ReplaceFile("media\\fx\\water.fx", "media\\fx\\moved.fx"));
    g = std::fopen("installed/fx/water.fx", "rb");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(Read(g), "installed water");

    // An empty folder removes the prefix's folder again.
    Win32_SetDataFolder("media", "");
    EXPECT_EQ(Win32_GetDataFolder("media"), "");
    EXPECT_EQ(Win32_OpenFile("media\\fx\\water.fx", "rb"), nullptr);
    Win32_SetDataFolder(nullptr, "ignored");
    Win32_SetDataFolder("", "ignored");
    EXPECT_EQ(Win32_GetDataFolder(""), "");
}

namespace {

TEST_F(Win32File, WholeFileReadSaysWhyAFileCannotBeOpened)
{
    ASSERT_EQ(mkdir("media", 0755), 0);
    Write("media/level.kmf", "level");
    ASSERT_EQ(symlink("loop.kmf", "media/loop.kmf"), 0);  // a link to itself
    std::vector<uint8_t> bytes{1, 2, 3};
    int error = -1;

    EXPECT_EQ(Win32_ReadWholeFile("MEDIA\\level.kmf", 100, bytes, &error), WIN32_READ_OK);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(Win32_OpenError("media\\level.kmf"), 0);

    EXPECT_EQ(Win32_ReadWholeFile("media\\loop.kmf", 100, bytes, &error), WIN32_READ_REFUSED);
    EXPECT_EQ(error, ELOOP) << std::strerror(error);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(Win32_OpenError("media\\loop.kmf"), ELOOP);

    // A folder opens with fopen on Linux; the read refuses it as a folder.
    EXPECT_EQ(Win32_ReadWholeFile("media", 100, bytes, &error), WIN32_READ_REFUSED);
    EXPECT_EQ(error, EISDIR) << std::strerror(error);
    EXPECT_EQ(Win32_OpenError("Media"), EISDIR);

    EXPECT_EQ(Win32_ReadWholeFile("media\\none.kmf", 100, bytes, &error), WIN32_READ_MISSING);
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(Win32_ReadWholeFile("media\\level.kmf\\inside", 100, bytes, &error), WIN32_READ_MISSING);
    EXPECT_EQ(error, ENOTDIR);
    EXPECT_EQ(Win32_ReadWholeFile(nullptr, 100, bytes, &error), WIN32_READ_MISSING);
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(Win32_ReadWholeFile("media\\level.kmf", 2, bytes, &error), WIN32_READ_TOO_LARGE);
    EXPECT_EQ(error, EFBIG);

    // A file the user may not read (root may read anything, so only others see the refusal).
    ASSERT_EQ(chmod("media/level.kmf", 0), 0);
    const Win32ReadResult locked = Win32_ReadWholeFile("media\\level.kmf", 100, bytes, &error);
    if (geteuid() != 0) {
        EXPECT_EQ(locked, WIN32_READ_REFUSED);
        EXPECT_EQ(error, EACCES) << std::strerror(error);
        EXPECT_EQ(Win32_OpenError("media\\level.kmf"), EACCES);
    } else {
        EXPECT_EQ(locked, WIN32_READ_OK);
    }
    chmod("media/level.kmf", 0644);
}

}  // namespace
