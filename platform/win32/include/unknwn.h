// COM basics: GUIDs and the root interface every reference-counted object of
// the Windows-shaped layers derives from (graphics device, sound device).
#pragma once

#include <windows.h>

#include <cstring>

// A 128-bit identifier of an interface or a device, written {Data1-Data2-Data3-Data4}.
struct GUID {
    DWORD Data1;    // first 8 hex digits
    WORD Data2;     // next 4 hex digits
    WORD Data3;     // next 4 hex digits
    BYTE Data4[8];  // last 16 hex digits, two a byte
};
typedef GUID IID;             // an interface's identifier
typedef const GUID& REFIID;   // a GUID passed by reference
typedef const GUID& REFGUID;  // a GUID passed by reference
typedef const GUID* LPCGUID;  // a pointer to a read-only GUID; NULL where a call takes the default

// True when the two GUIDs hold the same 16 bytes.
inline bool IsEqualGUID(REFGUID a, REFGUID b)
{
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
#define IsEqualIID(a, b) IsEqualGUID(a, b)  // IsEqualGUID for interface identifiers

#ifndef E_NOINTERFACE
#define E_NOINTERFACE ((HRESULT)0x80004002u)  // the object does not have the interface asked for
#endif
#ifndef E_POINTER
#define E_POINTER ((HRESULT)0x80004003u)  // a pointer argument is NULL
#endif
#ifndef S_FALSE
#define S_FALSE ((HRESULT)1)  // success, with the answer "no"
#endif

// The root of every reference-counted object: AddRef and Release return the
// new count; the object is destroyed when it reaches zero.
struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;  // E_NOINTERFACE for an interface it lacks
    virtual ULONG AddRef() = 0;                                      // adds a reference; returns the new count
    virtual ULONG Release() = 0;  // drops a reference and destroys the object at zero; returns the new count

protected:
    virtual ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;  // pointer to any reference-counted object

// {00000000-0000-0000-C000-000000000046}
constexpr GUID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
