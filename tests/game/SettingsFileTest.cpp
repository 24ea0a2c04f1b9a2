// The settings file on real files in a temporary folder: where it lives,
// saving and loading, what happens to a damaged, foreign or huge file, and
// how values out of range are brought back.
#include "PlayerFileFolder.h"

#include "FileSizeLimit.h"
#include "KeyMap.h"
#include "Settings.h"

#include <windows.h>

#include <cmath>
#include <limits>

namespace {

bool Same(const Settings& a, const Settings& b)
{
    for (int k = 0; k < kSteerActions; ++k)
        if (a.steerKeys[k] != b.steerKeys[k]) return false;
    return std::memcmp(&a.volume, &b.volume, 4) == 0 && a.fullScreen == b.fullScreen &&
           a.showFrameRate == b.showFrameRate;
}

Settings Changed()
{
    Settings s;
    s.steerKeys[kSteerUp] = VK_UP;
    s.steerKeys[kSteerDown] = VK_DOWN;
    s.steerKeys[kSteerLeft] = VK_NUMPAD4;
    s.steerKeys[kSteerRight] = 'L';
    s.volume = 0.25f;
    s.fullScreen = true;
    s.showFrameRate = false;
    return s;
}

class SettingsFile : public PlayerFileFolder {
protected:
    std::string Folder() const { return Root() + "/config/kolvar"; }
    std::string File() const { return Folder() + "/settings"; }

    // A settings file as the layout in Settings.h draws it, written by hand.
    static std::vector<std::uint8_t> HandMade(const int (&keys)[4], float volume, int fullScreen, int frameRate,
                                              int version = 1)
    {
        std::vector<std::uint8_t> b = Begin("KOLVSETS");
        PutInt(b, version);
        for (int k : keys) PutInt(b, k);
        PutFloat(b, volume);
        PutInt(b, fullScreen);
        PutInt(b, frameRate);
        PutCrc(b);
        return b;
    }
    static std::vector<std::uint8_t> Good() { return HandMade({'I', 'K', 'J', 'L'}, 0.5f, 1, 0); }
};

TEST_F(SettingsFile, PathFollowsXdgConfigHomeAndFallsBackToHome)
{
    EXPECT_EQ(SettingsPath(), Root() + "/config/kolvar/settings");
    ::setenv("XDG_CONFIG_HOME", (Root() + "/config/").c_str(), 1);
    EXPECT_EQ(SettingsPath(), Root() + "/config/kolvar/settings");

    const std::string fallback = Root() + "/home/.config/kolvar/settings";
    for (const char* ignored : {"", "relative/config", "./config"}) {
        ::setenv("XDG_CONFIG_HOME", ignored, 1);
        EXPECT_EQ(SettingsPath(), fallback) << "XDG_CONFIG_HOME=\"" << ignored << "\"";
    }
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsPath(), fallback);

    // Nowhere to keep them: the defaults, one line saying so, and no save.
    ::setenv("HOME", "home", 1);
    EXPECT_EQ(SettingsPath(), "");
    Settings s = Changed();
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadSettings(s, nullptr), FileOutcome::Missing);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Lines(err), 1) << err;
    EXPECT_NE(err.find("XDG_CONFIG_HOME"), std::string::npos) << err;
    EXPECT_TRUE(Same(s, DefaultSettings()));
    std::string why;
    EXPECT_FALSE(SaveSettings(Changed(), &why));
    EXPECT_FALSE(why.empty());
}

TEST_F(SettingsFile, SavedSettingsLoadBackAndLeaveOnlyTheFile)
{
    std::string why = "untouched";
    ASSERT_TRUE(SaveSettings(Changed(), &why)) << why;
    EXPECT_EQ(why, "untouched");
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"settings"});
    EXPECT_EQ(ReadBytes(File()).size(), kSettingsFileSize);
    // The folders it made are the player's alone, as the XDG rules ask.
    for (const std::string& folder : {Root() + "/config", Folder()}) {
        struct stat st;
        ASSERT_EQ(::stat(folder.c_str(), &st), 0) << folder;
        EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
    }

    Settings loaded = DefaultSettings();
    std::string hud = "untouched";
    EXPECT_EQ(LoadSettings(loaded, &hud), FileOutcome::Loaded);
    EXPECT_TRUE(Same(loaded, Changed()));
    EXPECT_EQ(hud, "untouched");

    // Saving again replaces the file in place.
    Settings quieter = Changed();
    quieter.volume = 0.0f;
    ASSERT_TRUE(SaveSettings(quieter, &why)) << why;
    EXPECT_EQ(LoadSettings(loaded, nullptr), FileOutcome::Loaded);
    EXPECT_TRUE(Same(loaded, quieter));
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"settings"});
}

TEST_F(SettingsFile, MissingFileGivesDefaultsQuietlyAndWritesNothing)
{
    Settings s = Changed();
    std::string hud = "untouched";
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadSettings(s, &hud), FileOutcome::Missing);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(Same(s, DefaultSettings()));
    EXPECT_EQ(hud, "untouched");
    EXPECT_FALSE(Exists(Root() + "/config"));
    EXPECT_FALSE(Exists(Root() + "/home"));
}

TEST_F(SettingsFile, FileWrittenByHandReadsAsItsLayoutSays)
{
    Settings s = DefaultSettings();
    std::string why;
    const std::vector<std::uint8_t> bytes = Good();
    ASSERT_TRUE(DecodeSettings(bytes.data(), bytes.size(), s, why)) << why;
    const int expected[] = {'I', 'K', 'J', 'L'};
    for (int k = 0; k < kSteerActions; ++k) EXPECT_EQ(s.steerKeys[k], expected[k]);
    EXPECT_EQ(s.volume, 0.5f);
    EXPECT_TRUE(s.fullScreen);
    EXPECT_FALSE(s.showFrameRate);
    // And the game writes exactly those bytes for those settings.
    EXPECT_EQ(EncodeSettings(s), bytes);
}

TEST_F(SettingsFile, ValuesOutOfRangeAreClamped)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* what;
        int keys[4];
        float volume;
        int flags[2];
        int wantKeys[4];
        float wantVolume;
        bool wantFlags[2];
    } cases[] = {
        {"volume 7", {'W', 'S', 'A', 'D'}, 7.0f, {0, 1}, {'W', 'S', 'A', 'D'}, 1.0f, {false, true}},
        {"volume NaN", {'W', 'S', 'A', 'D'}, nan, {0, 1}, {'W', 'S', 'A', 'D'}, 1.0f, {false, true}},
        {"volume -0.5", {'W', 'S', 'A', 'D'}, -0.5f, {0, 1}, {'W', 'S', 'A', 'D'}, 0.0f, {false, true}},
        {"volume -inf", {'W', 'S', 'A', 'D'}, -inf, {0, 1}, {'W', 'S', 'A', 'D'}, 0.0f, {false, true}},
        {"key 9999", {9999, 'S', 'A', 'D'}, 1.0f, {0, 1}, {'W', 'S', 'A', 'D'}, 1.0f, {false, true}},
        {"Escape and P", {'I', VK_ESCAPE, 'J', 'P'}, 1.0f, {0, 1}, {'I', 'S', 'J', 'D'}, 1.0f, {false, true}},
        // The later of two actions with one key loses it; its default is free.
        {"one key twice", {'K', 'K', 'J', 'L'}, 1.0f, {0, 1}, {'K', 'S', 'J', 'L'}, 1.0f, {false, true}},
        // Right's default D is up's: right takes the first free of W S A D.
        {"default taken", {'D', 'S', 'A', -1}, 1.0f, {0, 1}, {'D', 'S', 'A', 'W'}, 1.0f, {false, true}},
        {"all the same", {'S', 'S', 'S', 'S'}, 1.0f, {0, 1}, {'S', 'W', 'A', 'D'}, 1.0f, {false, true}},
        {"flags 5 and -1", {'W', 'S', 'A', 'D'}, 1.0f, {5, -1}, {'W', 'S', 'A', 'D'}, 1.0f, {false, true}},
        {"flags 1 and 0", {'W', 'S', 'A', 'D'}, 1.0f, {1, 0}, {'W', 'S', 'A', 'D'}, 1.0f, {true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(File(), HandMade(c.keys, c.volume, c.flags[0], c.flags[1]));
        Settings s = Changed();
        testing::internal::CaptureStderr();
        EXPECT_EQ(LoadSettings(s, nullptr), FileOutcome::Loaded);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        for (int k = 0; k < kSteerActions; ++k) EXPECT_EQ(s.steerKeys[k], c.wantKeys[k]) << "action " << k;
        EXPECT_EQ(s.volume, c.wantVolume);
        EXPECT_EQ(s.fullScreen, c.wantFlags[0]);
        EXPECT_EQ(s.showFrameRate, c.wantFlags[1]);
    }
    // What is saved is clamped too.
    Settings loud = DefaultSettings();
    loud.volume = 7.0f;
    loud.steerKeys[kSteerLeft] = 'W';
    Settings back = Changed();
    std::string why;
    const std::vector<std::uint8_t> bytes = EncodeSettings(loud);
    ASSERT_TRUE(DecodeSettings(bytes.data(), bytes.size(), back, why)) << why;
    EXPECT_EQ(back.volume, 1.0f);
    EXPECT_EQ(back.steerKeys[kSteerLeft], 'A');
}

TEST_F(SettingsFile, BadFilesAreSetAsideReportedOnceAndGiveDefaults)
{
    std::vector<std::uint8_t> truncated = Good();
    truncated.resize(truncated.size() - 10);
    std::vector<std::uint8_t> flippedVolume = Good();
    flippedVolume[30] ^= 0x40;  // 0.5 becomes 0.125: the CRC tells
    std::vector<std::uint8_t> flippedVersion = Good();
    flippedVersion[9] ^= 0x01;  // the version byte
    std::vector<std::uint8_t> longer = Good();
    longer.push_back(0);
    std::vector<std::uint8_t> magicOnly = Good();
    magicOnly.resize(5);
    std::vector<std::uint8_t> headerCut = Good();
    headerCut.resize(10);

    const std::string damaged = "Settings were damaged and were reset (kept as settings.bad)";
    const std::string foreign = "Settings were in a foreign file and were reset (kept as settings.bad)";
    const std::string newer = "Settings were from a newer Kolvar and were reset (kept as settings.bad)";
    const std::string unreadable = "Settings could not be read and were reset (kept as settings.bad)";
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        bool huge;
        bool folder;
        std::string hud;
        const char* reason;  // a word the stderr line gives
    } cases[] = {
        {"truncated", truncated, false, false, damaged, "truncated"},
        {"only the magic's start", magicOnly, false, false, damaged, "truncated"},
        {"the version cut short", headerCut, false, false, damaged, "the header alone has 12"},
        {"a flipped volume byte", flippedVolume, false, false, damaged, "checksum"},
        {"a flipped version byte", flippedVersion, false, false, newer, "version 257"},
        {"a byte past the end", longer, false, false, damaged, "past the end"},
        {"version 2", HandMade({'W', 'S', 'A', 'D'}, 1.0f, 0, 1, 2), false, false, newer, "newer"},
        {"version 0", HandMade({'W', 'S', 'A', 'D'}, 1.0f, 0, 1, 0), false, false, damaged, "version 0"},
        {"empty", {}, false, false, damaged, "empty"},
        {"a PNG image", PngStart(), false, false, foreign, "89 50 4E 47"},
        {"a text file", Text("volume=0.5\nfullscreen=1\n"), false, false, foreign, "not a Kolvar settings file"},
        {"100 MB", {}, true, false, damaged, "too large"},
        {"a folder", {}, false, true, unreadable, "folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(Folder());
        // (rename cannot put a folder over a file, so that case has no older one)
        if (!c.folder) WriteBytes(File() + ".bad", Text("an older damaged file"));
        if (c.huge)
            WriteHuge(File());
        else if (c.folder)
            std::filesystem::create_directories(File());
        else
            WriteBytes(File(), c.bytes);

        Settings s = Changed();
        std::string hud;
        testing::internal::CaptureStderr();
        EXPECT_EQ(LoadSettings(s, &hud), FileOutcome::Damaged);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(Same(s, DefaultSettings()));
        EXPECT_EQ(hud, c.hud);
        ExpectReportedOnce(err, "settings", File(), c.reason, "defaults used");

        // Set aside whole, in place of the older one, and nothing else there.
        EXPECT_EQ(Names(Folder()), std::set<std::string>{"settings.bad"});
        if (c.huge)
            EXPECT_EQ(std::filesystem::file_size(File() + ".bad"), 100u * 1024 * 1024);
        else if (c.folder)
            EXPECT_TRUE(std::filesystem::is_directory(File() + ".bad"));
        else
            EXPECT_EQ(ReadBytes(File() + ".bad"), c.bytes);

        // The next start finds no file, and the game saves afresh.
        EXPECT_EQ(LoadSettings(s, nullptr), FileOutcome::Missing);
        std::string why;
        EXPECT_TRUE(SaveSettings(Changed(), &why)) << why;
        EXPECT_EQ(LoadSettings(s, nullptr), FileOutcome::Loaded);
    }
}

TEST_F(SettingsFile, DecodeRefusesWithoutTouchingItsOutput)
{
    Settings s = Changed();
    std::string why;
    EXPECT_FALSE(DecodeSettings(nullptr, 0, s, why));
    EXPECT_FALSE(why.empty());
    std::vector<std::uint8_t> bytes = Good();
    bytes[40] ^= 1;
    why.clear();
    EXPECT_FALSE(DecodeSettings(bytes.data(), bytes.size(), s, why));
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(Same(s, Changed()));
}

TEST_F(SettingsFile, FailedSaveKeepsTheOldFile)
{
    std::string why;
    ASSERT_TRUE(SaveSettings(Changed(), &why)) << why;
    const std::vector<std::uint8_t> before = ReadBytes(File());
    {
        FileSizeLimit full(20);  // room for less than the 44 bytes
        ASSERT_TRUE(full.Active());
        EXPECT_FALSE(SaveSettings(DefaultSettings(), &why));
    }
    EXPECT_NE(why.find(File()), std::string::npos) << why;
    EXPECT_NE(why.find("write failed"), std::string::npos) << why;
    EXPECT_EQ(ReadBytes(File()), before);
    EXPECT_EQ(Names(Folder()), std::set<std::string>{"settings"});

    // A file where the folder should be: nothing to create, nothing lost.
    ::setenv("XDG_CONFIG_HOME", (File() + "/inside").c_str(), 1);
    EXPECT_FALSE(SaveSettings(DefaultSettings(), &why));
    EXPECT_NE(why.find("folder"), std::string::npos) << why;
    EXPECT_EQ(ReadBytes(File()), before);
}

TEST_F(SettingsFile, SaveIntoReadOnlyFolderKeepsTheOldFile)
{
    std::string why;
    ASSERT_TRUE(SaveSettings(Changed(), &why)) << why;
    const std::vector<std::uint8_t> before = ReadBytes(File());
    const std::string failed = WherePermissionsHold([&]() -> std::string {
        if (::chmod(Folder().c_str(), 0500) != 0) return "cannot make the folder read-only";
        std::string why;
        const bool saved = SaveSettings(DefaultSettings(), &why);
        ::chmod(Folder().c_str(), 0700);
        if (saved) return "saved into a read-only folder";
        if (why.find("Permission denied") == std::string::npos) return "the reason was " + why;
        if (ReadBytes(File()) != before) return "the old file changed";
        if (Names(Folder()) != std::set<std::string>{"settings"}) return "something was left in the folder";
        return "";
    });
    EXPECT_EQ(failed, "");
}

TEST(SettingsKeys, GameKeysAreNotBindableAndEveryBindableKeyCanBePressed)
{
    for (int key : {VK_ESCAPE, int('P'), VK_PAUSE, VK_F11, VK_RETURN, VK_CONTROL, VK_LCONTROL, VK_RCONTROL, int('E'),
                    int('H'), int('M'), int('N'), VK_BACK, VK_LMENU, 0, -1, 9999, 0x100 + 'W'})
        EXPECT_FALSE(IsBindableKey(key)) << key;
    const Settings d = DefaultSettings();
    for (int key : d.steerKeys) EXPECT_TRUE(IsBindableKey(key)) << key;
    for (int key : {VK_UP, VK_LEFT, VK_NUMPAD8, int('0'), int('9'), VK_SPACE, VK_SHIFT})
        EXPECT_TRUE(IsBindableKey(key)) << key;

    // Each bindable key is one the window layer sends in its key messages,
    // so no binding is dead, and each has a name of its own.
    std::size_t count = 0;
    const win32detail::KeyMapEntry* table = win32detail::KeyMapTable(&count);
    std::set<std::string> names;
    for (int key = -1; key <= 300; ++key) {
        if (!IsBindableKey(key)) {
            EXPECT_EQ(BindableKeyName(key), nullptr) << key;
            continue;
        }
        bool sent = false;
        for (std::size_t i = 0; i < count; ++i) sent = sent || win32detail::MessageVirtualKey(table[i].virtKey) == key;
        EXPECT_TRUE(sent) << "key " << key << " is never sent";
        ASSERT_NE(BindableKeyName(key), nullptr);
        EXPECT_TRUE(names.insert(BindableKeyName(key)).second) << BindableKeyName(key);
    }
}

}  // namespace
