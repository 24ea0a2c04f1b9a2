// The player's settings: steering keys, volume, full screen, frame rate.
// Kept in $XDG_CONFIG_HOME/kolvar/settings, read at start-up and written
// whole after each change.
//
// The file, in the machine's byte order (PlayerFile.h has the frame):
//
//   offset  size  content
//   0       8     "KOLVSETS"
//   8       4     version, 1
//   12      16    steering keys, virtual-key codes (int): up, down, left, right
//   28      4     volume (float)
//   32      4     full screen (int): 0 or 1
//   36      4     frame-rate line (int): 0 or 1
//   40      4     CRC-32 of bytes 0 ... 39
//
// 44 bytes in all; any other size is damaged.
//
// What the file says is never trusted: values out of range are clamped
// (ClampSettings), and a file that is not exactly this is refused whole.
#pragma once

#include "FileOutcome.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum SteerAction { kSteerUp, kSteerDown, kSteerLeft, kSteerRight, kSteerActions };  // W S A D by default

struct Settings {
    int steerKeys[kSteerActions];  // virtual-key codes (windows.h VK_* / 'A'..'Z' / '0'..'9'); defaults 'W','S','A','D'
    float volume;                  // master sound volume 0 ... 1, default 1
    bool fullScreen;               // default false
    bool showFrameRate;            // the engine's frame-rate line, default true
};

constexpr std::size_t kSettingsFileSize = 44;
constexpr std::size_t kSettingsFileLimit = 64 * 1024;  // a larger file is damaged and is not read

Settings DefaultSettings();

// Keys a player may bind to steering: the letters but E, H, M, N and P
// (particles, save level, load level, screenshot, pause: keys that act in
// play), the digits (the game's digit keys act only with left Control held),
// the arrows, Space, Tab, Shift (either side: key messages do not tell them
// apart), Insert, Delete, Home, End, Page Up and Page Down, the keypad's
// digits, point and operators, and the punctuation keys of the main block.
// Never Escape, Enter, Backspace, Pause, the function keys (F11 is full
// screen), Control, Alt, the system keys or the lock keys.
bool IsBindableKey(int virtualKey);
// The key's name for the player ("W", "Left", "Keypad 4", "Space"); null
// for a key that is not bindable.
const char* BindableKeyName(int virtualKey);

// Brings every value into range, in place:
// - a steering key that is not bindable, or that an earlier action (in the
//   order up, down, left, right) already has, goes back to the action's
//   default key, or, when another action holds that, to the first of W S A D
//   that no action holds; so the four keys are always bindable and distinct;
// - volume: NaN is the default 1, below 0 is 0, above 1 is 1.
void ClampSettings(Settings& s);

// "$XDG_CONFIG_HOME/kolvar/settings", else "$HOME/.config/kolvar/settings"
// (an unset, empty or relative XDG_CONFIG_HOME is ignored); "" when HOME is
// not an absolute path either.
std::string SettingsPath();

// The file image of s, clamped first, built with vMemoryBuffer.
std::vector<std::uint8_t> EncodeSettings(const Settings& s);
// Reads a file image. False, with why and out untouched, for anything that
// is not a settings file this game writes: empty, foreign, truncated, longer
// than its contents, a version it does not know, a CRC that does not match.
// Otherwise true, with the values clamped (a flag other than 0 or 1 is its
// default).
bool DecodeSettings(const std::uint8_t* bytes, std::size_t size, Settings& out, std::string& why);

// Reads the file at start-up into out. Missing: the defaults, no message.
// Damaged (refused by DecodeSettings, larger than kSettingsFileLimit,
// unreadable): the defaults; the file renamed to "settings.bad" beside it
// (replacing an older one), one line on standard error naming the file and
// the reason, and *hudMessage (when given) set to one line for the HUD, e.g.
// "Settings were damaged and were reset (kept as settings.bad)".
FileOutcome LoadSettings(Settings& out, std::string* hudMessage);
// Writes s (clamped) through a temporary file in the same folder and a
// rename, creating the missing folders (0700). False with why (when given)
// when that fails; the old file is then left as it was.
bool SaveSettings(const Settings& s, std::string* why);
