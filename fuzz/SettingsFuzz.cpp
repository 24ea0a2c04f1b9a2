// The settings decoder: any bytes are refused with a reason, leaving the
// settings alone, or give settings in range: four distinct bindable keys
// and a volume in 0 ... 1. Saving those and reading the file back gives
// them again, and saving is a fixed point. Each input is also tried with
// its last four bytes set to the CRC of the others, so the values behind
// the checksum are reached.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SealedInput.h"
#include "Settings.h"

namespace {

bool Same(const Settings& a, const Settings& b)
{
    return std::memcmp(a.steerKeys, b.steerKeys, sizeof a.steerKeys) == 0 &&
           std::memcmp(&a.volume, &b.volume, 4) == 0 && a.fullScreen == b.fullScreen &&
           a.showFrameRate == b.showFrameRate;
}

void Check(const std::uint8_t* data, std::size_t size)
{
    Settings s;
    for (int& key : s.steerKeys) key = -7;
    s.volume = 42.0f;
    s.fullScreen = s.showFrameRate = true;
    const Settings before = s;
    std::string why;
    if (!DecodeSettings(data, size, s, why)) {
        if (why.empty() || !Same(s, before)) std::abort();
        return;
    }
    if (size != kSettingsFileSize) std::abort();
    for (int a = 0; a < kSteerActions; ++a) {
        if (!IsBindableKey(s.steerKeys[a])) std::abort();
        for (int b = 0; b < a; ++b)
            if (s.steerKeys[a] == s.steerKeys[b]) std::abort();
    }
    if (!(s.volume >= 0.0f && s.volume <= 1.0f)) std::abort();

    const std::vector<std::uint8_t> saved = EncodeSettings(s);
    if (saved.size() != kSettingsFileSize) std::abort();
    Settings again = before;
    if (!DecodeSettings(saved.data(), saved.size(), again, why) || !Same(s, again)) std::abort();
    if (EncodeSettings(again) != saved) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckAsGivenAndSealed(data, size, Check);
    return 0;
}
