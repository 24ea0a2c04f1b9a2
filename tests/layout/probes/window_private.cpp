#include <Win32State.h>
