// Rectangles and strings.
#include <windows.h>

#include <cstring>

BOOL WINAPI PtInRect(const RECT* rect, POINT point)
{
    if (!rect) return FALSE;
    return (point.x >= rect->left && point.x < rect->right && point.y >= rect->top && point.y < rect->bottom) ? TRUE
                                                                                                              : FALSE;
}

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom)
{
    if (!rect) return FALSE;
    *rect = {left, top, right, bottom};
    return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT rect)
{
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy)
{
    if (!rect) return FALSE;
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

int WINAPI lstrlenA(LPCSTR text)
{
    return text ? static_cast<int>(std::strlen(text)) : 0;
}
