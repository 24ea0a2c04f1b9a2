#include "vAudio.h"

#include "audio/detail/AudioLevels.h"

vAudio::vAudio() : m_device(nullptr), m_primary(nullptr), m_masterVolume(1.0f) {}

vAudio::~vAudio()
{
    Kill();
}

long vAudio::Init(HWND window)
{
    Kill();
    IDirectSound8* device = nullptr;
    // No output is said once on standard error by the sound layer itself.
    if (FAILED(DirectSoundCreate8(NULL, &device, NULL)) || !device) return E_FAIL;
    if (FAILED(device->SetCooperativeLevel(window, DSSCL_PRIORITY))) {
        device->Release();
        return E_FAIL;
    }
    m_device = device;

    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRLVOLUME;
    if (FAILED(m_device->CreateSoundBuffer(&desc, &m_primary, NULL))) m_primary = nullptr;
    SetMasterVolume(m_masterVolume);
    return S_OK;
}

void vAudio::Kill()
{
    if (m_primary) m_primary->Release();
    m_primary = nullptr;
    if (m_device) m_device->Release();
    m_device = nullptr;
}

void vAudio::SetMasterVolume(float volume)
{
    m_masterVolume = vaudio::detail::Clamp01(volume);
    if (m_primary) m_primary->SetVolume(vaudio::detail::VolumeOfAmplitude(m_masterVolume));
}
