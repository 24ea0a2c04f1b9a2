#include <Win32DeviceSeam.h>
