// DirectSound 8: the sound device and its buffers, with the names, records
// and values of the platform's own header, over OpenAL Soft.
//
//   DirectSoundCreate8 --> IDirectSound8 --CreateSoundBuffer--> IDirectSoundBuffer
//                                                  QueryInterface --> IDirectSoundBuffer8
//
// A secondary buffer is an OpenAL buffer (the PCM bytes) and an OpenAL source
// (the voice: play cursor, volume, pan, frequency). DuplicateSoundBuffer makes
// another voice on the same bytes. The primary buffer is the mix itself: its
// volume is the volume of everything the device plays.
//
// Without audio output (no sound server, no sound card, a headless machine)
// DirectSoundCreate8 either gives a device that plays into nothing, or fails
// with DSERR_NODRIVER; one line on standard error says which and why.
#pragma once

#include <windows.h>
#include <unknwn.h>

// ---------------------------------------------------------------------------
// Results.
#define _FACDS 0x878
#define MAKE_DSHRESULT(code) ((HRESULT)(0x88780000u | (DWORD)(code)))

#define DS_OK S_OK                                    // success
#define DSERR_ALLOCATED MAKE_DSHRESULT(10)            // the resource is in use elsewhere
#define DSERR_CONTROLUNAVAIL MAKE_DSHRESULT(30)       // the buffer was not created with the control asked for
#define DSERR_INVALIDPARAM E_INVALIDARG               // an argument is out of range or a pointer is NULL
#define DSERR_INVALIDCALL MAKE_DSHRESULT(50)          // the call is not valid in the object's present state
#define DSERR_GENERIC E_FAIL                          // a failure with no closer code
#define DSERR_PRIOLEVELNEEDED MAKE_DSHRESULT(70)      // the cooperative level is too low for the call (none set yet)
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY               // memory ran out
#define DSERR_BADFORMAT MAKE_DSHRESULT(100)           // the wave format is not one a buffer can hold
#define DSERR_UNSUPPORTED E_NOTIMPL                   // the call is not implemented
#define DSERR_NODRIVER MAKE_DSHRESULT(120)            // no audio output could be opened
#define DSERR_ALREADYINITIALIZED MAKE_DSHRESULT(130)  // the object was initialized already
#define DSERR_NOAGGREGATION ((HRESULT)0x80040110u)    // an outer object was given; aggregation is not supported
#define DSERR_BUFFERLOST MAKE_DSHRESULT(150)          // the buffer's memory was lost and must be restored
#define DSERR_OTHERAPPHASPRIO MAKE_DSHRESULT(160)     // another program holds a higher cooperative level
#define DSERR_UNINITIALIZED MAKE_DSHRESULT(170)       // the object has not been initialized
#define DSERR_NOINTERFACE E_NOINTERFACE               // the interface asked for is not there
#define DSERR_ACCESSDENIED ((HRESULT)0x80070005u)     // access to the output was refused
#define DSERR_OBJECTNOTFOUND ((HRESULT)0x88781161u)   // the object asked for does not exist

// ---------------------------------------------------------------------------
// Wave formats.
#define WAVE_FORMAT_PCM 1

// Packed to 18 bytes as the platform's record is, so it reads straight from a
// wave file's "fmt " chunk and sizeof matches what callers expect.
#pragma pack(push, 1)
typedef struct tWAVEFORMATEX {
    WORD wFormatTag;              // WAVE_FORMAT_PCM
    WORD nChannels;               // 1 or 2
    DWORD nSamplesPerSec;         // frames a second
    DWORD nAvgBytesPerSec;        // nSamplesPerSec * nBlockAlign
    WORD nBlockAlign;             // nChannels * wBitsPerSample / 8
    WORD wBitsPerSample;          // 8 (unsigned) or 16 (signed)
    WORD cbSize;                  // extra bytes after the record; 0 for PCM
} WAVEFORMATEX, *LPWAVEFORMATEX;  // the record and a pointer to it
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is the platform's 18-byte record");
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;  // pointer to a read-only WAVEFORMATEX

// ---------------------------------------------------------------------------
// Cooperative levels.
#define DSSCL_NORMAL 0x00000001
#define DSSCL_PRIORITY 0x00000002
#define DSSCL_EXCLUSIVE 0x00000003
#define DSSCL_WRITEPRIMARY 0x00000004

// Buffer capabilities (DSBUFFERDESC::dwFlags, DSBCAPS::dwFlags).
#define DSBCAPS_PRIMARYBUFFER 0x00000001
#define DSBCAPS_STATIC 0x00000002
#define DSBCAPS_LOCHARDWARE 0x00000004
#define DSBCAPS_LOCSOFTWARE 0x00000008
#define DSBCAPS_CTRL3D 0x00000010
#define DSBCAPS_CTRLFREQUENCY 0x00000020
#define DSBCAPS_CTRLPAN 0x00000040
#define DSBCAPS_CTRLVOLUME 0x00000080
#define DSBCAPS_CTRLPOSITIONNOTIFY 0x00000100
#define DSBCAPS_CTRLFX 0x00000200
#define DSBCAPS_STICKYFOCUS 0x00004000
#define DSBCAPS_GLOBALFOCUS 0x00008000
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000
#define DSBCAPS_MUTE3DATMAXDISTANCE 0x00020000
#define DSBCAPS_LOCDEFER 0x00040000

// Device capabilities (DSCAPS::dwFlags).
#define DSCAPS_PRIMARYMONO 0x00000001
#define DSCAPS_PRIMARYSTEREO 0x00000002
#define DSCAPS_PRIMARY8BIT 0x00000004
#define DSCAPS_PRIMARY16BIT 0x00000008
#define DSCAPS_CONTINUOUSRATE 0x00000010
#define DSCAPS_EMULDRIVER 0x00000020
#define DSCAPS_CERTIFIED 0x00000040
#define DSCAPS_SECONDARYMONO 0x00000100
#define DSCAPS_SECONDARYSTEREO 0x00000200
#define DSCAPS_SECONDARY8BIT 0x00000400
#define DSCAPS_SECONDARY16BIT 0x00000800

// Play, status and lock flags.
#define DSBPLAY_LOOPING 0x00000001
#define DSBSTATUS_PLAYING 0x00000001
#define DSBSTATUS_BUFFERLOST 0x00000002
#define DSBSTATUS_LOOPING 0x00000004
#define DSBLOCK_FROMWRITECURSOR 0x00000001
#define DSBLOCK_ENTIREBUFFER 0x00000002

// Ranges: volume in hundredths of a decibel of attenuation, pan in the same
// unit (negative: the right channel attenuated), frequency in frames a second.
#define DSBVOLUME_MIN -10000
#define DSBVOLUME_MAX 0
#define DSBPAN_LEFT -10000
#define DSBPAN_CENTER 0
#define DSBPAN_RIGHT 10000
#define DSBFREQUENCY_ORIGINAL 0
#define DSBFREQUENCY_MIN 100
#define DSBFREQUENCY_MAX 200000
#define DSBSIZE_MIN 4
#define DSBSIZE_MAX 0x0FFFFFFF

// ---------------------------------------------------------------------------
// Records.
typedef struct _DSBUFFERDESC {
    DWORD dwSize;                             // sizeof(DSBUFFERDESC)
    DWORD dwFlags;                            // DSBCAPS_*; the controls used later must be asked for here
    DWORD dwBufferBytes;                      // DSBSIZE_MIN ... DSBSIZE_MAX, whole frames; 0 for the primary buffer
    DWORD dwReserved;                         // 0
    LPWAVEFORMATEX lpwfxFormat;               // the secondary buffer's format; NULL for the primary buffer
    GUID guid3DAlgorithm;                     // accepted and ignored
} DSBUFFERDESC, *LPDSBUFFERDESC;              // the record and a pointer to it
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;  // pointer to a read-only DSBUFFERDESC

// A buffer's capabilities, filled by IDirectSoundBuffer::GetCaps.
typedef struct _DSBCAPS {
    DWORD dwSize;                // sizeof(DSBCAPS), set by the caller
    DWORD dwFlags;               // DSBCAPS_* the buffer was created with
    DWORD dwBufferBytes;         // the buffer's size in bytes
    DWORD dwUnlockTransferRate;  // 0: no hardware transfer
    DWORD dwPlayCpuOverhead;     // 0: the mix costs no measured processor share
} DSBCAPS, *LPDSBCAPS;           // the record and a pointer to it

// The device's capabilities, filled by IDirectSound8::GetCaps.
typedef struct _DSCAPS {
    DWORD dwSize;                          // sizeof(DSCAPS), set by the caller
    DWORD dwFlags;                         // DSCAPS_* the output offers
    DWORD dwMinSecondarySampleRate;        // lowest frame rate a secondary buffer may have (DSBFREQUENCY_MIN)
    DWORD dwMaxSecondarySampleRate;        // highest frame rate a secondary buffer may have (DSBFREQUENCY_MAX)
    DWORD dwPrimaryBuffers;                // 1: the one primary buffer
    DWORD dwMaxHwMixingAllBuffers;         // 0: no hardware mixing
    DWORD dwMaxHwMixingStaticBuffers;      // 0: no hardware mixing
    DWORD dwMaxHwMixingStreamingBuffers;   // 0: no hardware mixing
    DWORD dwFreeHwMixingAllBuffers;        // 0: no hardware mixing
    DWORD dwFreeHwMixingStaticBuffers;     // 0: no hardware mixing
    DWORD dwFreeHwMixingStreamingBuffers;  // 0: no hardware mixing
    DWORD dwMaxHw3DAllBuffers;             // 0: no hardware 3D voices
    DWORD dwMaxHw3DStaticBuffers;          // 0: no hardware 3D voices
    DWORD dwMaxHw3DStreamingBuffers;       // 0: no hardware 3D voices
    DWORD dwFreeHw3DAllBuffers;            // 0: no hardware 3D voices
    DWORD dwFreeHw3DStaticBuffers;         // 0: no hardware 3D voices
    DWORD dwFreeHw3DStreamingBuffers;      // 0: no hardware 3D voices
    DWORD dwTotalHwMemBytes;               // 0: no sound-card memory
    DWORD dwFreeHwMemBytes;                // 0: no sound-card memory
    DWORD dwMaxContigFreeHwMemBytes;       // 0: no sound-card memory
    DWORD dwUnlockTransferRateHwBuffers;   // 0: no hardware transfer
    DWORD dwPlayCpuOverheadSwBuffers;      // 0: the mix costs no measured processor share
    DWORD dwReserved1;                     // reserved, 0
    DWORD dwReserved2;                     // reserved, 0
} DSCAPS, *LPDSCAPS;                       // the record and a pointer to it

// ---------------------------------------------------------------------------
// Interfaces.
// {279AFA85-4981-11CE-A521-0020AF0BE560}
constexpr GUID IID_IDirectSoundBuffer = {0x279AFA85, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
// {6825A449-7524-4D82-920F-50E36AB3AB1E}
constexpr GUID IID_IDirectSoundBuffer8 = {0x6825A449, 0x7524, 0x4D82, {0x92, 0x0F, 0x50, 0xE3, 0x6A, 0xB3, 0xAB, 0x1E}};
// {C50A7E93-F395-4834-9EF6-7FA99DE50966}
constexpr GUID IID_IDirectSound8 = {0xC50A7E93, 0xF395, 0x4834, {0x9E, 0xF6, 0x7F, 0xA9, 0x9D, 0xE5, 0x09, 0x66}};

// A sound buffer. Methods in the platform's order.
struct IDirectSoundBuffer : public IUnknown {
    virtual HRESULT GetCaps(LPDSBCAPS caps) = 0;  // DSERR_INVALIDPARAM without dwSize set
    // Play and write cursors as byte offsets into the buffer. The write cursor
    // is where data may be written safely: at the play cursor when stopped.
    virtual HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) = 0;
    // Copies the format (at most sizeAllocated bytes) to format; *sizeWritten
    // gets the bytes it holds. format NULL: *sizeWritten gets the size needed.
    virtual HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) = 0;
    virtual HRESULT GetVolume(LONG* volume) = 0;          // DSERR_CONTROLUNAVAIL without DSBCAPS_CTRLVOLUME
    virtual HRESULT GetPan(LONG* pan) = 0;                // DSERR_CONTROLUNAVAIL without DSBCAPS_CTRLPAN
    virtual HRESULT GetFrequency(LPDWORD frequency) = 0;  // DSERR_CONTROLUNAVAIL without DSBCAPS_CTRLFREQUENCY
    virtual HRESULT GetStatus(LPDWORD status) = 0;        // DSBSTATUS_PLAYING, with DSBSTATUS_LOOPING while looping
    virtual HRESULT Initialize(IUnknown* directSound, LPCDSBUFFERDESC desc) = 0;  // DSERR_ALREADYINITIALIZED
    // The bytes [offset, offset + bytes) of the buffer, wrapping at its end:
    // *part1 gets the first stretch, *part2 the wrapped rest (NULL and 0 when
    // none). DSBLOCK_ENTIREBUFFER locks all; DSBLOCK_FROMWRITECURSOR starts at
    // the write cursor. DSERR_INVALIDPARAM for bytes past the buffer's size;
    // DSERR_INVALIDCALL while already locked.
    virtual HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2, LPDWORD bytes2,
                         DWORD flags) = 0;
    // Starts (or keeps) playing from the play cursor; DSBPLAY_LOOPING wraps at
    // the end instead of stopping there. reserved1 must be 0; priority is ignored.
    virtual HRESULT Play(DWORD reserved1, DWORD priority, DWORD flags) = 0;
    virtual HRESULT SetCurrentPosition(DWORD newPosition) = 0;  // DSERR_INVALIDPARAM past the end
    virtual HRESULT SetFormat(LPCWAVEFORMATEX format) = 0;      // primary buffer only; DSERR_INVALIDCALL otherwise
    // DSBVOLUME_MIN (silent) ... DSBVOLUME_MAX (as recorded); DSERR_INVALIDPARAM outside.
    virtual HRESULT SetVolume(LONG volume) = 0;
    // DSBPAN_LEFT ... DSBPAN_RIGHT; DSERR_INVALIDPARAM outside. A mono voice
    // is placed in front of the listener where OpenAL's panning lowers the
    // far channel by |pan| / 100 dB (to about half a decibel; silent from
    // about 46 dB on), its gain keeping the near channel at the voice's
    // volume; centre is exactly centred. A stereo voice's channels play
    // straight to their own speakers: its pan is kept but not heard.
    virtual HRESULT SetPan(LONG pan) = 0;
    // DSBFREQUENCY_MIN ... DSBFREQUENCY_MAX, or DSBFREQUENCY_ORIGINAL for the
    // format's own rate; DSERR_INVALIDPARAM outside. Changes pitch and speed together.
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
    virtual HRESULT Stop() = 0;  // the play cursor stays where it stopped
    // Ends a Lock with the pointers and the byte counts written; the bytes are
    // heard from then on (a playing voice carries on from its cursor, faded
    // back in over one mix period). DSERR_INVALIDPARAM for pointers or counts
    // the Lock did not hand out; DSERR_INVALIDCALL when not locked.
    virtual HRESULT Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) = 0;
    virtual HRESULT Restore() = 0;  // buffers are never lost here: DS_OK
};
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;  // pointer to a sound buffer

// A secondary buffer's DirectSound 8 interface (QueryInterface with
// IID_IDirectSoundBuffer8); the primary buffer has none.
struct IDirectSoundBuffer8 : public IDirectSoundBuffer {
    virtual HRESULT SetFX(DWORD effects, void* descriptions, LPDWORD results) = 0;      // DSERR_CONTROLUNAVAIL
    virtual HRESULT AcquireResources(DWORD flags, DWORD effects, LPDWORD results) = 0;  // DS_OK: always in software
    virtual HRESULT GetObjectInPath(REFGUID object, DWORD index, REFGUID iface,
                                    LPVOID* out) = 0;  // DSERR_OBJECTNOTFOUND
};
typedef IDirectSoundBuffer8* LPDIRECTSOUNDBUFFER8;  // pointer to a sound buffer (version 8)

// The sound device.
struct IDirectSound8 : public IUnknown {
    // A new buffer, *buffer holding its one reference. The primary buffer
    // (DSBCAPS_PRIMARYBUFFER, no format, 0 bytes) is the device's one mix.
    // A secondary buffer needs a PCM format (8 or 16 bits, 1 or 2 channels,
    // DSBFREQUENCY_MIN ... DSBFREQUENCY_MAX) and a size of whole frames;
    // DSERR_BADFORMAT, DSERR_INVALIDPARAM otherwise. outer must be NULL.
    // The new buffer's bytes are silence.
    virtual HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, IUnknown* outer) = 0;
    virtual HRESULT GetCaps(LPDSCAPS caps) = 0;  // DSERR_INVALIDPARAM without dwSize set
    // A new voice on original's bytes, stopped at 0, with its volume, pan and
    // frequency; DSERR_INVALIDCALL for the primary buffer.
    virtual HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) = 0;
    // Must come before any buffer is created: DSERR_PRIOLEVELNEEDED until then.
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    virtual HRESULT Compact() = 0;                               // DS_OK
    virtual HRESULT GetSpeakerConfig(LPDWORD config) = 0;        // DSSPEAKER_STEREO
    virtual HRESULT SetSpeakerConfig(DWORD config) = 0;          // accepted and ignored
    virtual HRESULT Initialize(LPCGUID device) = 0;              // DSERR_ALREADYINITIALIZED
    virtual HRESULT VerifyCertification(LPDWORD certified) = 0;  // DS_UNCERTIFIED
};
typedef IDirectSound8* LPDIRECTSOUND8;  // pointer to the sound device

// Speaker configuration GetSpeakerConfig answers, and the answers of VerifyCertification.
#define DSSPEAKER_STEREO 0x00000004
#define DS_CERTIFIED 0x00000000
#define DS_UNCERTIFIED 0x00000001

// Opens the default audio output (device must be NULL or the default's GUID
// DSDEVID_DefaultPlayback) and gives the device in *ds with one reference.
// DSERR_NODRIVER, *ds NULL, when no output can be opened at all; a line on
// standard error says why. An output that plays into nothing (OpenAL Soft's
// null back end) succeeds and says so once. outer must be NULL.
HRESULT DirectSoundCreate8(LPCGUID device, LPDIRECTSOUND8* ds, LPUNKNOWN outer);

// {DEF00000-9C6D-47ED-AAF1-4DDA8F2B5C03}
constexpr GUID DSDEVID_DefaultPlayback = {0xDEF00000, 0x9C6D, 0x47ED, {0xAA, 0xF1, 0x4D, 0xDA, 0x8F, 0x2B, 0x5C, 0x03}};
