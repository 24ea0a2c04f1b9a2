// The Direct3D object. (Device creation arrives with the GL back end.)
#include <d3d9.h>

IDirect3D9* WINAPI Direct3DCreate9(UINT)
{
    return nullptr;
}
