// The sound library (Vorpex::Audio): the device owner and the sound.
#include "SymbolTable.h"

#include "vAudio.h"
#include "vSound.h"

VORPEX_SYMBOLS{
    VORPEX_SYMBOL(&vAudio::Init),
    VORPEX_SYMBOL(&vAudio::Kill),
    VORPEX_SYMBOL(&vAudio::IsAvailable),
    VORPEX_SYMBOL(&vAudio::SetMasterVolume),
    VORPEX_SYMBOL(&vAudio::GetMasterVolume),
    VORPEX_SYMBOL(&vAudio::GetDevice),

    VORPEX_SYMBOL(&vSound::LoadSound),
    VORPEX_SYMBOL(&vSound::Play),
    VORPEX_SYMBOL(&vSound::Loop),
    VORPEX_SYMBOL(&vSound::Stop),
    VORPEX_SYMBOL(&vSound::SetVolume),
    VORPEX_SYMBOL(&vSound::GetVolume),
    VORPEX_SYMBOL(&vSound::SetPitch),
    VORPEX_SYMBOL(&vSound::GetPitch),
    VORPEX_SYMBOL(&vSound::IsLoaded),
    VORPEX_SYMBOL(&vSound::IsPlaying),
    VORPEX_SYMBOL(&vSound::IsLooping),
    VORPEX_SYMBOL(&vSound::GetDuration),
    VORPEX_SYMBOL(&vSound::Kill),

    VORPEX_SYMBOL(&DirectSoundCreate8),
};
