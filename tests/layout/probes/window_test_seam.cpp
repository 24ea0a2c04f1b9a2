#include <Win32TestSeam.h>
