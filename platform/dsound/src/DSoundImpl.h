// The objects behind the sound layer's interfaces, shared by its sources.
//
//   SoundDevice (IDirectSound8): ALCdevice + ALCcontext
//     ^ one reference from each buffer, so the context outlives its voices
//   SoundBuffer (IDirectSoundBuffer8): one ALsource, the voice
//     --> shared_ptr<SoundData>: the PCM bytes (system-memory copy and the
//         ALbuffer), and every voice playing them (the original and its
//         duplicates)
//
// Every call that touches OpenAL holds a ContextLock on its device: one lock
// for the whole layer, with that device's context made current, since the
// current context is process-wide and more than one device may be open.
#pragma once

#include <dsound.h>

#include <AL/al.h>
#include <AL/alc.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace dsdetail {

class SoundDevice;
class SoundBuffer;

class ContextLock {
public:
    explicit ContextLock(const SoundDevice* device);

private:
    std::unique_lock<std::recursive_mutex> lock_;
};

// Format checks and the translations from DirectSound's units to OpenAL's.
HRESULT CheckFormat(const WAVEFORMATEX* format);  // DS_OK, or DSERR_BADFORMAT / DSERR_INVALIDPARAM
ALenum AlFormat(const WAVEFORMATEX& format);      // AL_FORMAT_MONO8 ... STEREO16 of a checked format
float VolumeToGain(LONG volume);                  // 10^(volume / 2000); DSBVOLUME_MIN and below: 0
// Where a mono voice sits for a pan, and the gain that brings its louder
// channel back to the level DirectSound gives it (see SoundLevels.cpp).
struct PanPlacement {
    float x, z;         // source-relative position on the unit circle in front of the listener
    float loudnessFix;  // multiplies the voice's gain
};
PanPlacement PlaceForPan(LONG pan);

// The PCM bytes a buffer and its duplicates share.
struct SoundData {
    WAVEFORMATEX format = {};
    ALenum alFormat = 0;
    std::vector<BYTE> bytes;  // the system-memory copy Lock hands out
    ALuint alBuffer = 0;
    std::vector<SoundBuffer*> voices;  // every buffer object playing these bytes

    // Deletes the ALbuffer; the last voice's destructor holds the context.
    ~SoundData();
    // Sends bytes to the ALbuffer. OpenAL refuses new data for a buffer a
    // source holds, so each voice lets go first and picks up where it was.
    bool Upload();
};

class SoundDevice final : public IDirectSound8 {
public:
    SoundDevice(ALCdevice* device, ALCcontext* context, bool loopback);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, IUnknown* outer) override;
    HRESULT GetCaps(LPDSCAPS caps) override;
    HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD level) override;
    HRESULT Compact() override;
    HRESULT GetSpeakerConfig(LPDWORD config) override;
    HRESULT SetSpeakerConfig(DWORD config) override;
    HRESULT Initialize(LPCGUID device) override;
    HRESULT VerifyCertification(LPDWORD certified) override;

    ALCdevice* AlDevice() const { return device_; }
    ALCcontext* AlContext() const { return context_; }
    DWORD OutputRate() const { return outputRate_; }
    // The primary buffer's state, one per device whatever the number of
    // primary buffer objects.
    LONG primaryVolume = 0;
    WAVEFORMATEX primaryFormat = {};

private:
    ~SoundDevice() override;

    std::atomic<ULONG> refs_{1};
    ALCdevice* device_;
    ALCcontext* context_;
    bool loopback_;
    DWORD outputRate_ = 0;
    bool cooperative_ = false;
};

class SoundBuffer final : public IDirectSoundBuffer8 {
public:
    // A primary buffer (data NULL) or a voice on data. Takes a reference to
    // device. Init makes the voice; false when OpenAL has no source left.
    SoundBuffer(SoundDevice* device, DWORD flags, std::shared_ptr<SoundData> data);
    bool Init();
    // The duplicate's settings: volume, pan and frequency.
    void CopySettings(const SoundBuffer& from);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetCaps(LPDSBCAPS caps) override;
    HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) override;
    HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) override;
    HRESULT GetVolume(LONG* volume) override;
    HRESULT GetPan(LONG* pan) override;
    HRESULT GetFrequency(LPDWORD frequency) override;
    HRESULT GetStatus(LPDWORD status) override;
    HRESULT Initialize(IUnknown* directSound, LPCDSBUFFERDESC desc) override;
    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2, LPDWORD bytes2,
                 DWORD flags) override;
    HRESULT Play(DWORD reserved1, DWORD priority, DWORD flags) override;
    HRESULT SetCurrentPosition(DWORD newPosition) override;
    HRESULT SetFormat(LPCWAVEFORMATEX format) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT SetPan(LONG pan) override;
    HRESULT SetFrequency(DWORD frequency) override;
    HRESULT Stop() override;
    HRESULT Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) override;
    HRESULT Restore() override;
    HRESULT SetFX(DWORD effects, void* descriptions, LPDWORD results) override;
    HRESULT AcquireResources(DWORD flags, DWORD effects, LPDWORD results) override;
    HRESULT GetObjectInPath(REFGUID object, DWORD index, REFGUID iface, LPVOID* out) override;

    SoundDevice* Device() const { return device_; }
    DWORD Flags() const { return flags_; }
    bool IsPrimary() const { return !data_; }
    const std::shared_ptr<SoundData>& Data() const { return data_; }

    // SoundData::Upload's two halves: let go of the ALbuffer remembering
    // where the voice was, then take it back and carry on from there.
    void Detach();
    void Reattach();

private:
    ~SoundBuffer() override;

    bool Has(DWORD control) const { return (flags_ & control) != 0; }
    ALint AlState() const;
    DWORD PlayCursor();  // bytes, whole frames
    void ApplyGain();
    void ApplyPan();
    void ApplyFrequency();

    std::atomic<ULONG> refs_{1};
    SoundDevice* device_;
    DWORD flags_;
    std::shared_ptr<SoundData> data_;
    ALuint source_ = 0;
    LONG volume_ = DSBVOLUME_MAX;
    LONG pan_ = DSBPAN_CENTER;
    DWORD frequency_ = DSBFREQUENCY_ORIGINAL;
    bool looping_ = false;
    // The voice was started and not paused since: an OpenAL source found
    // stopped then has played to its end, and its cursor is back at 0.
    bool running_ = false;
    DWORD stoppedCursor_ = 0;  // the cursor while OpenAL holds none (source stopped or new)
    bool primaryPlaying_ = false;
    // The Lock handed out, checked by Unlock.
    bool locked_ = false;
    BYTE* lockPart1_ = nullptr;
    DWORD lockBytes1_ = 0;
    BYTE* lockPart2_ = nullptr;
    DWORD lockBytes2_ = 0;
    // Detach's record of the voice.
    bool wasPlaying_ = false;
    DWORD detachedCursor_ = 0;
};

// The loopback devices of the test seam (SoundTestSeam.cpp).
DWORD LoopbackRate();  // 0: the default output
void RegisterLoopback(SoundDevice* device);
void UnregisterLoopback(SoundDevice* device);

}  // namespace dsdetail
