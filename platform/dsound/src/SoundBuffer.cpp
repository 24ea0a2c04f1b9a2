// Sound buffers: the primary buffer (the mix) and the voices on shared PCM.
//
// Where a voice's play cursor lives:
//   source playing or paused (Stop pauses)  --> OpenAL's AL_BYTE_OFFSET
//   source new or stopped                   --> stoppedCursor_, or 0 when the
//                                               voice has played to its end
#include "DSoundImpl.h"

#include <AL/alext.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace dsdetail {

namespace {

// The highest gain a mono voice needs: its volume's 1 times the centre's
// loudness fix (PlaceForPan).
constexpr float kMonoMaxGain = 2.0f;

}  // namespace

SoundData::~SoundData()
{
    if (alBuffer) alDeleteBuffers(1, &alBuffer);
}

bool SoundData::Upload()
{
    for (SoundBuffer* voice : voices) voice->Detach();
    alGetError();
    alBufferData(alBuffer, alFormat, bytes.data(), static_cast<ALsizei>(bytes.size()),
                 static_cast<ALsizei>(format.nSamplesPerSec));
    const bool ok = alGetError() == AL_NO_ERROR;
    for (SoundBuffer* voice : voices) voice->Reattach();
    return ok;
}

// ---------------------------------------------------------------------------
SoundBuffer::SoundBuffer(SoundDevice* device, DWORD flags, std::shared_ptr<SoundData> data)
    : device_(device), flags_(flags), data_(std::move(data))
{
    device_->AddRef();
}

bool SoundBuffer::Init()
{
    if (IsPrimary()) return true;
    ContextLock lock(device_);
    try {
        data_->voices.reserve(data_->voices.size() + 1);
    } catch (const std::bad_alloc&) {
        return false;
    }
    alGetError();
    alGenSources(1, &source_);
    if (alGetError() != AL_NO_ERROR) {
        source_ = 0;
        return false;
    }
    alSourcei(source_, AL_BUFFER, static_cast<ALint>(data_->alBuffer));
    alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(source_, AL_ROLLOFF_FACTOR, 0.0f);
    if (data_->format.nChannels == 2) {
        // Each channel straight to its speaker, as recorded.
        alSourcei(source_, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    } else {
        alSourcef(source_, AL_MAX_GAIN, kMonoMaxGain);
    }
    data_->voices.push_back(this);
    ApplyPan();
    ApplyFrequency();
    return true;
}

void SoundBuffer::CopySettings(const SoundBuffer& from)
{
    volume_ = from.volume_;
    pan_ = from.pan_;
    frequency_ = from.frequency_;
}

SoundBuffer::~SoundBuffer()
{
    {
        ContextLock lock(device_);
        if (source_) {
            alSourceStop(source_);
            alSourcei(source_, AL_BUFFER, 0);
            alDeleteSources(1, &source_);
        }
        if (data_) {
            auto& voices = data_->voices;
            voices.erase(std::remove(voices.begin(), voices.end(), this), voices.end());
            data_.reset();
        }
    }
    device_->Release();
}

HRESULT SoundBuffer::QueryInterface(REFIID riid, void** object)
{
    if (!object) return E_POINTER;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDirectSoundBuffer) ||
        (IsEqualGUID(riid, IID_IDirectSoundBuffer8) && !IsPrimary())) {
        AddRef();
        *object = static_cast<IDirectSoundBuffer8*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG SoundBuffer::AddRef()
{
    return ++refs_;
}

ULONG SoundBuffer::Release()
{
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

// ---------------------------------------------------------------------------
// Cursors and playing.
ALint SoundBuffer::AlState() const
{
    ALint state = AL_INITIAL;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    return state;
}

DWORD SoundBuffer::PlayCursor()
{
    const ALint state = AlState();
    if (state == AL_PLAYING || state == AL_PAUSED) {
        ALint offset = 0;
        alGetSourcei(source_, AL_BYTE_OFFSET, &offset);
        const DWORD size = static_cast<DWORD>(data_->bytes.size());
        DWORD cursor = offset > 0 ? static_cast<DWORD>(offset) % size : 0;
        return cursor - cursor % data_->format.nBlockAlign;
    }
    if (running_) {
        running_ = false;
        stoppedCursor_ = 0;
    }
    return stoppedCursor_;
}

HRESULT SoundBuffer::GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor)
{
    if (!playCursor && !writeCursor) return DSERR_INVALIDPARAM;
    DWORD play = 0, write = 0;
    if (!IsPrimary()) {
        ContextLock lock(device_);
        play = write = PlayCursor();
        if (AlState() == AL_PLAYING) {
            // Where a write is safe: about 10 ms of playing ahead.
            const DWORD rate = frequency_ ? frequency_ : data_->format.nSamplesPerSec;
            const DWORD ahead = (rate / 100 + 1) * data_->format.nBlockAlign;
            write = static_cast<DWORD>((static_cast<unsigned long long>(play) + ahead) % data_->bytes.size());
        }
    }
    if (playCursor) *playCursor = play;
    if (writeCursor) *writeCursor = write;
    return DS_OK;
}

HRESULT SoundBuffer::Play(DWORD reserved1, DWORD priority, DWORD flags)
{
    (void)priority;  // kept: every voice mixes in software, none is ever turned away
    if (reserved1 != 0) return DSERR_INVALIDPARAM;
    if (IsPrimary()) {
        primaryPlaying_ = true;
        return DS_OK;
    }
    ContextLock lock(device_);
    looping_ = (flags & DSBPLAY_LOOPING) != 0;
    alSourcei(source_, AL_LOOPING, looping_ ? AL_TRUE : AL_FALSE);
    const ALint state = AlState();
    if (state == AL_PLAYING) return DS_OK;
    if (state != AL_PAUSED) alSourcei(source_, AL_BYTE_OFFSET, static_cast<ALint>(PlayCursor()));
    alSourcePlay(source_);
    running_ = true;
    return DS_OK;
}

HRESULT SoundBuffer::Stop()
{
    if (IsPrimary()) {
        primaryPlaying_ = false;
        return DS_OK;
    }
    ContextLock lock(device_);
    if (AlState() == AL_PLAYING) {
        alSourcePause(source_);
        // Ended on its own just before the pause: it rests at 0.
        if (AlState() != AL_PAUSED) stoppedCursor_ = 0;
    } else {
        PlayCursor();
    }
    running_ = false;
    return DS_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(DWORD newPosition)
{
    if (IsPrimary()) return DSERR_INVALIDCALL;
    if (newPosition >= data_->bytes.size()) return DSERR_INVALIDPARAM;
    const DWORD cursor = newPosition - newPosition % data_->format.nBlockAlign;
    ContextLock lock(device_);
    const ALint state = AlState();
    if (state == AL_PLAYING || state == AL_PAUSED) {
        alSourcei(source_, AL_BYTE_OFFSET, static_cast<ALint>(cursor));
    } else {
        running_ = false;
        stoppedCursor_ = cursor;
    }
    return DS_OK;
}

HRESULT SoundBuffer::GetStatus(LPDWORD status)
{
    if (!status) return DSERR_INVALIDPARAM;
    if (IsPrimary()) {
        // The mix always wraps around its buffer.
        *status = primaryPlaying_ ? DSBSTATUS_PLAYING | DSBSTATUS_LOOPING : 0;
        return DS_OK;
    }
    ContextLock lock(device_);
    *status = 0;
    if (AlState() == AL_PLAYING) *status = DSBSTATUS_PLAYING | (looping_ ? DSBSTATUS_LOOPING : 0);
    return DS_OK;
}

void SoundBuffer::Detach()
{
    wasPlaying_ = AlState() == AL_PLAYING;
    detachedCursor_ = PlayCursor();
    alSourceStop(source_);
    alSourcei(source_, AL_BUFFER, 0);
}

void SoundBuffer::Reattach()
{
    alSourcei(source_, AL_BUFFER, static_cast<ALint>(data_->alBuffer));
    if (wasPlaying_) {
        alSourcei(source_, AL_BYTE_OFFSET, static_cast<ALint>(detachedCursor_));
        alSourcePlay(source_);
    } else {
        running_ = false;
        stoppedCursor_ = detachedCursor_;
    }
}

// ---------------------------------------------------------------------------
// Locking.
HRESULT SoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2, LPDWORD bytes2,
                          DWORD flags)
{
    if (IsPrimary()) return DSERR_PRIOLEVELNEEDED;
    if (!part1 || !bytes1) return DSERR_INVALIDPARAM;
    ContextLock lock(device_);
    if (locked_) return DSERR_INVALIDCALL;
    const DWORD size = static_cast<DWORD>(data_->bytes.size());
    if (flags & DSBLOCK_ENTIREBUFFER) bytes = size;
    if (flags & DSBLOCK_FROMWRITECURSOR) {
        DWORD play = 0;
        GetCurrentPosition(&play, &offset);
    }
    if (bytes == 0 || bytes > size || offset >= size) return DSERR_INVALIDPARAM;
    const DWORD first = std::min(bytes, size - offset);
    const DWORD rest = bytes - first;
    if (rest && (!part2 || !bytes2)) return DSERR_INVALIDPARAM;

    locked_ = true;
    lockPart1_ = data_->bytes.data() + offset;
    lockBytes1_ = first;
    lockPart2_ = rest ? data_->bytes.data() : nullptr;
    lockBytes2_ = rest;
    *part1 = lockPart1_;
    *bytes1 = lockBytes1_;
    if (part2) *part2 = lockPart2_;
    if (bytes2) *bytes2 = lockBytes2_;
    return DS_OK;
}

HRESULT SoundBuffer::Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2)
{
    if (IsPrimary()) return DSERR_INVALIDCALL;
    ContextLock lock(device_);
    if (!locked_) return DSERR_INVALIDCALL;
    if (part1 != lockPart1_ || bytes1 > lockBytes1_) return DSERR_INVALIDPARAM;
    if ((part2 && part2 != lockPart2_) || bytes2 > lockBytes2_) return DSERR_INVALIDPARAM;
    locked_ = false;
    return data_->Upload() ? DS_OK : DSERR_GENERIC;
}

// ---------------------------------------------------------------------------
// Volume, pan and frequency.
void SoundBuffer::ApplyGain()
{
    float gain = VolumeToGain(volume_);
    if (data_->format.nChannels == 1) gain *= PlaceForPan(pan_).loudnessFix;
    alSourcef(source_, AL_GAIN, gain);
}

void SoundBuffer::ApplyPan()
{
    // A stereo voice's channels go straight to their speakers, so its pan
    // is kept but not heard.
    if (data_->format.nChannels == 1) {
        const PanPlacement place = PlaceForPan(pan_);
        alSource3f(source_, AL_POSITION, place.x, 0.0f, place.z);
    }
    ApplyGain();
}

void SoundBuffer::ApplyFrequency()
{
    const float rate = static_cast<float>(data_->format.nSamplesPerSec);
    alSourcef(source_, AL_PITCH, frequency_ ? static_cast<float>(frequency_) / rate : 1.0f);
}

HRESULT SoundBuffer::GetVolume(LONG* volume)
{
    if (!Has(DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (!volume) return DSERR_INVALIDPARAM;
    *volume = IsPrimary() ? device_->primaryVolume : volume_;
    return DS_OK;
}

HRESULT SoundBuffer::SetVolume(LONG volume)
{
    if (!Has(DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    ContextLock lock(device_);
    if (IsPrimary()) {
        device_->primaryVolume = volume;
        alListenerf(AL_GAIN, VolumeToGain(volume));
    } else {
        volume_ = volume;
        ApplyGain();
    }
    return DS_OK;
}

HRESULT SoundBuffer::GetPan(LONG* pan)
{
    if (!Has(DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    if (!pan) return DSERR_INVALIDPARAM;
    *pan = pan_;
    return DS_OK;
}

HRESULT SoundBuffer::SetPan(LONG pan)
{
    if (!Has(DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    pan_ = pan;
    if (IsPrimary()) return DS_OK;
    ContextLock lock(device_);
    ApplyPan();
    return DS_OK;
}

HRESULT SoundBuffer::GetFrequency(LPDWORD frequency)
{
    if (!Has(DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
    if (!frequency) return DSERR_INVALIDPARAM;
    *frequency = frequency_ ? frequency_ : data_->format.nSamplesPerSec;
    return DS_OK;
}

HRESULT SoundBuffer::SetFrequency(DWORD frequency)
{
    if (!Has(DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
    if (frequency != DSBFREQUENCY_ORIGINAL && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
        return DSERR_INVALIDPARAM;
    frequency_ = frequency;
    ContextLock lock(device_);
    ApplyFrequency();
    return DS_OK;
}

// ---------------------------------------------------------------------------
// Formats, capabilities and the rest.
HRESULT SoundBuffer::GetCaps(LPDSBCAPS caps)
{
    if (!caps || caps->dwSize != sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
    std::memset(caps, 0, sizeof *caps);
    caps->dwSize = sizeof(DSBCAPS);
    caps->dwFlags = (flags_ & ~(DSBCAPS_LOCHARDWARE | DSBCAPS_LOCDEFER)) | DSBCAPS_LOCSOFTWARE;
    caps->dwBufferBytes = IsPrimary() ? 0 : static_cast<DWORD>(data_->bytes.size());
    return DS_OK;
}

HRESULT SoundBuffer::GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten)
{
    if (!format && !sizeWritten) return DSERR_INVALIDPARAM;
    const WAVEFORMATEX& own = IsPrimary() ? device_->primaryFormat : data_->format;
    DWORD size = sizeof(WAVEFORMATEX);
    if (format) {
        size = std::min<DWORD>(size, sizeAllocated);
        std::memcpy(format, &own, size);
    }
    if (sizeWritten) *sizeWritten = size;
    return DS_OK;
}

HRESULT SoundBuffer::SetFormat(LPCWAVEFORMATEX format)
{
    if (!IsPrimary()) return DSERR_INVALIDCALL;
    HRESULT hr = CheckFormat(format);
    if (hr != DS_OK) return hr;
    // Recorded for GetFormat; OpenAL mixes at the output's own format.
    device_->primaryFormat = *format;
    device_->primaryFormat.cbSize = 0;
    return DS_OK;
}

HRESULT SoundBuffer::Initialize(IUnknown* directSound, LPCDSBUFFERDESC desc)
{
    (void)directSound;
    (void)desc;
    return DSERR_ALREADYINITIALIZED;
}

HRESULT SoundBuffer::Restore()
{
    return DS_OK;
}

HRESULT SoundBuffer::SetFX(DWORD effects, void* descriptions, LPDWORD results)
{
    (void)effects;
    (void)descriptions;
    (void)results;
    return DSERR_CONTROLUNAVAIL;
}

HRESULT SoundBuffer::AcquireResources(DWORD flags, DWORD effects, LPDWORD results)
{
    (void)flags;
    (void)effects;
    (void)results;
    return DS_OK;
}

HRESULT SoundBuffer::GetObjectInPath(REFGUID object, DWORD index, REFGUID iface, LPVOID* out)
{
    (void)object;
    (void)index;
    (void)iface;
    if (out) *out = nullptr;
    return DSERR_OBJECTNOTFOUND;
}

}  // namespace dsdetail
