// The records file on disk: where it lives, reading and writing it safely.
#include "Records.h"

#include "PlayerFile.h"

namespace {

const playerfile::Kind kRecordsFile = {
    "records",
    "Records",
    "XDG_DATA_HOME",
    Records::kFileLimit,
    "starting with no records",
    playerfile::kRecordsMagic,
    playerfile::kRecordsVersion,
};

}  // namespace

std::string Records::Path()
{
    return playerfile::XdgPath("XDG_DATA_HOME", ".local/share", "records");
}

FileOutcome Records::Load(std::string* hudMessage)
{
    Records loaded;
    const FileOutcome outcome = playerfile::Load(
        kRecordsFile, Path(),
        [&](const std::uint8_t* bytes, std::size_t size, std::string& why) { return Decode(bytes, size, loaded, why); },
        hudMessage);
    records_ = outcome == FileOutcome::Loaded ? std::move(loaded.records_) : std::vector<LevelRecord>();
    return outcome;
}

bool Records::Save(std::string* why) const
{
    return playerfile::Save(Path(), Encode(), why);
}
