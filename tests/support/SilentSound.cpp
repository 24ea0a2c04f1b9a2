// Every test program starts without audio output (alsoft-silent.conf), so the
// suite runs the same on a desktop with speakers as on a machine without a
// sound card, and stays quiet; however the test is started. A configuration
// named in the environment wins, and tests that listen use the sound layer's
// loopback device.
#include <cstdlib>

namespace {

const int silentSound = setenv("ALSOFT_CONF", KOLVAR_SILENT_SOUND_CONF, 0);

}  // namespace
