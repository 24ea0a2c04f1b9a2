#include <d3d9/D3D9Impl.h>
