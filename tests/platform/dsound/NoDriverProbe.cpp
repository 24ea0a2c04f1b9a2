// Run by the output tests with a configuration that opens no output: every
// DirectSoundCreate8 fails cleanly, and the reason is told once in all.
// Prints "ok" on standard output when every result was as it should be.
#include <dsound.h>

#include <cstdio>

int main()
{
    bool ok = true;
    for (int attempt = 0; attempt < 3; ++attempt) {
        IDirectSound8* ds = reinterpret_cast<IDirectSound8*>(0x1);
        ok = ok && DirectSoundCreate8(nullptr, &ds, nullptr) == DSERR_NODRIVER && ds == nullptr;
    }
    std::printf("%s\n", ok ? "ok" : "wrong result");
    return ok ? 0 : 1;
}
