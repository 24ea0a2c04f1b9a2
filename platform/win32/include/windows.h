// The Win32 calls, types and constants the engine and the game use, with
// their Win32 names and values, implemented over SDL2 by this layer.
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------
// Basic types
// ---------------------------------------------------------------------------
typedef int BOOL;                // nonzero true, 0 false
typedef unsigned char BYTE;      // 8 bits, unsigned
typedef uint16_t WORD;           // 16 bits, unsigned
typedef uint32_t DWORD;          // 32 bits, unsigned
typedef unsigned int UINT;       // unsigned int
typedef int INT;                 // int
typedef int32_t LONG;            // 32 bits, signed
typedef uint32_t ULONG;          // 32 bits, unsigned
typedef int16_t SHORT;           // 16 bits, signed
typedef uint16_t USHORT;         // 16 bits, unsigned
typedef char CHAR;               // char
typedef wchar_t WCHAR;           // wchar_t
typedef float FLOAT;             // float
typedef void VOID;               // void
typedef void* LPVOID;            // pointer to anything
typedef const void* LPCVOID;     // pointer to anything read-only
typedef char* LPSTR;             // a text of chars
typedef const char* LPCSTR;      // a read-only text of chars
typedef wchar_t* LPWSTR;         // a text of wide chars
typedef const wchar_t* LPCWSTR;  // a read-only text of wide chars
typedef int* LPINT;              // pointer to an int
typedef DWORD* LPDWORD;          // pointer to a DWORD
typedef uintptr_t WPARAM;        // a message's first argument, pointer-sized
typedef intptr_t LPARAM;         // a message's second argument, pointer-sized
typedef intptr_t LRESULT;        // a window procedure's answer, pointer-sized
typedef int32_t HRESULT;         // a call's result: 0 or more success, negative failure
typedef WORD ATOM;               // a registered window class's number
typedef UINT MMRESULT;           // a timer call's result (TIMERR_*)
typedef DWORD COLORREF;          // a colour as 0x00BBGGRR
typedef uintptr_t UINT_PTR;      // unsigned, pointer-sized
typedef intptr_t INT_PTR;        // signed, pointer-sized
typedef uintptr_t ULONG_PTR;     // unsigned, pointer-sized
typedef uintptr_t DWORD_PTR;     // unsigned, pointer-sized
typedef int64_t LONGLONG;        // 64 bits, signed
typedef uint64_t ULONGLONG;      // 64 bits, unsigned

#ifndef WINAPI
#define WINAPI  // calling convention of the Win32 calls: nothing here
#endif
#ifndef CALLBACK
#define CALLBACK  // calling convention of callbacks: nothing here
#endif
#ifndef APIENTRY
#define APIENTRY  // calling convention of entry points: nothing here
#endif

#ifndef TRUE
#define TRUE 1  // the BOOL for true
#endif
#ifndef FALSE
#define FALSE 0  // the BOOL for false
#endif
#ifndef NULL
#define NULL 0  // the null pointer
#endif

// Handles are opaque pointers. A device context (HDC) is implemented by
// whoever hands it out (the device layer's fonts); see detail/DeviceContext.h.
struct HWND__;
struct HINSTANCE__;
struct HDC__;
struct HICON__;
struct HBRUSH__;
struct HMENU__;
typedef HWND__* HWND;            // a window
typedef HINSTANCE__* HINSTANCE;  // a program instance (the one program)
typedef HINSTANCE HMODULE;       // a module: same as HINSTANCE
typedef HDC__* HDC;              // a device context
typedef HICON__* HICON;          // an icon
typedef HICON HCURSOR;           // a cursor: same as HICON
typedef HBRUSH__* HBRUSH;        // a brush
typedef HMENU__* HMENU;          // a menu
typedef void* HANDLE;            // any kernel object

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------
struct POINT {
    LONG x;  // pixels to the right
    LONG y;  // pixels down
};
typedef POINT* LPPOINT;  // pointer to a POINT

// A rectangle in pixels: left and top inside it, right and bottom just outside.
struct RECT {
    LONG left;    // first column inside
    LONG top;     // first row inside
    LONG right;   // first column past the right edge
    LONG bottom;  // first row past the bottom edge
};
typedef RECT* LPRECT;         // pointer to a RECT
typedef const RECT* LPCRECT;  // pointer to a read-only RECT

// A width and a height.
struct SIZE {
    LONG cx;  // width
    LONG cy;  // height
};

// A message taken from the queue (GetMessageA, PeekMessageA).
struct MSG {
    HWND hwnd;      // the window it is for; NULL for a thread message such as WM_QUIT
    UINT message;   // the message, WM_*
    WPARAM wParam;  // the message's first argument
    LPARAM lParam;  // the message's second argument
    DWORD time;     // when it was posted, in milliseconds as timeGetTime
    POINT pt;       // the cursor, in screen coordinates, when it was posted
};
typedef MSG* LPMSG;  // pointer to an MSG

// A window procedure: handles one message and returns its answer.
typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

// A window class, registered with RegisterClassExA.
struct WNDCLASSEXA {
    UINT cbSize;           // sizeof(WNDCLASSEXA)
    UINT style;            // CS_* styles
    WNDPROC lpfnWndProc;   // the procedure that gets the class's windows' messages
    int cbClsExtra;        // extra bytes a class may carry: must be 0
    int cbWndExtra;        // extra bytes a window may carry: must be 0
    HINSTANCE hInstance;   // the program instance the class belongs to
    HICON hIcon;           // the large icon, or NULL
    HCURSOR hCursor;       // the cursor over the windows, or NULL
    HBRUSH hbrBackground;  // the background brush, or NULL
    LPCSTR lpszMenuName;   // the menu's name, or NULL
    LPCSTR lpszClassName;  // the name CreateWindowExA finds the class by
    HICON hIconSm;         // the small icon, or NULL
};

// A 64-bit signed count, also readable as two 32-bit halves.
union LARGE_INTEGER {
    struct {
        DWORD LowPart;  // the low 32 bits
        LONG HighPart;  // the high 32 bits
    } u;                // the two halves
    LONGLONG QuadPart;  // the whole 64-bit value
};

// ---------------------------------------------------------------------------
// Results
// ---------------------------------------------------------------------------
#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_FAIL ((HRESULT)0x80004005u)
#define E_NOTIMPL ((HRESULT)0x80004001u)
#define E_NOINTERFACE ((HRESULT)0x80004002u)
#define E_POINTER ((HRESULT)0x80004003u)
#define E_OUTOFMEMORY ((HRESULT)0x8007000Eu)
#define E_INVALIDARG ((HRESULT)0x80070057u)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

// System error codes, returned as DWORD by the calls that use them (the
// gamepad calls of xinput.h).
#define ERROR_SUCCESS 0L
#define ERROR_BAD_ARGUMENTS 160L
#define ERROR_DEVICE_NOT_CONNECTED 1167L

// ---------------------------------------------------------------------------
// Word and parameter packing
// ---------------------------------------------------------------------------
#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)(((DWORD_PTR)(w)) & 0xff))
#define HIBYTE(w) ((BYTE)((((DWORD_PTR)(w)) >> 8) & 0xff))
#define MAKEWORD(a, b) ((WORD)(((BYTE)(a)) | ((WORD)((BYTE)(b))) << 8))
#define MAKELONG(a, b) ((LONG)(((WORD)(a)) | ((DWORD)((WORD)(b))) << 16))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))

// ---------------------------------------------------------------------------
// Window messages
// ---------------------------------------------------------------------------
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_MOUSEWHEEL 0x020A
#define WM_USER 0x0400

// WM_ACTIVATE's LOWORD(wParam): how the window's activation changed.
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2

// Mouse buttons held, in the wParam of mouse messages.
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002

// PeekMessageA's removeMsg: whether the message is taken off the queue.
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

#define WHEEL_DELTA 120  // one notch of the mouse wheel, in WM_MOUSEWHEEL's wheel delta
#define GET_WHEEL_DELTA_WPARAM(wp) \
    ((short)HIWORD(                \
        wp))  // the wheel delta of a WM_MOUSEWHEEL's wParam, WHEEL_DELTA a notch, positive away from the user

// ---------------------------------------------------------------------------
// Window classes, styles and show commands
// ---------------------------------------------------------------------------
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_OWNDC 0x0020
#define CS_CLASSDC 0x0040

// Window styles (CreateWindowExA's style and exStyle).
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW 0x00CF0000L
#define WS_EX_TOPMOST 0x00000008L

#define CW_USEDEFAULT ((int)0x80000000)                  // CreateWindowExA's position or size: let the layer choose
#define MAKEINTATOM(i) ((LPCSTR)(ULONG_PTR)((WORD)(i)))  // a class name given as its ATOM from RegisterClassExA

// ShowWindow's commands.
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

// ---------------------------------------------------------------------------
// Message boxes
// ---------------------------------------------------------------------------
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_YESNO 0x00000004L
#define MB_ICONERROR 0x00000010L
#define MB_ICONWARNING 0x00000030L
#define MB_ICONINFORMATION 0x00000040L
#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7

#define TIMERR_NOERROR 0   // a timer call succeeded
#define TIMERR_NOCANDO 97  // a timer call was refused (a period of 0)

// ---------------------------------------------------------------------------
// Virtual-key codes
// ---------------------------------------------------------------------------
#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_MBUTTON 0x04
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_SNAPSHOT 0x2C
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_LWIN 0x5B
#define VK_RWIN 0x5C
#define VK_APPS 0x5D
#define VK_NUMPAD0 0x60
#define VK_NUMPAD1 0x61
#define VK_NUMPAD2 0x62
#define VK_NUMPAD3 0x63
#define VK_NUMPAD4 0x64
#define VK_NUMPAD5 0x65
#define VK_NUMPAD6 0x66
#define VK_NUMPAD7 0x67
#define VK_NUMPAD8 0x68
#define VK_NUMPAD9 0x69
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SEPARATOR 0x6C
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91
#define VK_LSHIFT 0xA0
#define VK_RSHIFT 0xA1
#define VK_LCONTROL 0xA2
#define VK_RCONTROL 0xA3
#define VK_LMENU 0xA4
#define VK_RMENU 0xA5
#define VK_OEM_1 0xBA
#define VK_OEM_PLUS 0xBB
#define VK_OEM_COMMA 0xBC
#define VK_OEM_MINUS 0xBD
#define VK_OEM_PERIOD 0xBE
#define VK_OEM_2 0xBF
#define VK_OEM_3 0xC0
#define VK_OEM_4 0xDB
#define VK_OEM_5 0xDC
#define VK_OEM_6 0xDD
#define VK_OEM_7 0xDE
#define VK_OEM_102 0xE2
// Letters and digits are their ASCII upper-case codes ('A' = 0x41, '0' = 0x30).

// ---------------------------------------------------------------------------
// Windows and the message loop
// ---------------------------------------------------------------------------
ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc);  // 0 when the class exists or wc is invalid
// Removes a window class; FALSE when it does not exist or one of its windows still does.
BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance);
// Outer size in width/height; the client area is that less the fixed frame
// (8 pixels left, right and bottom, 31 on top). NULL on failure.
HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
// Shows, hides, minimizes, maximizes or restores the window (SW_*); returns whether it was visible before, FALSE for an
// unknown window.
BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow);
// TRUE for a window that exists: drawing is the program's own.
BOOL WINAPI UpdateWindow(HWND hwnd);
BOOL WINAPI DestroyWindow(HWND hwnd);  // sends WM_DESTROY to the window procedure
// TRUE for a window that exists, or the desktop window.
BOOL WINAPI IsWindow(HWND hwnd);
// The desktop window, whose client area is the whole display.
HWND WINAPI GetDesktopWindow();
// The program's own module for NULL; NULL for any named module.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect);  // (0, 0, client width, client height)
BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect);  // outer rectangle in screen coordinates
HWND WINAPI GetActiveWindow();                      // the window with keyboard focus, or NULL
HWND WINAPI GetFocus();                             // same as GetActiveWindow: windows have no children
// Sets the window's title bar text (NULL: empty); FALSE for an unknown window.
BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text);

// Takes (PM_REMOVE) or looks at (PM_NOREMOVE) the next message for hwnd (NULL: any) within filterMin..filterMax (0, 0:
// all); FALSE when none waits.
BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg);
// Waits for and takes the next message as PeekMessageA; 0 when it is WM_QUIT, -1 for a NULL msg or an unknown window.
BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax);
// Posts the WM_CHAR of a WM_KEYDOWN of backspace, tab, return or escape (other characters come as typed); FALSE for
// anything else.
BOOL WINAPI TranslateMessage(const MSG* msg);
// Hands the message to its window's procedure and returns its answer; 0 for an unknown window.
LRESULT WINAPI DispatchMessageA(const MSG* msg);
// Calls the window's procedure with the message now and returns its answer; 0 for an unknown window.
LRESULT WINAPI SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Queues the message for the window (NULL: the thread); FALSE for an unknown window.
BOOL WINAPI PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// What a window procedure does with a message it does not handle: WM_CLOSE destroys the window; returns 0.
LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Makes the message loop get WM_QUIT, with exitCode as its wParam.
void WINAPI PostQuitMessage(int exitCode);

// ---------------------------------------------------------------------------
// Keyboard and mouse
// ---------------------------------------------------------------------------
// Negative while the key is down (VK_CONTROL, VK_SHIFT, VK_MENU: either side);
// the low bit flips with each press. Key messages carry VK_CONTROL etc. for
// either side, as on Windows.
SHORT WINAPI GetKeyState(int virtKey);
// Negative while the key is down now (VK_CONTROL, VK_SHIFT, VK_MENU: either side); 0 otherwise and for a code out of
// range.
SHORT WINAPI GetAsyncKeyState(int virtKey);
BOOL WINAPI GetCursorPos(LPPOINT point);  // screen coordinates
// Moves the cursor to the point in screen coordinates (not moved when headless); TRUE.
BOOL WINAPI SetCursorPos(int x, int y);
// Makes a point in screen coordinates relative to the window's client area; FALSE for a NULL point or an unknown
// window.
BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point);
// Makes a point relative to the window's client area into screen coordinates; FALSE for a NULL point or an unknown
// window.
BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point);
int WINAPI ShowCursor(BOOL show);  // returns the new display counter

// ---------------------------------------------------------------------------
// Rectangles and strings
// ---------------------------------------------------------------------------
BOOL WINAPI PtInRect(const RECT* rect, POINT point);  // left/top inclusive, right/bottom exclusive
// Fills the rectangle with the four edges; FALSE for a NULL rect.
BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom);
// Sets every edge of the rectangle to 0; FALSE for a NULL rect.
BOOL WINAPI SetRectEmpty(LPRECT rect);
// Moves the rectangle by dx, dy; FALSE for a NULL rect.
BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy);
int WINAPI lstrlenA(LPCSTR text);  // 0 for NULL

// ---------------------------------------------------------------------------
// Time
// ---------------------------------------------------------------------------
DWORD WINAPI GetTickCount();  // milliseconds, wraps at 2^32
// Milliseconds on the layer's clock, wrapping at 2^32.
DWORD WINAPI timeGetTime();
// Asks for a timer resolution; TIMERR_NOCANDO for a period of 0, else TIMERR_NOERROR.
MMRESULT WINAPI timeBeginPeriod(UINT period);
// Ends a timeBeginPeriod; TIMERR_NOCANDO for a period of 0, else TIMERR_NOERROR.
MMRESULT WINAPI timeEndPeriod(UINT period);
// The high-resolution counter now; FALSE for a NULL count.
BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count);
// Ticks a second of QueryPerformanceCounter; FALSE for a NULL frequency.
BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency);
// Waits the milliseconds (0: gives up the rest of the time slice).
void WINAPI Sleep(DWORD milliseconds);

// ---------------------------------------------------------------------------
// Dialogs, debugging and GDI
// ---------------------------------------------------------------------------
// A dialog with a display; "caption: text" on standard error and IDOK at
// once when headless. Every box shown is logged for tests.
int WINAPI MessageBoxA(HWND hwnd, LPCSTR text, LPCSTR caption, UINT type);
// Writes the text to standard error (nothing for NULL).
void WINAPI OutputDebugStringA(LPCSTR text);
// Widths of the characters first..last in the context's font; FALSE for a NULL
// context or a context without a font.
BOOL WINAPI GetCharWidth32A(HDC dc, UINT first, UINT last, LPINT widths);

// The program's entry point, defined by the program and called from main.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE prevInstance, LPSTR cmdLine, int cmdShow);
