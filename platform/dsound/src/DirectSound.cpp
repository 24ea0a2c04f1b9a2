// DirectSoundCreate8 and the device: opening the output (or the test seam's
// loopback device), the context every call makes current, buffer creation.
#include "DSoundImpl.h"

#include <AL/alext.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <utility>

using dsdetail::ContextLock;
using dsdetail::SoundBuffer;
using dsdetail::SoundData;
using dsdetail::SoundDevice;

namespace {

// Never destroyed, so that devices and buffers released by a program's own
// global destructors (which may run after this file's) can still take it.
std::recursive_mutex& LayerMutex()
{
    static auto* m = new std::recursive_mutex;
    return *m;
}

// What the back ends printed while failing to open: the last "(EE)" line,
// less its prefix; empty when they said nothing.
std::string LastError(const std::string& log)
{
    std::string found;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos) end = log.size();
        std::string line = log.substr(start, end - start);
        size_t tag = line.find("(EE)");
        if (tag != std::string::npos) {
            line.erase(0, tag + 4);
            line.erase(0, line.find_first_not_of(' '));
            if (!line.empty()) found = line;
        }
        start = end + 1;
    }
    return found;
}

// alcOpenDevice(NULL) with standard error caught: libasound and OpenAL print
// a dozen lines when there is no output, and the layer says it in one.
ALCdevice* OpenDefaultOutput(std::string& why)
{
    std::fflush(stderr);
    int saved = dup(STDERR_FILENO);
    std::FILE* capture = std::tmpfile();
    if (saved < 0 || !capture) {
        if (saved >= 0) close(saved);
        if (capture) std::fclose(capture);
        return alcOpenDevice(nullptr);
    }
    dup2(fileno(capture), STDERR_FILENO);
    ALCdevice* device = alcOpenDevice(nullptr);
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);

    std::string log;
    std::rewind(capture);
    char chunk[512];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, capture)) > 0 && log.size() < (1u << 20)) log.append(chunk, n);
    std::fclose(capture);
    why = LastError(log);
    return device;
}

// Says once per process that there is no output, or that it plays into nothing.
void SayOnce(std::atomic<bool>& said, const std::string& line)
{
    if (said.exchange(true)) return;
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}
std::atomic<bool> g_saidNoDriver{false};
std::atomic<bool> g_saidNullOutput{false};

ALCdevice* OpenLoopback(std::string& why)
{
    auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    ALCdevice* device = open ? open(nullptr) : nullptr;
    if (!device) why = "OpenAL has no loopback device";
    return device;
}

}  // namespace

namespace dsdetail {

ContextLock::ContextLock(const SoundDevice* device) : lock_(LayerMutex())
{
    if (device && alcGetCurrentContext() != device->AlContext()) alcMakeContextCurrent(device->AlContext());
}

// ---------------------------------------------------------------------------
SoundDevice::SoundDevice(ALCdevice* device, ALCcontext* context, bool loopback)
    : device_(device), context_(context), loopback_(loopback)
{
    ALCint rate = 0;
    alcGetIntegerv(device_, ALC_FREQUENCY, 1, &rate);
    outputRate_ = rate > 0 ? static_cast<DWORD>(rate) : 48000;
    primaryFormat.wFormatTag = WAVE_FORMAT_PCM;
    primaryFormat.nChannels = 2;
    primaryFormat.nSamplesPerSec = outputRate_;
    primaryFormat.wBitsPerSample = 16;
    primaryFormat.nBlockAlign = 4;
    primaryFormat.nAvgBytesPerSec = outputRate_ * 4;
    if (loopback_) RegisterLoopback(this);
}

SoundDevice::~SoundDevice()
{
    ContextLock lock(nullptr);
    if (loopback_) UnregisterLoopback(this);
    if (alcGetCurrentContext() == context_) alcMakeContextCurrent(nullptr);
    alcDestroyContext(context_);
    alcCloseDevice(device_);
}

HRESULT SoundDevice::QueryInterface(REFIID riid, void** object)
{
    if (!object) return E_POINTER;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDirectSound8)) {
        AddRef();
        *object = static_cast<IDirectSound8*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG SoundDevice::AddRef()
{
    return ++refs_;
}

ULONG SoundDevice::Release()
{
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT SoundDevice::CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, IUnknown* outer)
{
    if (!buffer || !desc) return DSERR_INVALIDPARAM;
    if (outer) return DSERR_NOAGGREGATION;
    // The record without guid3DAlgorithm (DirectX 7's) is accepted too.
    if (desc->dwSize != sizeof(DSBUFFERDESC) && desc->dwSize != offsetof(DSBUFFERDESC, guid3DAlgorithm))
        return DSERR_INVALIDPARAM;
    if (!cooperative_) return DSERR_PRIOLEVELNEEDED;

    std::shared_ptr<SoundData> data;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
        if (desc->dwBufferBytes != 0 || desc->lpwfxFormat) return DSERR_INVALIDPARAM;
        if (desc->dwFlags & (DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLFX | DSBCAPS_CTRLPOSITIONNOTIFY))
            return DSERR_INVALIDPARAM;
    } else {
        if (!desc->lpwfxFormat) return DSERR_INVALIDPARAM;
        HRESULT hr = CheckFormat(desc->lpwfxFormat);
        if (hr != DS_OK) return hr;
        const DWORD size = desc->dwBufferBytes;
        if (size < DSBSIZE_MIN || size > DSBSIZE_MAX || size % desc->lpwfxFormat->nBlockAlign != 0)
            return DSERR_INVALIDPARAM;
        try {
            data = std::make_shared<SoundData>();
            data->format = *desc->lpwfxFormat;
            data->format.cbSize = 0;
            data->alFormat = AlFormat(data->format);
            // Silence: 0x80 for unsigned 8-bit samples, 0 for signed 16-bit.
            data->bytes.assign(size, data->format.wBitsPerSample == 8 ? 0x80 : 0x00);
        } catch (const std::bad_alloc&) {
            return DSERR_OUTOFMEMORY;
        }
        ContextLock lock(this);
        alGetError();
        alGenBuffers(1, &data->alBuffer);
        if (alGetError() != AL_NO_ERROR) {
            data->alBuffer = 0;
            return DSERR_OUTOFMEMORY;
        }
        if (!data->Upload()) {
            data.reset();  // deleted while the context is current
            return DSERR_OUTOFMEMORY;
        }
    }

    // The buffer holds the only reference to data, so its destructor frees it.
    auto* made = new (std::nothrow) SoundBuffer(this, desc->dwFlags, std::move(data));
    if (!made) return DSERR_OUTOFMEMORY;
    if (!made->Init()) {
        made->Release();
        return DSERR_ALLOCATED;
    }
    *buffer = made;
    return DS_OK;
}

HRESULT SoundDevice::GetCaps(LPDSCAPS caps)
{
    if (!caps || caps->dwSize != sizeof(DSCAPS)) return DSERR_INVALIDPARAM;
    std::memset(caps, 0, sizeof *caps);
    caps->dwSize = sizeof(DSCAPS);
    // Everything is mixed in software at any rate; the mix itself is 16-bit stereo.
    caps->dwFlags = DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY16BIT | DSCAPS_CONTINUOUSRATE | DSCAPS_SECONDARYMONO |
                    DSCAPS_SECONDARYSTEREO | DSCAPS_SECONDARY8BIT | DSCAPS_SECONDARY16BIT;
    caps->dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
    caps->dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
    caps->dwPrimaryBuffers = 1;
    return DS_OK;
}

HRESULT SoundDevice::DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate)
{
    if (!original || !duplicate) return DSERR_INVALIDPARAM;
    auto* from = dynamic_cast<SoundBuffer*>(original);
    // Only this device's buffers: OpenAL buffers belong to one device.
    if (!from || from->Device() != this) return DSERR_INVALIDPARAM;
    if (from->IsPrimary()) return DSERR_INVALIDCALL;
    auto* made = new (std::nothrow) SoundBuffer(this, from->Flags(), from->Data());
    if (!made) return DSERR_OUTOFMEMORY;
    made->CopySettings(*from);
    if (!made->Init()) {
        made->Release();
        return DSERR_ALLOCATED;
    }
    *duplicate = made;
    return DS_OK;
}

HRESULT SoundDevice::SetCooperativeLevel(HWND window, DWORD level)
{
    (void)window;  // kept: no other application competes for the output here
    if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
    cooperative_ = true;
    return DS_OK;
}

HRESULT SoundDevice::Compact()
{
    return DS_OK;
}

HRESULT SoundDevice::GetSpeakerConfig(LPDWORD config)
{
    if (!config) return DSERR_INVALIDPARAM;
    *config = DSSPEAKER_STEREO;
    return DS_OK;
}

HRESULT SoundDevice::SetSpeakerConfig(DWORD config)
{
    (void)config;  // kept: the output's layout is OpenAL's to choose
    return DS_OK;
}

HRESULT SoundDevice::Initialize(LPCGUID device)
{
    (void)device;
    return DSERR_ALREADYINITIALIZED;
}

HRESULT SoundDevice::VerifyCertification(LPDWORD certified)
{
    if (!certified) return DSERR_INVALIDPARAM;
    *certified = DS_UNCERTIFIED;
    return DS_OK;
}

}  // namespace dsdetail

// ---------------------------------------------------------------------------
HRESULT DirectSoundCreate8(LPCGUID device, LPDIRECTSOUND8* ds, LPUNKNOWN outer)
{
    if (!ds) return DSERR_INVALIDPARAM;
    *ds = nullptr;
    if (outer) return DSERR_NOAGGREGATION;
    if (device && !IsEqualGUID(*device, DSDEVID_DefaultPlayback)) return DSERR_NODRIVER;

    ContextLock lock(nullptr);
    const DWORD loopbackRate = dsdetail::LoopbackRate();
    std::string why;
    ALCdevice* alDevice = loopbackRate ? OpenLoopback(why) : OpenDefaultOutput(why);
    ALCcontext* context = nullptr;
    if (alDevice) {
        // Plain stereo: no HRTF; and no limiter, so the mix saturates as
        // DirectSound's does and a test reads exactly what was mixed.
        std::vector<ALCint> attrs = {ALC_HRTF_SOFT, ALC_FALSE, ALC_OUTPUT_LIMITER_SOFT, ALC_FALSE};
        if (loopbackRate) {
            attrs.insert(attrs.end(), {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                                       ALC_FREQUENCY, static_cast<ALCint>(loopbackRate)});
        }
        attrs.push_back(0);
        context = alcCreateContext(alDevice, attrs.data());
        if (!context) {
            why = "OpenAL could not set the output up";
            alcCloseDevice(alDevice);
            alDevice = nullptr;
        }
    }
    if (!alDevice) {
        if (why.empty()) why = "no OpenAL back end could open a device";
        SayOnce(g_saidNoDriver, "sound: no audio output (" + why + "); sounds are silent");
        return DSERR_NODRIVER;
    }
    if (!loopbackRate) {
        const ALCchar* name = alcGetString(alDevice, ALC_ALL_DEVICES_SPECIFIER);
        if (name && std::strcmp(name, "No Output") == 0)
            SayOnce(g_saidNullOutput, "sound: the audio output plays into nothing (OpenAL's null output)");
    }

    alcMakeContextCurrent(context);
    // Mono voices are placed by pan alone: distance never attenuates.
    alDistanceModel(AL_NONE);
    auto* made = new (std::nothrow) SoundDevice(alDevice, context, loopbackRate != 0);
    if (!made) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        alcCloseDevice(alDevice);
        return DSERR_OUTOFMEMORY;
    }
    *ds = made;
    return DS_OK;
}
