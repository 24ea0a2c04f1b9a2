// Formats, and DirectSound's volume and pan in OpenAL's terms.
#include "DSoundImpl.h"

#include <cmath>
#include <cstdlib>

namespace {

// OpenAL Soft's stereo panning (1.19, HRTF off) for a mono source at x on
// the front half of the unit circle, x > 0 to the right: how far the quieter
// channel lies below the louder, and the louder channel's gain. Measured on
// the loopback device; centre gives both channels 0.5957. From x = 0.87 on
// the quieter channel is silent.
struct PanRow {
    float db;    // quieter below louder, in decibels
    float x;     // source position
    float loud;  // gain of the louder channel
};
constexpr PanRow kPanLaw[] = {
    {0.000f, 0.00f, 0.595662f},  {1.095f, 0.05f, 0.632873f},  {2.198f, 0.10f, 0.669428f},  {3.319f, 0.15f, 0.705201f},
    {4.465f, 0.20f, 0.740065f},  {5.649f, 0.25f, 0.773878f},  {6.881f, 0.30f, 0.806490f},  {8.178f, 0.35f, 0.837733f},
    {9.559f, 0.40f, 0.867416f},  {11.046f, 0.45f, 0.895323f}, {12.675f, 0.50f, 0.921197f}, {14.492f, 0.55f, 0.944731f},
    {16.567f, 0.60f, 0.965548f}, {19.014f, 0.65f, 0.983165f}, {22.031f, 0.70f, 0.996947f}, {25.970f, 0.75f, 1.0f},
    {31.980f, 0.80f, 1.0f},      {35.698f, 0.82f, 1.0f},      {41.354f, 0.84f, 1.0f},      {45.977f, 0.85f, 1.0f},
    {54.936f, 0.86f, 1.0f},      {100.0f, 0.87f, 1.0f},
};

}  // namespace

namespace dsdetail {

HRESULT CheckFormat(const WAVEFORMATEX* f)
{
    if (!f) return DSERR_INVALIDPARAM;
    if (f->wFormatTag != WAVE_FORMAT_PCM) return DSERR_BADFORMAT;
    if (f->nChannels < 1 || f->nChannels > 2) return DSERR_BADFORMAT;
    if (f->wBitsPerSample != 8 && f->wBitsPerSample != 16) return DSERR_BADFORMAT;
    if (f->nBlockAlign != f->nChannels * f->wBitsPerSample / 8) return DSERR_BADFORMAT;
    if (f->nSamplesPerSec < DSBFREQUENCY_MIN || f->nSamplesPerSec > DSBFREQUENCY_MAX) return DSERR_BADFORMAT;
    if (f->nAvgBytesPerSec != f->nSamplesPerSec * f->nBlockAlign) return DSERR_BADFORMAT;
    return DS_OK;
}

ALenum AlFormat(const WAVEFORMATEX& f)
{
    if (f.nChannels == 1) return f.wBitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    return f.wBitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

float VolumeToGain(LONG volume)
{
    if (volume <= DSBVOLUME_MIN) return 0.0f;
    return std::pow(10.0f, static_cast<float>(volume) / 2000.0f);
}

// DirectSound keeps the louder channel at the voice's volume and lowers the
// other by |pan| / 100 dB. The position gives that difference through the
// table above, and loudnessFix puts the louder channel back at full level.
PanPlacement PlaceForPan(LONG pan)
{
    const float db = static_cast<float>(std::labs(pan)) / 100.0f;
    constexpr size_t kRows = sizeof kPanLaw / sizeof kPanLaw[0];
    size_t i = 0;
    while (i + 2 < kRows && db > kPanLaw[i + 1].db) ++i;
    const PanRow& a = kPanLaw[i];
    const PanRow& b = kPanLaw[i + 1];
    float t = (db - a.db) / (b.db - a.db);
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    float x = a.x + (b.x - a.x) * t;
    const float loud = a.loud + (b.loud - a.loud) * t;
    if (pan < 0) x = -x;
    return {x, -std::sqrt(1.0f - x * x), 1.0f / loud};
}

}  // namespace dsdetail
