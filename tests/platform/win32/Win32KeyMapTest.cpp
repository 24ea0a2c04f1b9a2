// The scancode -> virtual-key table: range, uniqueness and round trip.
#include <windows.h>

#include <KeyMap.h>

#include <SDL.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

using win32detail::KeyMapEntry;

std::vector<KeyMapEntry> Table()
{
    std::size_t n = 0;
    const KeyMapEntry* t = win32detail::KeyMapTable(&n);
    return std::vector<KeyMapEntry>(t, t + n);
}

TEST(Win32KeyMap, CodesAreInRangeAndNoKeyIsListedTwice)
{
    std::set<int> scancodes;
    for (const KeyMapEntry& e : Table()) {
        EXPECT_GT(e.scancode, SDL_SCANCODE_UNKNOWN) << e.name;
        EXPECT_LT(e.scancode, SDL_NUM_SCANCODES) << e.name;
        EXPECT_GE(e.virtKey, 1) << e.name;
        EXPECT_LE(e.virtKey, 254) << e.name;
        EXPECT_TRUE(scancodes.insert(e.scancode).second) << e.name << " listed twice";
    }
}

TEST(Win32KeyMap, OnlySharedKeysShareACode)
{
    std::map<int, std::vector<const char*>> byKey;
    for (const KeyMapEntry& e : Table()) byKey[e.virtKey].push_back(e.name);
    for (const auto& [vk, names] : byKey) {
        if (win32detail::IsSharedVirtualKey(vk)) {
            EXPECT_EQ(names.size(), 2u) << "virtual key " << vk;
            continue;
        }
        EXPECT_EQ(names.size(), 1u) << "virtual key " << vk << " used by " << names[0] << " and " << names.back();
    }
}

TEST(Win32KeyMap, RoundTripsThroughBothLookups)
{
    for (const KeyMapEntry& e : Table()) {
        EXPECT_EQ(win32detail::VirtualKeyFromScancode(e.scancode), e.virtKey) << e.name;
        int back = win32detail::ScancodeFromVirtualKey(e.virtKey);
        EXPECT_EQ(win32detail::VirtualKeyFromScancode(back), e.virtKey) << e.name;
        if (!win32detail::IsSharedVirtualKey(e.virtKey)) {
            EXPECT_EQ(back, e.scancode) << e.name;
        }
    }
    EXPECT_EQ(win32detail::VirtualKeyFromScancode(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(win32detail::ScancodeFromVirtualKey(0), 0);
    EXPECT_EQ(win32detail::ScancodeFromVirtualKey(VK_CONTROL), 0);  // no key is "either Control"
}

TEST(Win32KeyMap, TheKeysTheGameAndEngineReadArePresent)
{
    for (int c = 'A'; c <= 'Z'; ++c) EXPECT_EQ(win32detail::VirtualKeyFromScancode(SDL_SCANCODE_A + (c - 'A')), c);
    EXPECT_EQ(win32detail::VirtualKeyFromScancode(SDL_SCANCODE_1), '1');
    EXPECT_EQ(win32detail::VirtualKeyFromScancode(SDL_SCANCODE_0), '0');
    EXPECT_EQ(win32detail::VirtualKeyFromScancode(SDL_SCANCODE_LCTRL), VK_LCONTROL);
    EXPECT_EQ(win32detail::VirtualKeyFromScancode(SDL_SCANCODE_RCTRL), VK_RCONTROL);
    EXPECT_EQ(win32detail::VirtualKeyFromScancode(SDL_SCANCODE_RETURN), VK_RETURN);
    EXPECT_EQ(win32detail::VirtualKeyFromScancode(SDL_SCANCODE_ESCAPE), VK_ESCAPE);
    EXPECT_EQ(win32detail::VirtualKeyFromScancode(SDL_SCANCODE_BACKSPACE), VK_BACK);
    EXPECT_EQ(win32detail::VirtualKeyFromScancode(SDL_SCANCODE_UP), VK_UP);
    EXPECT_EQ(win32detail::VirtualKeyFromScancode(SDL_SCANCODE_F12), VK_F12);
    EXPECT_EQ(win32detail::MessageVirtualKey(VK_RCONTROL), VK_CONTROL);
    EXPECT_EQ(win32detail::MessageVirtualKey(VK_LSHIFT), VK_SHIFT);
    EXPECT_EQ(win32detail::MessageVirtualKey('A'), 'A');
    EXPECT_GE(Table().size(), 100u);  // a full keyboard
}

}  // namespace
