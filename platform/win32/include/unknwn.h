// COM basics: GUIDs and the root interface every reference-counted object of
// the Windows-shaped layers derives from (graphics device, sound device).
#pragma once

#include <windows.h>

#include <cstring>

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
typedef GUID IID;
typedef const GUID& REFIID;
typedef const GUID& REFGUID;
typedef const GUID* LPCGUID;

inline bool IsEqualGUID(REFGUID a, REFGUID b)
{
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
#define IsEqualIID(a, b) IsEqualGUID(a, b)

#ifndef E_NOINTERFACE
#define E_NOINTERFACE ((HRESULT)0x80004002u)
#endif
#ifndef E_POINTER
#define E_POINTER ((HRESULT)0x80004003u)
#endif
#ifndef S_FALSE
#define S_FALSE ((HRESULT)1)
#endif

// The root of every reference-counted object: AddRef and Release return the
// new count; the object is destroyed when it reaches zero.
struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;  // E_NOINTERFACE for an interface it lacks
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;

// {00000000-0000-0000-C000-000000000046}
constexpr GUID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
