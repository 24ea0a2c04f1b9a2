// The settings' values, the keys a player may bind and the settings file's
// image. No file access here: Settings_file.cpp reads and writes the file.
#include "Settings.h"

#include "PlayerFile.h"

#include <vMemoryBuffer.h>
#include <windows.h>

#include <cmath>

namespace {

constexpr int kDefaultKeys[kSteerActions] = {'W', 'S', 'A', 'D'};

struct KeyName {
    int key;
    const char* name;
};

// Every key a player may bind, with its name; IsBindableKey in Settings.h
// says why the others are left out.
const KeyName kBindableKeys[] = {
    {'A', "A"},
    {'B', "B"},
    {'C', "C"},
    {'D', "D"},
    {'F', "F"},
    {'G', "G"},
    {'I', "I"},
    {'J', "J"},
    {'K', "K"},
    {'L', "L"},
    {'O', "O"},
    {'Q', "Q"},
    {'R', "R"},
    {'S', "S"},
    {'T', "T"},
    {'U', "U"},
    {'V', "V"},
    {'W', "W"},
    {'X', "X"},
    {'Y', "Y"},
    {'Z', "Z"},
    {'0', "0"},
    {'1', "1"},
    {'2', "2"},
    {'3', "3"},
    {'4', "4"},
    {'5', "5"},
    {'6', "6"},
    {'7', "7"},
    {'8', "8"},
    {'9', "9"},
    {VK_UP, "Up"},
    {VK_DOWN, "Down"},
    {VK_LEFT, "Left"},
    {VK_RIGHT, "Right"},
    {VK_SPACE, "Space"},
    {VK_TAB, "Tab"},
    {VK_SHIFT, "Shift"},
    {VK_INSERT, "Insert"},
    {VK_DELETE, "Delete"},
    {VK_HOME, "Home"},
    {VK_END, "End"},
    {VK_PRIOR, "Page Up"},
    {VK_NEXT, "Page Down"},
    {VK_NUMPAD0, "Keypad 0"},
    {VK_NUMPAD1, "Keypad 1"},
    {VK_NUMPAD2, "Keypad 2"},
    {VK_NUMPAD3, "Keypad 3"},
    {VK_NUMPAD4, "Keypad 4"},
    {VK_NUMPAD5, "Keypad 5"},
    {VK_NUMPAD6, "Keypad 6"},
    {VK_NUMPAD7, "Keypad 7"},
    {VK_NUMPAD8, "Keypad 8"},
    {VK_NUMPAD9, "Keypad 9"},
    {VK_DECIMAL, "Keypad ."},
    {VK_ADD, "Keypad +"},
    {VK_SUBTRACT, "Keypad -"},
    {VK_MULTIPLY, "Keypad *"},
    {VK_DIVIDE, "Keypad /"},
    {VK_OEM_MINUS, "-"},
    {VK_OEM_PLUS, "="},
    {VK_OEM_4, "["},
    {VK_OEM_6, "]"},
    {VK_OEM_5, "\\"},
    {VK_OEM_1, ";"},
    {VK_OEM_7, "'"},
    {VK_OEM_3, "`"},
    {VK_OEM_COMMA, ","},
    {VK_OEM_PERIOD, "."},
    {VK_OEM_2, "/"},
    {VK_OEM_102, "< >"},
};

bool HeldByOther(const int* keys, const bool* kept, int action, int key)
{
    for (int other = 0; other < kSteerActions; ++other)
        if (other != action && kept[other] && keys[other] == key) return true;
    return false;
}

// A flag as the file holds it: 0 or 1, anything else the default.
bool Flag(int value, bool fallback)
{
    return value == 0 ? false : value == 1 ? true : fallback;
}

}  // namespace

Settings DefaultSettings()
{
    Settings s;
    for (int a = 0; a < kSteerActions; ++a) s.steerKeys[a] = kDefaultKeys[a];
    s.volume = 1.0f;
    s.fullScreen = false;
    s.showFrameRate = true;
    return s;
}

const char* BindableKeyName(int virtualKey)
{
    for (const KeyName& k : kBindableKeys)
        if (k.key == virtualKey) return k.name;
    return nullptr;
}

bool IsBindableKey(int virtualKey)
{
    return BindableKeyName(virtualKey) != nullptr;
}

void ClampSettings(Settings& s)
{
    // First the keys that stand: bindable and not an earlier action's.
    bool kept[kSteerActions] = {};
    for (int a = 0; a < kSteerActions; ++a)
        kept[a] = IsBindableKey(s.steerKeys[a]) && !HeldByOther(s.steerKeys, kept, a, s.steerKeys[a]);
    // Then the others, each to a default no action holds: at most three keys
    // are held while one action has none, so one of the four defaults is free.
    for (int a = 0; a < kSteerActions; ++a) {
        if (kept[a]) continue;
        int key = kDefaultKeys[a];
        for (int d = 0; d < kSteerActions && HeldByOther(s.steerKeys, kept, a, key); ++d) key = kDefaultKeys[d];
        s.steerKeys[a] = key;
        kept[a] = true;
    }
    if (std::isnan(s.volume)) s.volume = DefaultSettings().volume;
    if (s.volume < 0.0f) s.volume = 0.0f;
    if (s.volume > 1.0f) s.volume = 1.0f;
}

std::vector<std::uint8_t> EncodeSettings(const Settings& s)
{
    Settings c = s;
    ClampSettings(c);
    vMemoryBuffer buffer;
    playerfile::BeginFile(buffer, playerfile::kSettingsMagic, playerfile::kSettingsVersion);
    for (int a = 0; a < kSteerActions; ++a) buffer.push(&c.steerKeys[a], 4);
    buffer.push(&c.volume, 4);
    const int fullScreen = c.fullScreen ? 1 : 0;
    const int showFrameRate = c.showFrameRate ? 1 : 0;
    buffer.push(&fullScreen, 4);
    buffer.push(&showFrameRate, 4);
    return playerfile::FinishFile(buffer);
}

bool DecodeSettings(const std::uint8_t* bytes, std::size_t size, Settings& out, std::string& why)
{
    vMemoryIterator it;
    if (!playerfile::ReadHeader(bytes, size, playerfile::kSettingsMagic, playerfile::kSettingsVersion, "settings", it,
                                why))
        return false;
    if (!playerfile::CheckSizeAndCrc(bytes, size, kSettingsFileSize, why)) return false;

    // The size is known good from here; the checked reads stay as a guard.
    const char* data = reinterpret_cast<const char*>(bytes);
    const int n = static_cast<int>(kSettingsFileSize - playerfile::kTrailerSize);
    const Settings defaults = DefaultSettings();
    Settings s = defaults;
    int fullScreen = 0;
    int showFrameRate = 0;
    bool ok = true;
    for (int a = 0; a < kSteerActions; ++a) ok = ok && it.GetInt(data, n, &s.steerKeys[a]) == S_OK;
    ok = ok && it.GetFloat(data, n, &s.volume) == S_OK;
    ok = ok && it.GetInt(data, n, &fullScreen) == S_OK && it.GetInt(data, n, &showFrameRate) == S_OK;
    if (!ok || it.GetPosition() != n) {
        why = "its contents do not fill the file";
        return false;
    }
    s.fullScreen = Flag(fullScreen, defaults.fullScreen);
    s.showFrameRate = Flag(showFrameRate, defaults.showFrameRate);
    ClampSettings(s);
    out = s;
    return true;
}
