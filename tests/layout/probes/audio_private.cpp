#include <audio/detail/WaveFile.h>
