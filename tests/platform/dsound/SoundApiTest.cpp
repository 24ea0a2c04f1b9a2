// The calls' contracts: bad arguments refused with outputs left alone,
// controls only where asked for, Lock's ranges, cursors, interfaces and
// reference counts, capabilities.
#include "SoundTestKit.h"

using namespace soundtest;

namespace {

class DSoundApi : public LoopbackTest {
protected:
    HRESULT Create(DWORD flags, DWORD bytes, const WAVEFORMATEX* format, IDirectSoundBuffer** out,
                   DWORD size = sizeof(DSBUFFERDESC))
    {
        WAVEFORMATEX copy = format ? *format : WAVEFORMATEX{};
        DSBUFFERDESC desc = {size, flags, bytes, 0, format ? &copy : nullptr, {}};
        HRESULT hr = ds->CreateSoundBuffer(&desc, out, nullptr);
        if (hr == DS_OK) Own(*out);
        return hr;
    }
    IDirectSoundBuffer* Primary(DWORD flags = 0)
    {
        IDirectSoundBuffer* p = nullptr;
        EXPECT_EQ(Create(DSBCAPS_PRIMARYBUFFER | flags, 0, nullptr, &p), DS_OK);
        return p;
    }
};

const WAVEFORMATEX kMono16 = Format(22050, 1, 16);

TEST_F(DSoundApi, CreationRefusesBadArguments)
{
    IDirectSound8* other = reinterpret_cast<IDirectSound8*>(0x1);
    int outer = 0;
    EXPECT_EQ(DirectSoundCreate8(nullptr, nullptr, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(DirectSoundCreate8(nullptr, &other, reinterpret_cast<IUnknown*>(&outer)), DSERR_NOAGGREGATION);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(DirectSoundCreate8(&IID_IDirectSound8, &other, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(other, nullptr);

    // Buffers wait for the cooperative level.
    IDirectSound8* fresh = nullptr;
    ASSERT_EQ(DirectSoundCreate8(&DSDEVID_DefaultPlayback, &fresh, nullptr), DS_OK);
    WAVEFORMATEX f = kMono16;
    DSBUFFERDESC desc = {sizeof desc, 0, 4410, 0, &f, {}};
    IDirectSoundBuffer* b = reinterpret_cast<IDirectSoundBuffer*>(0x1);
    EXPECT_EQ(fresh->CreateSoundBuffer(&desc, &b, nullptr), DSERR_PRIOLEVELNEEDED);
    EXPECT_EQ(fresh->SetCooperativeLevel(nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(fresh->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
    EXPECT_EQ(fresh->CreateSoundBuffer(nullptr, &b, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(fresh->CreateSoundBuffer(&desc, nullptr, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(fresh->CreateSoundBuffer(&desc, &b, reinterpret_cast<IUnknown*>(&outer)), DSERR_NOAGGREGATION);
    EXPECT_EQ(b, reinterpret_cast<IDirectSoundBuffer*>(0x1));
    EXPECT_EQ(fresh->Release(), 0u);

    // Records, formats and sizes.
    EXPECT_EQ(Create(0, 4410, &kMono16, &b, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(Create(0, 4410, nullptr, &b), DSERR_INVALIDPARAM);
    struct BadFormat {
        WAVEFORMATEX f;
        HRESULT expected;
    };
    auto with = [](auto change) {
        WAVEFORMATEX f = kMono16;
        change(f);
        return f;
    };
    const BadFormat bad[] = {
        {with([](WAVEFORMATEX& f) { f.wFormatTag = 3; }), DSERR_BADFORMAT},
        {with([](WAVEFORMATEX& f) { f = Format(22050, 0, 16); }), DSERR_BADFORMAT},
        {with([](WAVEFORMATEX& f) { f = Format(22050, 3, 16); }), DSERR_BADFORMAT},
        {with([](WAVEFORMATEX& f) { f = Format(22050, 1, 12); }), DSERR_BADFORMAT},
        {with([](WAVEFORMATEX& f) { f.nBlockAlign = 4; }), DSERR_BADFORMAT},
        {with([](WAVEFORMATEX& f) { f.nAvgBytesPerSec = 22050; }), DSERR_BADFORMAT},
        {with([](WAVEFORMATEX& f) { f = Format(DSBFREQUENCY_MIN - 1, 1, 16); }), DSERR_BADFORMAT},
        {with([](WAVEFORMATEX& f) { f = Format(DSBFREQUENCY_MAX + 1, 1, 16); }), DSERR_BADFORMAT},
    };
    for (const BadFormat& c : bad) EXPECT_EQ(Create(0, 4410, &c.f, &b), c.expected);
    for (DWORD size : {0u, 2u, 4411u, DWORD{DSBSIZE_MAX} + 1})
        EXPECT_EQ(Create(0, size, &kMono16, &b), DSERR_INVALIDPARAM);
    EXPECT_EQ(Create(DSBCAPS_PRIMARYBUFFER, 4410, nullptr, &b), DSERR_INVALIDPARAM);
    EXPECT_EQ(Create(DSBCAPS_PRIMARYBUFFER, 0, &kMono16, &b), DSERR_INVALIDPARAM);
    EXPECT_EQ(Create(DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRLFREQUENCY, 0, nullptr, &b), DSERR_INVALIDPARAM);
    EXPECT_EQ(b, reinterpret_cast<IDirectSoundBuffer*>(0x1));

    // The smallest, and the older record without guid3DAlgorithm.
    EXPECT_EQ(Create(0, DSBSIZE_MIN, &kMono16, &b), DS_OK);
    EXPECT_EQ(Create(0, 4410, &kMono16, &b, offsetof(DSBUFFERDESC, guid3DAlgorithm)), DS_OK);

    IDirectSoundBuffer* dup = nullptr;
    EXPECT_EQ(ds->DuplicateSoundBuffer(nullptr, &dup), DSERR_INVALIDPARAM);
    EXPECT_EQ(ds->DuplicateSoundBuffer(b, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(ds->DuplicateSoundBuffer(Primary(), &dup), DSERR_INVALIDCALL);
    EXPECT_EQ(dup, nullptr);
}

TEST_F(DSoundApi, ControlsWorkOnlyWhereAskedFor)
{
    IDirectSoundBuffer* plain = nullptr;
    ASSERT_EQ(Create(0, 4410, &kMono16, &plain), DS_OK);
    LONG value = 7;
    DWORD frequency = 7;
    EXPECT_EQ(plain->SetVolume(-100), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->GetVolume(&value), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->SetPan(100), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->GetPan(&value), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->SetFrequency(11025), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->GetFrequency(&frequency), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(Primary()->SetVolume(-100), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(value, 7);
    EXPECT_EQ(frequency, 7u);

    IDirectSoundBuffer* b = nullptr;
    ASSERT_EQ(Create(DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY, 4410, &kMono16, &b), DS_OK);
    EXPECT_EQ(b->GetVolume(&value), DS_OK);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(b->GetFrequency(&frequency), DS_OK);
    EXPECT_EQ(frequency, 22050u);
    EXPECT_EQ(b->SetVolume(DSBVOLUME_MIN - 1), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetVolume(DSBVOLUME_MAX + 1), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetPan(DSBPAN_LEFT - 1), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetPan(DSBPAN_RIGHT + 1), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetFrequency(DSBFREQUENCY_MIN - 1), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetFrequency(DSBFREQUENCY_MAX + 1), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->GetVolume(nullptr), DSERR_INVALIDPARAM);

    EXPECT_EQ(b->SetVolume(-2500), DS_OK);
    EXPECT_EQ(b->SetPan(DSBPAN_LEFT), DS_OK);
    EXPECT_EQ(b->SetFrequency(DSBFREQUENCY_MAX), DS_OK);
    EXPECT_EQ(b->GetVolume(&value), DS_OK);
    EXPECT_EQ(value, -2500);
    EXPECT_EQ(b->GetPan(&value), DS_OK);
    EXPECT_EQ(value, DSBPAN_LEFT);
    EXPECT_EQ(b->GetFrequency(&frequency), DS_OK);
    EXPECT_EQ(frequency, DWORD{DSBFREQUENCY_MAX});
}

TEST_F(DSoundApi, LockHandsOutTheBytesItWasAskedFor)
{
    // 8-bit mono, 100 bytes: a new buffer is unsigned silence.
    IDirectSoundBuffer* b = nullptr;
    const WAVEFORMATEX mono8 = Format(22050, 1, 8);
    ASSERT_EQ(Create(0, 100, &mono8, &b), DS_OK);
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(b->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
    ASSERT_EQ(n1, 100u);
    EXPECT_EQ(p2, nullptr);
    EXPECT_EQ(n2, 0u);
    auto* base = static_cast<BYTE*>(p1);
    for (DWORD i = 0; i < n1; ++i) EXPECT_EQ(base[i], 0x80) << i;
    EXPECT_EQ(b->Lock(0, 10, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDCALL);  // already locked
    EXPECT_EQ(b->Unlock(base + 1, 100, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Unlock(base, 101, nullptr, 0), DSERR_INVALIDPARAM);
    ASSERT_EQ(b->Unlock(base, 100, nullptr, 0), DS_OK);
    EXPECT_EQ(b->Unlock(base, 100, nullptr, 0), DSERR_INVALIDCALL);  // not locked

    // Past the end: the rest wraps into part 2.
    ASSERT_EQ(b->Lock(90, 30, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(p1, base + 90);
    EXPECT_EQ(n1, 10u);
    EXPECT_EQ(p2, base);
    EXPECT_EQ(n2, 20u);
    ASSERT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);

    // From the write cursor: the play cursor while stopped.
    ASSERT_EQ(b->SetCurrentPosition(40), DS_OK);
    ASSERT_EQ(b->Lock(0, 10, &p1, &n1, &p2, &n2, DSBLOCK_FROMWRITECURSOR), DS_OK);
    EXPECT_EQ(p1, base + 40);
    ASSERT_EQ(b->Unlock(p1, n1, nullptr, 0), DS_OK);

    // Refused: outputs untouched and no lock left behind.
    p1 = p2 = reinterpret_cast<void*>(0x1);
    n1 = n2 = 7;
    EXPECT_EQ(b->Lock(0, 101, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Lock(100, 1, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Lock(0, 0, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Lock(90, 30, &p1, &n1, nullptr, nullptr, 0), DSERR_INVALIDPARAM);  // no room for part 2
    EXPECT_EQ(b->Lock(0, 10, nullptr, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(p1, reinterpret_cast<void*>(0x1));
    EXPECT_EQ(n1, 7u);
    EXPECT_EQ(b->Lock(0, 10, &p1, &n1, nullptr, nullptr, 0), DS_OK);
    ASSERT_EQ(b->Unlock(p1, n1, nullptr, 0), DS_OK);

    EXPECT_EQ(Primary()->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DSERR_PRIOLEVELNEEDED);
}

TEST_F(DSoundApi, CursorsAreWholeFramesInsideTheBuffer)
{
    IDirectSoundBuffer* b = nullptr;
    const WAVEFORMATEX stereo16 = Format(kMixRate, 2, 16);
    ASSERT_EQ(Create(0, 4 * 4800, &stereo16, &b), DS_OK);
    EXPECT_EQ(b->SetCurrentPosition(4 * 4800), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetCurrentPosition(4 * 100 + 3), DS_OK);
    DWORD play = 0, write = 0;
    EXPECT_EQ(b->GetCurrentPosition(nullptr, nullptr), DSERR_INVALIDPARAM);
    ASSERT_EQ(b->GetCurrentPosition(&play, &write), DS_OK);
    EXPECT_EQ(play, 4u * 100);
    EXPECT_EQ(write, play);

    // Playing near the end: the write cursor runs about 10 ms ahead, wrapped.
    ASSERT_EQ(b->SetCurrentPosition(4 * 4700), DS_OK);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(b->GetCurrentPosition(&play, &write), DS_OK);
    EXPECT_EQ(play, 4u * 4700);
    EXPECT_EQ(write % 4, 0u);
    const DWORD ahead = (write + 4 * 4800 - play) % (4 * 4800);
    EXPECT_GE(ahead, 4u * 480);
    EXPECT_LE(ahead, 4u * 500);
    EXPECT_EQ(b->Play(1, 0, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(Primary()->SetCurrentPosition(0), DSERR_INVALIDCALL);
}

TEST_F(DSoundApi, InterfacesAndReferenceCounts)
{
    IDirectSoundBuffer* b = nullptr;
    ASSERT_EQ(Create(0, 4410, &kMono16, &b), DS_OK);
    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(b->QueryInterface(IID_IDirectSoundBuffer8, nullptr), E_POINTER);
    EXPECT_EQ(b->QueryInterface(IID_IDirectSound8, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    for (const GUID* iid : {&IID_IUnknown, &IID_IDirectSoundBuffer, &IID_IDirectSoundBuffer8}) {
        ASSERT_EQ(b->QueryInterface(*iid, &out), S_OK);
        EXPECT_EQ(out, static_cast<void*>(b));
        EXPECT_EQ(b->Release(), 1u);
    }
    auto* b8 = static_cast<IDirectSoundBuffer8*>(out);
    EXPECT_EQ(b8->SetFX(0, nullptr, nullptr), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(b8->AcquireResources(0, 0, nullptr), DS_OK);
    EXPECT_EQ(b8->GetObjectInPath(IID_IUnknown, 0, IID_IUnknown, &out), DSERR_OBJECTNOTFOUND);
    EXPECT_EQ(out, nullptr);

    IDirectSoundBuffer* primary = Primary();
    EXPECT_EQ(primary->QueryInterface(IID_IDirectSoundBuffer8, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    ASSERT_EQ(primary->QueryInterface(IID_IDirectSoundBuffer, &out), S_OK);
    EXPECT_EQ(primary->Release(), 1u);

    ASSERT_EQ(ds->QueryInterface(IID_IDirectSound8, &out), S_OK);
    EXPECT_EQ(out, static_cast<void*>(ds));
    ASSERT_EQ(ds->QueryInterface(IID_IUnknown, &out), S_OK);
    EXPECT_EQ(ds->QueryInterface(IID_IDirectSoundBuffer, &out), E_NOINTERFACE);
    // The device: one reference of ours, two from QueryInterface, one per buffer.
    EXPECT_EQ(ds->Release(), 4u);
    EXPECT_EQ(ds->Release(), 3u);

    // A buffer keeps its device: it plays on after the caller lets go.
    EXPECT_EQ(b->AddRef(), 2u);
    EXPECT_EQ(b->Release(), 1u);
    EXPECT_EQ(ds->Release(), 2u);
    ds = nullptr;
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    DWORD status = 0;
    ASSERT_EQ(b->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING});
    Render(100);
    for (IUnknown* o : owned) EXPECT_EQ(o->Release(), 0u);
    owned.clear();
    // The last buffer closed the device.
    int16_t frame[2] = {5, 5};
    EXPECT_FALSE(DSound_RenderForTests(frame, 1));
    EXPECT_EQ(frame[0], 5);
}

TEST_F(DSoundApi, CapsAndFormatsTellTheTruth)
{
    DSCAPS caps = {};
    EXPECT_EQ(ds->GetCaps(&caps), DSERR_INVALIDPARAM);
    EXPECT_EQ(ds->GetCaps(nullptr), DSERR_INVALIDPARAM);
    caps.dwSize = sizeof caps;
    ASSERT_EQ(ds->GetCaps(&caps), DS_OK);
    const DWORD secondary =
        DSCAPS_SECONDARYMONO | DSCAPS_SECONDARYSTEREO | DSCAPS_SECONDARY8BIT | DSCAPS_SECONDARY16BIT;
    EXPECT_EQ(caps.dwFlags & (secondary | DSCAPS_CONTINUOUSRATE), secondary | DSCAPS_CONTINUOUSRATE);
    EXPECT_EQ(caps.dwFlags & DSCAPS_CERTIFIED, 0u);
    EXPECT_EQ(caps.dwMinSecondarySampleRate, DWORD{DSBFREQUENCY_MIN});
    EXPECT_EQ(caps.dwMaxSecondarySampleRate, DWORD{DSBFREQUENCY_MAX});
    EXPECT_EQ(caps.dwMaxHwMixingAllBuffers, 0u);  // all mixing is software

    DWORD value = 0;
    EXPECT_EQ(ds->GetSpeakerConfig(&value), DS_OK);
    EXPECT_EQ(value, DWORD{DSSPEAKER_STEREO});
    EXPECT_EQ(ds->VerifyCertification(&value), DS_OK);
    EXPECT_EQ(value, DWORD{DS_UNCERTIFIED});
    EXPECT_EQ(ds->Initialize(nullptr), DSERR_ALREADYINITIALIZED);
    EXPECT_EQ(ds->Compact(), DS_OK);

    IDirectSoundBuffer* b = nullptr;
    ASSERT_EQ(Create(DSBCAPS_CTRLVOLUME | DSBCAPS_STATIC, 4410, &kMono16, &b), DS_OK);
    DSBCAPS bcaps = {};
    EXPECT_EQ(b->GetCaps(&bcaps), DSERR_INVALIDPARAM);
    bcaps.dwSize = sizeof bcaps;
    ASSERT_EQ(b->GetCaps(&bcaps), DS_OK);
    EXPECT_EQ(bcaps.dwFlags, DWORD{DSBCAPS_CTRLVOLUME | DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE});
    EXPECT_EQ(bcaps.dwBufferBytes, 4410u);

    // The format whole, the size it needs, or as much as fits.
    WAVEFORMATEX f = {};
    DWORD written = 0;
    EXPECT_EQ(b->GetFormat(nullptr, 0, nullptr), DSERR_INVALIDPARAM);
    ASSERT_EQ(b->GetFormat(nullptr, 0, &written), DS_OK);
    EXPECT_EQ(written, 18u);
    ASSERT_EQ(b->GetFormat(&f, sizeof f, &written), DS_OK);
    EXPECT_EQ(std::memcmp(&f, &kMono16, sizeof f), 0);
    WAVEFORMATEX part = {};
    ASSERT_EQ(b->GetFormat(&part, 4, &written), DS_OK);
    EXPECT_EQ(written, 4u);
    EXPECT_EQ(part.nChannels, 1);
    EXPECT_EQ(part.nSamplesPerSec, 0u);
    EXPECT_EQ(b->SetFormat(&kMono16), DSERR_INVALIDCALL);
    EXPECT_EQ(b->Initialize(ds, nullptr), DSERR_ALREADYINITIALIZED);
    EXPECT_EQ(b->Restore(), DS_OK);

    // The primary buffer records the format it is given.
    IDirectSoundBuffer* primary = Primary(DSBCAPS_CTRLVOLUME);
    const WAVEFORMATEX cd = Format(44100, 2, 16);
    WAVEFORMATEX odd = cd;
    odd.nBlockAlign = 3;
    EXPECT_EQ(primary->SetFormat(&odd), DSERR_BADFORMAT);
    EXPECT_EQ(primary->SetFormat(nullptr), DSERR_INVALIDPARAM);
    ASSERT_EQ(primary->SetFormat(&cd), DS_OK);
    ASSERT_EQ(primary->GetFormat(&f, sizeof f, nullptr), DS_OK);
    EXPECT_EQ(std::memcmp(&f, &cd, sizeof f), 0);
    EXPECT_EQ(primary->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(primary->GetStatus(&value), DS_OK);
    EXPECT_NE(value & DSBSTATUS_PLAYING, 0u);
    EXPECT_EQ(primary->Stop(), DS_OK);
    ASSERT_EQ(primary->GetStatus(&value), DS_OK);
    EXPECT_EQ(value, 0u);
}

}  // namespace
