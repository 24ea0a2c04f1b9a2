// The settings file on disk: where it lives, reading it at start-up and
// writing it safely.
#include "Settings.h"

#include "PlayerFile.h"

namespace {

const playerfile::Kind kSettingsFile = {
    "settings",
    "Settings",
    "XDG_CONFIG_HOME",
    kSettingsFileLimit,
    "defaults used",
    playerfile::kSettingsMagic,
    playerfile::kSettingsVersion,
};

}  // namespace

std::string SettingsPath()
{
    return playerfile::XdgPath("XDG_CONFIG_HOME", ".config", "settings");
}

FileOutcome LoadSettings(Settings& out, std::string* hudMessage)
{
    Settings loaded = DefaultSettings();
    const FileOutcome outcome = playerfile::Load(
        kSettingsFile, SettingsPath(),
        [&](const std::uint8_t* bytes, std::size_t size, std::string& why) {
            return DecodeSettings(bytes, size, loaded, why);
        },
        hudMessage);
    out = outcome == FileOutcome::Loaded ? loaded : DefaultSettings();
    return outcome;
}

bool SaveSettings(const Settings& s, std::string* why)
{
    return playerfile::Save(SettingsPath(), EncodeSettings(s), why);
}
