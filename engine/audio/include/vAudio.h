// The sound device of a program: one per program, opened on its window.
// Every vSound is loaded for one and plays on it. Part of the engine's sound
// library (Vorpex::Audio), which a program without sound need not link.
//
//   vAudio audio;  audio.Init(window);          once, after the window exists
//   vSound coin;   coin.LoadSound(audio, "kMedia\\sounds\\coin.wav");
//   coin.Play();                                 whenever it happens
//
// Without audio output (no sound card or server, a headless machine) Init
// says why in one line on standard error, and every sound loads as usual and
// plays nothing: a program behaves the same with sound and without.
#pragma once

#include <windows.h>
#include <dsound.h>

class vAudio {
public:
    vAudio();
    ~vAudio();  // Kill
    vAudio(const vAudio&) = delete;
    vAudio& operator=(const vAudio&) = delete;

    // Opens the default audio output for window (DSSCL_PRIORITY). S_OK when
    // it plays, or plays into nothing; E_FAIL without any output, when every
    // sound is silent. A device held before is closed first.
    long Init(HWND window);
    // Lets the device go; sounds loaded on it keep it until they are killed.
    void Kill();
    bool IsAvailable() const { return m_device != nullptr; }  // Init found an output

    // The volume of everything played, 0 (silent) ... 1 (as recorded),
    // clamped; kept across Init, 1 at first.
    void SetMasterVolume(float volume);
    float GetMasterVolume() const { return m_masterVolume; }  // the volume SetMasterVolume stored

    IDirectSound8* GetDevice() { return m_device; }  // borrowed; null without output

private:
    IDirectSound8* m_device;        // one reference, null without output
    IDirectSoundBuffer* m_primary;  // the mix, for the master volume; may be null
    float m_masterVolume;
};
