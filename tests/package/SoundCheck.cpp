// A program of a user's own built against the installed sound library
// alone: it opens the device (or learns there is none), loads the WAVE file
// it is given and plays it. Exit 0 when the sound loaded.
//   sound_check <file.wav>
#include <vAudio.h>
#include <vSound.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    vAudio audio;
    const bool output = SUCCEEDED(audio.Init(NULL));
    vSound sound;
    if (FAILED(sound.LoadSound(audio, argv[1]))) return 1;
    sound.Play();
    std::printf("loaded %.3f s, %s\n", sound.GetDuration(), output ? "playing" : "no output");
    return sound.IsLoaded() ? 0 : 1;
}
