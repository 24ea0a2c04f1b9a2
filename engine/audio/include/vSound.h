// A sound loaded from a RIFF WAVE file, played on a vAudio device: once
// (overlapping plays take free voices), or looping, with its own volume and
// pitch. A copy would share voices, so there are none.
#pragma once

#include <windows.h>
#include <dsound.h>

class vAudio;

class vSound {
public:
    static constexpr int kMaxVoices = 16;  // voices a sound can play at once

    vSound();
    ~vSound();  // Kill
    vSound(const vSound&) = delete;
    vSound& operator=(const vSound&) = delete;

    // Loads the file (a system name: "kMedia\\sounds\\coin.wav"; PCM, 8 or 16
    // bits, mono or stereo, DSBFREQUENCY_MIN ... DSBFREQUENCY_MAX Hz) with
    // voices (1 ... kMaxVoices, clamped) for overlapping plays. 0; or E_FAIL
    // with an "Error!" box and a line on standard error naming the file and
    // why, leaving a sound that plays nothing. A device without output loads
    // the file all the same (0) and plays nothing. A sound held before is
    // killed first.
    long LoadSound(vAudio& audio, const char* file, int voices = 4);
    // From the start on a voice that is not playing; when all are, the one
    // started longest ago starts again. Nothing when not loaded.
    void Play();
    // Plays on without end on its own voice (the first) until Stop; a loop
    // already playing carries on.
    void Loop();
    // Every voice stops; the next Play or Loop starts from the beginning.
    void Stop();
    // 0 (silent) ... 1 (as recorded), clamped, on every voice, now and later.
    void SetVolume(float volume);
    float GetVolume() const { return m_volume; }  // the volume SetVolume stored
    // Playback rate as a factor of the recorded one (2: an octave up and
    // twice as fast), clamped to what the sound layer plays, on every voice.
    void SetPitch(float ratio);
    float GetPitch() const { return m_pitch; }  // the ratio SetPitch stored (1 at first)

    bool IsLoaded() const { return m_loaded; }    // the last load succeeded
    bool IsPlaying();                             // some voice is playing
    bool IsLooping() const { return m_looping; }  // Loop was called and Stop not since
    float GetDuration() const;                    // seconds of the file's samples; 0 when not loaded
    // Releases every voice; safe to call again.
    void Kill();

private:
    void ApplyVolume(int voice);
    void ApplyPitch(int voice);

    IDirectSoundBuffer* m_voices[kMaxVoices];  // one reference each; [0] the loaded buffer, the rest duplicates
    unsigned long m_started[kMaxVoices];       // when each voice last started, in plays
    int m_voiceCount;                          // voices held; 0 without output
    unsigned long m_plays;
    DWORD m_rate;   // the file's frames a second
    DWORD m_bytes;  // the file's sample bytes
    DWORD m_frameBytes;
    float m_volume;
    float m_pitch;
    bool m_loaded;
    bool m_looping;
};
