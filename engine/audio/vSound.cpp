#include "vSound.h"

#include <Win32File.h>

#include "vAudio.h"
#include "audio/detail/AudioLevels.h"
#include "audio/detail/WaveFile.h"
#include "core/detail/LogFailure.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Why the window layer could not give the file's bytes.
std::string ReadFailure(Win32ReadResult result, int error)
{
    switch (result) {
        case WIN32_READ_MISSING:
            return "cannot open the file: No such file or directory";
        case WIN32_READ_TOO_LARGE:
            return "larger than a sound may be (" + std::to_string(vaudio::detail::kMaxWaveFileBytes >> 20) + " MB)";
        case WIN32_READ_REFUSED:
            return std::string("cannot open the file: ") + std::strerror(error ? error : EACCES);
        default:
            return std::string("cannot read the file: ") + std::strerror(error ? error : EIO);
    }
}

// A secondary buffer holding the samples, or null when the device refuses it.
IDirectSoundBuffer* CreateBuffer(IDirectSound8* device, const vaudio::detail::WaveData& wave)
{
    WAVEFORMATEX format = wave.format;
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY | DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_STATIC;
    desc.dwBufferBytes = DWORD(wave.samples.size());
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(device->CreateSoundBuffer(&desc, &buffer, NULL)) || !buffer) return nullptr;

    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD bytes1 = 0;
    DWORD bytes2 = 0;
    if (FAILED(buffer->Lock(0, 0, &part1, &bytes1, &part2, &bytes2, DSBLOCK_ENTIREBUFFER)) || !part1 ||
        bytes1 != desc.dwBufferBytes) {
        buffer->Release();
        return nullptr;
    }
    std::memcpy(part1, wave.samples.data(), bytes1);
    buffer->Unlock(part1, bytes1, part2, bytes2);
    return buffer;
}

}  // namespace

vSound::vSound()
    : m_voices{}, m_started{}, m_voiceCount(0), m_plays(0), m_rate(0), m_bytes(0), m_frameBytes(0), m_volume(1.0f),
      m_pitch(1.0f), m_loaded(false), m_looping(false)
{
}

vSound::~vSound()
{
    Kill();
}

long vSound::LoadSound(vAudio& audio, const char* file, int voices)
{
    Kill();
    std::vector<std::uint8_t> bytes;
    int error = 0;
    const Win32ReadResult read = Win32_ReadWholeFile(file, vaudio::detail::kMaxWaveFileBytes, bytes, &error);
    vaudio::detail::WaveData wave;
    std::string why;
    if (!file || !*file)
        why = "no file name given";
    else if (read != WIN32_READ_OK)
        why = ReadFailure(read, error);
    else
        vaudio::detail::ReadWave(bytes.data(), bytes.size(), wave, why);
    if (wave.samples.empty()) {
        vcore::LogFailure("sound", file, why.c_str());
        MessageBoxA(NULL, "Error loading sound!", "Error!", MB_OKCANCEL);
        return E_FAIL;
    }

    m_rate = wave.format.nSamplesPerSec;
    m_bytes = DWORD(wave.samples.size());
    m_frameBytes = wave.format.nBlockAlign;
    m_loaded = true;

    IDirectSound8* device = audio.GetDevice();
    if (!device) return S_OK;  // no output: the sound is there and silent
    IDirectSoundBuffer* first = CreateBuffer(device, wave);
    if (!first) {
        vcore::LogFailure("sound", file, "the sound device refused its buffer; it plays nothing");
        return S_OK;
    }
    m_voices[0] = first;
    m_voiceCount = 1;
    const int wanted = voices < 1 ? 1 : (voices > kMaxVoices ? kMaxVoices : voices);
    while (m_voiceCount < wanted && SUCCEEDED(device->DuplicateSoundBuffer(first, &m_voices[m_voiceCount])) &&
           m_voices[m_voiceCount])
        ++m_voiceCount;
    for (int v = 0; v < m_voiceCount; ++v) {
        ApplyVolume(v);
        ApplyPitch(v);
    }
    return S_OK;
}

void vSound::Play()
{
    if (m_voiceCount == 0) return;
    // The loop keeps the first voice while there are others to take.
    const int first = (m_looping && m_voiceCount > 1) ? 1 : 0;
    int chosen = -1;
    for (int v = first; v < m_voiceCount && chosen < 0; ++v) {
        DWORD status = 0;
        if (SUCCEEDED(m_voices[v]->GetStatus(&status)) && !(status & DSBSTATUS_PLAYING)) chosen = v;
    }
    if (chosen < 0) {
        chosen = first;
        for (int v = first; v < m_voiceCount; ++v)
            if (m_started[v] < m_started[chosen]) chosen = v;
    }
    if (chosen == 0) m_looping = false;
    IDirectSoundBuffer* voice = m_voices[chosen];
    voice->Stop();
    voice->SetCurrentPosition(0);
    voice->Play(0, 0, 0);
    m_started[chosen] = ++m_plays;
}

void vSound::Loop()
{
    if (!m_loaded || m_looping) return;
    m_looping = true;
    if (m_voiceCount == 0) return;
    m_voices[0]->Stop();
    m_voices[0]->SetCurrentPosition(0);
    m_voices[0]->Play(0, 0, DSBPLAY_LOOPING);
    m_started[0] = ++m_plays;
}

void vSound::Stop()
{
    m_looping = false;
    for (int v = 0; v < m_voiceCount; ++v) {
        m_voices[v]->Stop();
        m_voices[v]->SetCurrentPosition(0);
    }
}

void vSound::SetVolume(float volume)
{
    m_volume = vaudio::detail::Clamp01(volume);
    for (int v = 0; v < m_voiceCount; ++v) ApplyVolume(v);
}

void vSound::SetPitch(float ratio)
{
    m_pitch = ratio > 0.0f ? ratio : 1.0f;  // NaN and nonsense keep the recorded rate
    for (int v = 0; v < m_voiceCount; ++v) ApplyPitch(v);
}

bool vSound::IsPlaying()
{
    for (int v = 0; v < m_voiceCount; ++v) {
        DWORD status = 0;
        if (SUCCEEDED(m_voices[v]->GetStatus(&status)) && (status & DSBSTATUS_PLAYING)) return true;
    }
    return false;
}

float vSound::GetDuration() const
{
    if (!m_loaded || m_rate == 0 || m_frameBytes == 0) return 0.0f;
    return float(m_bytes / m_frameBytes) / float(m_rate);
}

void vSound::Kill()
{
    for (int v = 0; v < m_voiceCount; ++v) {
        m_voices[v]->Stop();
        m_voices[v]->Release();
        m_voices[v] = nullptr;
        m_started[v] = 0;
    }
    m_voiceCount = 0;
    m_plays = 0;
    m_rate = m_bytes = m_frameBytes = 0;
    m_loaded = false;
    m_looping = false;
}

void vSound::ApplyVolume(int voice)
{
    m_voices[voice]->SetVolume(vaudio::detail::VolumeOfAmplitude(m_volume));
}

void vSound::ApplyPitch(int voice)
{
    double frequency = double(m_rate) * double(m_pitch);
    if (frequency < DSBFREQUENCY_MIN) frequency = DSBFREQUENCY_MIN;
    if (frequency > DSBFREQUENCY_MAX) frequency = DSBFREQUENCY_MAX;
    m_voices[voice]->SetFrequency(DWORD(frequency + 0.5));
}
