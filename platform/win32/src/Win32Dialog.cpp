// Message boxes, debug output and character widths.
#include <Win32DeviceSeam.h>
#include "Win32State.h"

#include <SDL.h>

#include <cstdio>
#include <string>

using win32detail::GetState;

int WINAPI MessageBoxA(HWND hwnd, LPCSTR text, LPCSTR caption, UINT type)
{
    std::string t = text ? text : "";
    std::string c = caption ? caption : "Error";
    GetState().messageBoxLog.push_back(c + ": " + t);

    UINT buttons = type & 0x0F;
    int first = buttons == MB_YESNO ? IDYES : IDOK;
    if (win32detail::IsHeadless()) {
        std::fprintf(stderr, "%s: %s\n", c.c_str(), t.c_str());
        return first;
    }

    SDL_MessageBoxButtonData data[2];
    int count = 1;
    if (buttons == MB_OKCANCEL) {
        data[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"};
        data[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"};
        count = 2;
    } else if (buttons == MB_YESNO) {
        data[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"};
        data[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"};
        count = 2;
    } else {
        data[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"};
    }
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    UINT icon = type & 0xF0;
    if (icon == MB_ICONERROR)
        flags = SDL_MESSAGEBOX_ERROR;
    else if (icon == MB_ICONWARNING)
        flags = SDL_MESSAGEBOX_WARNING;

    HWND__* owner = win32detail::LookupWindow(hwnd);
    SDL_MessageBoxData box = {flags, owner ? owner->sdl : nullptr, c.c_str(), t.c_str(), count, data, nullptr};
    int answer = 0;
    if (SDL_ShowMessageBox(&box, &answer) != 0 || answer < 0) {
        std::fprintf(stderr, "%s: %s\n", c.c_str(), t.c_str());
        return first;
    }
    return answer;
}

void WINAPI OutputDebugStringA(LPCSTR text)
{
    if (text) std::fputs(text, stderr);
}

BOOL WINAPI GetCharWidth32A(HDC dc, UINT first, UINT last, LPINT widths)
{
    if (!dc || !widths || last < first) return FALSE;
    return dc->CharWidths(first, last, widths);
}

namespace win32test {

const std::vector<std::string>& MessageBoxLog()
{
    return GetState().messageBoxLog;
}
void ClearMessageBoxLog()
{
    GetState().messageBoxLog.clear();
}

}  // namespace win32test
