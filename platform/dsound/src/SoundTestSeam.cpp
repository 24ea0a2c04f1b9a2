// The test seam's loopback device: DirectSoundCreate8 opens it while a rate
// is set, and DSound_RenderForTests mixes from the one opened last.
#include "DSoundImpl.h"
#include "DSoundTestSeam.h"

#include <AL/alext.h>

#include <algorithm>
#include <cmath>

namespace {

std::atomic<DWORD> g_loopbackRate{0};
// Open loopback devices, oldest first. Guarded by the layer's lock. Never
// destroyed: a device released by a program's own global destructors, after
// this file's would have run, still finds it.
std::vector<dsdetail::SoundDevice*>& Loopbacks()
{
    static auto* devices = new std::vector<dsdetail::SoundDevice*>;
    return *devices;
}

}  // namespace

namespace dsdetail {

DWORD LoopbackRate()
{
    return g_loopbackRate;
}

void RegisterLoopback(SoundDevice* device)
{
    Loopbacks().push_back(device);
}

void UnregisterLoopback(SoundDevice* device)
{
    auto& all = Loopbacks();
    all.erase(std::remove(all.begin(), all.end(), device), all.end());
}

}  // namespace dsdetail

void DSound_UseLoopbackForTests(DWORD rate)
{
    g_loopbackRate = rate;
}

// The loopback device mixes in floats, converted here without OpenAL's
// dither, so silence reads as 0 and a sample as itself.
bool DSound_RenderForTests(int16_t* out, DWORD frames)
{
    if (!out) return false;
    dsdetail::ContextLock lock(nullptr);
    if (Loopbacks().empty()) return false;
    static auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!render) return false;
    ALCdevice* device = Loopbacks().back()->AlDevice();
    constexpr DWORD kChunk = 1024;
    float mix[2 * kChunk];
    for (DWORD done = 0; done < frames;) {
        const DWORD n = std::min(kChunk, frames - done);
        render(device, mix, static_cast<ALCsizei>(n));
        for (DWORD i = 0; i < 2 * n; ++i) {
            const float v = std::nearbyint(mix[i] * 32768.0f);
            out[2 * done + i] = static_cast<int16_t>(std::max(-32768.0f, std::min(32767.0f, v)));
        }
        done += n;
    }
    return true;
}
